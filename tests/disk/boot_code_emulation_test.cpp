// Runs the boot-code blocks on an emulated Z80: the boot sector at 0C000h in 64 KB of RAM, the
// disk ROM's two calls of the boot entry (carry clear, then carry set) and a BDOS stub that
// serves one system file.
#include <gtest/gtest.h>
#include <z80ex/z80ex.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "disk/records.h"

namespace disk {
namespace {

constexpr std::uint16_t kSectorAddress = 0xC000;
constexpr std::uint16_t kBootEntry = 0xC01E;
constexpr std::uint16_t kBdos = 0xF37D;
constexpr std::uint16_t kSystemStart = 0x0100;
constexpr std::uint16_t kReturnTrap = 0xFF00;  // the disk ROM's return address, pushed below
constexpr std::uint16_t kStackTop = 0xF000;
constexpr std::uint16_t kStackFloor = kStackTop - 0x100;
constexpr int kStepLimit = 100000;

constexpr std::uint8_t kSetDta = 0x1A;
constexpr std::uint8_t kOpen = 0x0F;
constexpr std::uint8_t kRandomBlockRead = 0x27;
constexpr std::uint8_t kDosVersion = 0x6F;

enum class Outcome { Returned, StartedSystem, Runaway };

std::ostream& operator<<(std::ostream& out, Outcome outcome) {
  switch (outcome) {
    case Outcome::Returned:
      return out << "Returned";
    case Outcome::StartedSystem:
      return out << "StartedSystem";
    case Outcome::Runaway:
      return out << "Runaway";
  }
  return out;
}

// The disk and kernel the boot program meets.
struct Environment {
  int kernelMajor;                                      // 1: MSX-DOS 1, 2: MSX-DOS 2
  std::optional<std::vector<std::uint8_t>> systemFile;  // absent: no such file on the disk
};

// What the BDOS stub was asked.
struct BdosLog {
  std::vector<int> functions;
  int openedDrive = -1;
  std::string openedName;
  int readDta = -1;
  int readRecordSize = -1;
  std::int64_t readFirstRecord = -1;
};

struct CpuDeleter {
  void operator()(Z80EX_CONTEXT* cpu) const { z80ex_destroy(cpu); }
};

class Machine {
 public:
  Machine(TBootCodeRec block, Environment environment) : environment_(std::move(environment)) {
    TBootRecord sector{};
    const std::uint8_t jump[] = {0xEB, 0xFE, 0x90};
    std::memcpy(sector.JumpCode, jump, sizeof jump);
    std::memcpy(sector.OemName, "QUOLLBOX", 8);
    std::memcpy(sector.BootCode, block.Code, static_cast<std::size_t>(block.Size));
    std::memcpy(&ram_[kSectorAddress], &sector, sizeof sector);
    cpu_.reset(z80ex_create(ReadMemory, this, WriteMemory, this, ReadPort, this, WritePort, this,
                            ReadInterruptVector, this));
  }

  // Calls the boot entry as the disk ROM does and runs until the program returns, reaches the
  // system's start address or exceeds the step limit.
  Outcome CallBootEntry(bool carry) {
    Z80EX_CONTEXT* cpu = cpu_.get();
    const std::uint16_t sp = kStackTop - 2;
    ram_[sp] = kReturnTrap & 0xFF;
    ram_[sp + 1] = kReturnTrap >> 8;
    z80ex_set_reg(cpu, regSP, sp);
    z80ex_set_reg(cpu, regPC, kBootEntry);
    z80ex_set_reg(cpu, regAF, carry ? 0x5AFF : 0x5AFE);  // every other flag set
    steps_ = 0;
    while (steps_ < kStepLimit) {
      const std::uint16_t pc = z80ex_get_reg(cpu, regPC);
      if (z80ex_last_op_type(cpu) == 0) {
        if (pc == kReturnTrap) return Outcome::Returned;
        if (pc == kSystemStart) return Outcome::StartedSystem;
        if (pc == kBdos) {
          ServeBdos();
          Return();
          continue;
        }
      }
      z80ex_step(cpu);
      ++steps_;
    }
    return Outcome::Runaway;
  }

  bool Carry() const { return (z80ex_get_reg(cpu_.get(), regAF) & 0x01) != 0; }
  std::uint16_t StackPointer() const { return z80ex_get_reg(cpu_.get(), regSP); }
  int Steps() const { return steps_; }
  const std::vector<std::uint8_t>& Ram() const { return ram_; }
  const BdosLog& Log() const { return log_; }
  // Addresses the program itself wrote outside its own sector and the stack.
  const std::vector<std::uint16_t>& StrayWrites() const { return strayWrites_; }
  bool UsedPorts() const { return usedPorts_; }

 private:
  static Z80EX_BYTE ReadMemory(Z80EX_CONTEXT*, Z80EX_WORD address, int, void* self) {
    return static_cast<Machine*>(self)->ram_[address];
  }
  static void WriteMemory(Z80EX_CONTEXT*, Z80EX_WORD address, Z80EX_BYTE value, void* self) {
    auto* machine = static_cast<Machine*>(self);
    const bool inSector = address >= kSectorAddress && address < kSectorAddress + 512;
    const bool onStack = address >= kStackFloor && address < kStackTop;
    if (!inSector && !onStack) machine->strayWrites_.push_back(address);
    machine->ram_[address] = value;
  }
  static Z80EX_BYTE ReadPort(Z80EX_CONTEXT*, Z80EX_WORD, void* self) {
    static_cast<Machine*>(self)->usedPorts_ = true;
    return 0xFF;
  }
  static void WritePort(Z80EX_CONTEXT*, Z80EX_WORD, Z80EX_BYTE, void* self) {
    static_cast<Machine*>(self)->usedPorts_ = true;
  }
  static Z80EX_BYTE ReadInterruptVector(Z80EX_CONTEXT*, void*) { return 0xFF; }

  std::uint16_t Reg(Z80_REG_T reg) const { return z80ex_get_reg(cpu_.get(), reg); }
  std::uint16_t Word(std::uint16_t address) const {
    return static_cast<std::uint16_t>(ram_[address] | ram_[address + 1] << 8);
  }
  void PutWord(std::uint16_t address, std::uint16_t value) {
    ram_[address] = value & 0xFF;
    ram_[address + 1] = value >> 8;
  }

  // Sets A; every flag comes back set, so the program must test A itself.
  void SetA(std::uint8_t a) { z80ex_set_reg(cpu_.get(), regAF, a << 8 | 0xFF); }

  void Return() {
    const std::uint16_t sp = Reg(regSP);
    z80ex_set_reg(cpu_.get(), regPC, Word(sp));
    z80ex_set_reg(cpu_.get(), regSP, sp + 2);
  }

  void ServeBdos() {
    const int function = Reg(regBC) & 0xFF;
    log_.functions.push_back(function);
    switch (function) {
      case kSetDta:
        dta_ = Reg(regDE);
        break;
      case kOpen:
        Open(Reg(regDE));
        break;
      case kRandomBlockRead:
        RandomBlockRead(Reg(regDE), Reg(regHL));
        break;
      case kDosVersion:
        if (environment_.kernelMajor >= 2) {
          z80ex_set_reg(cpu_.get(), regBC, 0x0231);
          z80ex_set_reg(cpu_.get(), regDE, 0x0231);
        }
        // MSX-DOS 1 has no such function: A = 0, B and C as they were.
        SetA(0);
        break;
      default:
        ADD_FAILURE() << "unexpected BDOS function " << function;
    }
  }

  void Open(std::uint16_t fcb) {
    log_.openedDrive = ram_[fcb];
    log_.openedName.assign(&ram_[fcb + 1], &ram_[fcb + 12]);
    if (!environment_.systemFile) {
      SetA(0xFF);
      return;
    }
    const auto size = static_cast<std::uint32_t>(environment_.systemFile->size());
    PutWord(fcb + 12, 0);    // extent
    PutWord(fcb + 14, 128);  // record size after an open
    PutWord(fcb + 16, size & 0xFFFF);
    PutWord(fcb + 18, size >> 16);
    ram_[fcb + 32] = 0;  // current record
    SetA(0);
  }

  void RandomBlockRead(std::uint16_t fcb, std::uint16_t records) {
    ASSERT_TRUE(environment_.systemFile) << "read without an open file";
    const std::vector<std::uint8_t>& file = *environment_.systemFile;
    const std::size_t recordSize = Word(fcb + 14);
    const std::size_t first = Word(fcb + 33) | std::size_t{Word(fcb + 35)} << 16;
    log_.readDta = dta_;
    log_.readRecordSize = static_cast<int>(recordSize);
    log_.readFirstRecord = static_cast<std::int64_t>(first);
    ASSERT_GT(recordSize, 0U);
    const std::size_t start = std::min(first * recordSize, file.size());
    const std::size_t available = (file.size() - start + recordSize - 1) / recordSize;
    const std::size_t read = std::min<std::size_t>(records, available);
    const std::size_t bytes = std::min(read * recordSize, file.size() - start);
    ASSERT_LE(dta_ + read * recordSize, ram_.size()) << "read past the end of memory";
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(start), bytes, ram_.begin() + dta_);
    const std::size_t next = first + read;
    PutWord(fcb + 33, next & 0xFFFF);
    PutWord(fcb + 35, static_cast<std::uint16_t>(next >> 16));
    z80ex_set_reg(cpu_.get(), regHL, static_cast<std::uint16_t>(read));
    SetA(read == records ? 0 : 1);
  }

  Environment environment_;
  std::vector<std::uint8_t> ram_ = std::vector<std::uint8_t>(0x10000);
  std::unique_ptr<Z80EX_CONTEXT, CpuDeleter> cpu_;
  BdosLog log_;
  std::uint16_t dta_ = 0x0080;
  int steps_ = 0;
  std::vector<std::uint16_t> strayWrites_;
  bool usedPorts_ = false;
};

std::vector<std::uint8_t> SystemFile(std::size_t size) {
  std::vector<std::uint8_t> file(size);
  for (std::size_t i = 0; i < size; ++i) file[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return file;
}

struct Scenario {
  const char* name;
  int option;
  int kernelMajor;
  std::optional<std::size_t> fileSize;
  Outcome outcome;
  std::vector<int> functions;
  std::size_t loadedBytes;
};

std::ostream& operator<<(std::ostream& out, const Scenario& scenario) {
  return out << scenario.name;
}

class BootCodeEmulationTest : public testing::TestWithParam<Scenario> {};

TEST_P(BootCodeEmulationTest, RunsTheDiskRomsTwoCalls) {
  const Scenario& s = GetParam();
  std::optional<std::vector<std::uint8_t>> file;
  if (s.fileSize) file = SystemFile(*s.fileSize);
  Machine machine(GetBootCode(s.option), {s.kernelMajor, file});

  // First call, right after loading the sector: nothing is loaded.
  ASSERT_EQ(machine.CallBootEntry(false), Outcome::Returned);
  EXPECT_FALSE(machine.Carry());
  EXPECT_EQ(machine.StackPointer(), kStackTop);
  EXPECT_TRUE(machine.Log().functions.empty());
  if (s.option == 0) {
    EXPECT_EQ(machine.Steps(), 1);
  }

  // Second call, with the kernel ready.
  ASSERT_EQ(machine.CallBootEntry(true), s.outcome);
  EXPECT_EQ(machine.Log().functions, s.functions);
  if (s.option == 0) {
    EXPECT_EQ(machine.Steps(), 1);
  }
  if (s.outcome == Outcome::Returned) {
    EXPECT_EQ(machine.StackPointer(), kStackTop);
    if (s.option != 0) {
      EXPECT_FALSE(machine.Carry()) << "fallback returns with carry clear";
    }
  }
  const bool opened = std::find(s.functions.begin(), s.functions.end(), kOpen) != s.functions.end();
  if (opened) {
    EXPECT_EQ(machine.Log().openedDrive, 0);
    EXPECT_EQ(machine.Log().openedName, s.option == 1 ? "MSXDOS  SYS" : "MSXDOS2 SYS");
  }
  if (s.outcome == Outcome::StartedSystem) {
    EXPECT_EQ(machine.Log().readDta, kSystemStart);
    EXPECT_EQ(machine.Log().readRecordSize, 1);
    EXPECT_EQ(machine.Log().readFirstRecord, 0);
  }
  const auto& ram = machine.Ram();
  const auto loaded = ram.begin() + kSystemStart;
  EXPECT_TRUE(std::equal(loaded, loaded + static_cast<std::ptrdiff_t>(s.loadedBytes),
                         file ? file->begin() : ram.begin()));
  EXPECT_EQ(loaded[static_cast<std::ptrdiff_t>(s.loadedBytes)], 0) << "nothing read beyond";
  EXPECT_TRUE(machine.StrayWrites().empty());
  EXPECT_FALSE(machine.UsedPorts());
}

const std::vector<int> kDos1Load = {kSetDta, kOpen, kRandomBlockRead};
const std::vector<int> kDos1Missing = {kSetDta, kOpen};
const std::vector<int> kDos2Load = {kDosVersion, kSetDta, kOpen, kRandomBlockRead};
const std::vector<int> kDos2Missing = {kDosVersion, kSetDta, kOpen};

INSTANTIATE_TEST_SUITE_P(
    Blocks, BootCodeEmulationTest,
    testing::Values(
        Scenario{"EmptyIgnoresTheSystemFile", 0, 2, 3000, Outcome::Returned, {}, 0},
        Scenario{"EmptyOnDiskWithoutSystem", 0, 1, std::nullopt, Outcome::Returned, {}, 0},
        Scenario{"Dos1LoadsAndStarts", 1, 1, 2432, Outcome::StartedSystem, kDos1Load, 2432},
        Scenario{"Dos1UnderDos2Kernel", 1, 2, 2432, Outcome::StartedSystem, kDos1Load, 2432},
        Scenario{"Dos1MissingFile", 1, 1, std::nullopt, Outcome::Returned, kDos1Missing, 0},
        Scenario{"Dos1EmptyFile", 1, 1, 0, Outcome::Returned, kDos1Load, 0},
        Scenario{"Dos1LongFileStopsAtPage1", 1, 1, 0x8000, Outcome::StartedSystem, kDos1Load,
                 0x3F00},
        Scenario{"Dos2LoadsAndStarts", 2, 2, 4480, Outcome::StartedSystem, kDos2Load, 4480},
        Scenario{"Dos2UnderDos1Kernel", 2, 1, 4480, Outcome::Returned, {kDosVersion}, 0},
        Scenario{"Dos2MissingFile", 2, 2, std::nullopt, Outcome::Returned, kDos2Missing, 0},
        Scenario{"Dos2EmptyFile", 2, 2, 0, Outcome::Returned, kDos2Load, 0},
        Scenario{"Dos2LongFileStopsAtPage1", 2, 2, 0x8000, Outcome::StartedSystem, kDos2Load,
                 0x3F00}),
    [](const testing::TestParamInfo<Scenario>& scenario) {
      return std::string(scenario.param.name);
    });

}  // namespace
}  // namespace disk
