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
#include <string>
#include <vector>

#include "disk/records.h"

namespace disk {
namespace {

constexpr std::uint16_t kSectorAddress = 0xC000;
constexpr std::uint16_t kBdos = 0xF37D;
constexpr std::uint16_t kSystemStart = 0x0100;
constexpr std::uint16_t kReturnTrap = 0xFF00;  // the disk ROM's return address, pushed below
constexpr std::uint16_t kStackTop = 0xF000;

constexpr int kSetDta = 0x1A, kOpen = 0x0F, kRandomBlockRead = 0x27, kDosVersion = 0x6F;

enum class Outcome { Returned, StartedSystem, Runaway };

struct CpuDeleter {
  void operator()(Z80EX_CONTEXT* cpu) const { z80ex_destroy(cpu); }
};

class Machine {
 public:
  // kernelMajor 1 or 2; no system file: none on the disk.
  Machine(TBootCodeRec block, int kernelMajor, std::optional<std::vector<std::uint8_t>> file)
      : kernelMajor_(kernelMajor), file_(std::move(file)) {
    std::memcpy(&ram_[kSectorAddress + 28], block.Code, static_cast<std::size_t>(block.Size));
    cpu_.reset(z80ex_create(ReadMemory, this, WriteMemory, this, ReadPort, this, WritePort, this,
                            ReadInterruptVector, this));
  }

  // Calls the boot entry as the disk ROM does and runs until the program returns, reaches the
  // system's start address or exceeds the step limit.
  Outcome CallBootEntry(bool carry) {
    PutWord(kStackTop - 2, kReturnTrap);
    Set(regSP, kStackTop - 2);
    Set(regPC, kSectorAddress + 0x1E);
    Set(regAF, carry ? 0x5AFF : 0x5AFE);  // every other flag set
    for (int step = 0; step < 100000; ++step) {
      const std::uint16_t pc = Reg(regPC);
      if (z80ex_last_op_type(cpu_.get()) == 0) {
        if (pc == kReturnTrap) return Outcome::Returned;
        if (pc == kSystemStart) return Outcome::StartedSystem;
        if (pc == kBdos) {
          ServeBdos();
          Set(regPC, Word(Reg(regSP)));
          Set(regSP, Reg(regSP) + 2);
          continue;
        }
      }
      z80ex_step(cpu_.get());
    }
    return Outcome::Runaway;
  }

  std::uint16_t Reg(Z80_REG_T reg) const { return z80ex_get_reg(cpu_.get(), reg); }
  std::vector<std::uint8_t> ram_ = std::vector<std::uint8_t>(0x10000);
  std::vector<int> functions_;  // BDOS functions called
  std::string openedName_;
  int readDta_ = -1, readRecordSize_ = -1, readFirstRecord_ = -1;
  // Writes outside the sector and the stack, or any port access.
  bool misbehaved_ = false;

 private:
  static Z80EX_BYTE ReadMemory(Z80EX_CONTEXT*, Z80EX_WORD address, int, void* self) {
    return static_cast<Machine*>(self)->ram_[address];
  }
  static void WriteMemory(Z80EX_CONTEXT*, Z80EX_WORD address, Z80EX_BYTE value, void* self) {
    auto* machine = static_cast<Machine*>(self);
    if ((address < kSectorAddress || address >= kSectorAddress + 512) &&
        (address < kStackTop - 0x100 || address >= kStackTop))
      machine->misbehaved_ = true;
    machine->ram_[address] = value;
  }
  static Z80EX_BYTE ReadPort(Z80EX_CONTEXT*, Z80EX_WORD, void* self) {
    static_cast<Machine*>(self)->misbehaved_ = true;
    return 0xFF;
  }
  static void WritePort(Z80EX_CONTEXT*, Z80EX_WORD, Z80EX_BYTE, void* self) {
    static_cast<Machine*>(self)->misbehaved_ = true;
  }
  static Z80EX_BYTE ReadInterruptVector(Z80EX_CONTEXT*, void*) { return 0xFF; }

  void Set(Z80_REG_T reg, int value) {
    z80ex_set_reg(cpu_.get(), reg, static_cast<Z80EX_WORD>(value));
  }
  std::uint16_t Word(std::uint16_t address) const {
    return static_cast<std::uint16_t>(ram_[address] | ram_[address + 1] << 8);
  }
  void PutWord(std::uint16_t address, std::size_t value) {
    ram_[address] = value & 0xFF;
    ram_[address + 1] = (value >> 8) & 0xFF;
  }
  // Sets A; every flag comes back set, so the program must test A itself.
  void SetA(int a) { Set(regAF, a << 8 | 0xFF); }

  void ServeBdos() {
    const int function = Reg(regBC) & 0xFF;
    const std::uint16_t fcb = Reg(regDE);
    functions_.push_back(function);
    if (function == kSetDta) {
      dta_ = fcb;
    } else if (function == kDosVersion) {
      // MSX-DOS 1 has no such function: A = 0, B and C as they were.
      if (kernelMajor_ >= 2) {
        Set(regBC, 0x0231);
        Set(regDE, 0x0231);
      }
      SetA(0);
    } else if (function == kOpen) {
      openedName_ = std::to_string(ram_[fcb]) + std::string(&ram_[fcb + 1], &ram_[fcb + 12]);
      if (!file_) return SetA(0xFF);
      PutWord(fcb + 12, 0);    // extent
      PutWord(fcb + 14, 128);  // record size after an open
      PutWord(fcb + 16, file_->size() & 0xFFFF);
      PutWord(fcb + 18, file_->size() >> 16);
      ram_[fcb + 32] = 0;  // current record
      SetA(0);
    } else if (function == kRandomBlockRead) {
      ASSERT_TRUE(file_) << "read without an open file";
      const std::size_t size = Word(fcb + 14), first = Word(fcb + 33) | Word(fcb + 35) << 16;
      const std::size_t records = Reg(regHL);
      readDta_ = dta_;
      readRecordSize_ = static_cast<int>(size);
      readFirstRecord_ = static_cast<int>(first);
      ASSERT_GT(size, 0U);
      const std::size_t start = std::min(first * size, file_->size());
      const std::size_t read = std::min(records, (file_->size() - start + size - 1) / size);
      ASSERT_LE(dta_ + read * size, ram_.size()) << "read past the end of memory";
      std::copy_n(file_->begin() + static_cast<std::ptrdiff_t>(start),
                  std::min(read * size, file_->size() - start), ram_.begin() + dta_);
      PutWord(fcb + 33, (first + read) & 0xFFFF);
      PutWord(fcb + 35, (first + read) >> 16);
      Set(regHL, static_cast<int>(read));
      SetA(read == records ? 0 : 1);
    } else {
      ADD_FAILURE() << "unexpected BDOS function " << function;
    }
  }

  int kernelMajor_;
  std::optional<std::vector<std::uint8_t>> file_;
  std::unique_ptr<Z80EX_CONTEXT, CpuDeleter> cpu_;
  std::uint16_t dta_ = 0x0080;
};

struct Scenario {
  const char* name;
  int option, kernelMajor;
  std::optional<std::size_t> fileSize;
  Outcome outcome;
  std::vector<int> functions;
  std::size_t loadedBytes;
};

class BootCodeEmulationTest : public testing::TestWithParam<Scenario> {};

TEST_P(BootCodeEmulationTest, RunsTheDiskRomsTwoCalls) {
  const Scenario& s = GetParam();
  std::optional<std::vector<std::uint8_t>> file;
  if (s.fileSize) {
    file.emplace(*s.fileSize);
    for (std::size_t i = 0; i < file->size(); ++i)
      (*file)[i] = static_cast<std::uint8_t>(i * 7 + 3);
  }
  Machine machine(GetBootCode(s.option), s.kernelMajor, file);

  // First call, right after loading the sector: nothing is loaded.
  ASSERT_EQ(machine.CallBootEntry(false), Outcome::Returned);
  EXPECT_EQ(machine.Reg(regAF) & 1, 0);
  EXPECT_EQ(machine.Reg(regSP), kStackTop);
  EXPECT_TRUE(machine.functions_.empty());

  // Second call, with the kernel ready.
  ASSERT_EQ(machine.CallBootEntry(true), s.outcome);
  EXPECT_EQ(machine.functions_, s.functions);
  if (s.outcome == Outcome::Returned) {
    EXPECT_EQ(machine.Reg(regSP), kStackTop);
    if (s.option != 0) {
      EXPECT_EQ(machine.Reg(regAF) & 1, 0) << "fallback returns carry clear";
    }
  }
  if (std::count(s.functions.begin(), s.functions.end(), kOpen)) {
    EXPECT_EQ(machine.openedName_, s.option == 1 ? "0MSXDOS  SYS" : "0MSXDOS2 SYS");
  }
  if (s.outcome == Outcome::StartedSystem) {
    EXPECT_EQ(machine.readDta_, kSystemStart);
    EXPECT_EQ(machine.readRecordSize_, 1);
    EXPECT_EQ(machine.readFirstRecord_, 0);
  }
  const auto loaded = machine.ram_.begin() + kSystemStart;
  EXPECT_TRUE(std::equal(loaded, loaded + static_cast<std::ptrdiff_t>(s.loadedBytes),
                         file ? file->begin() : loaded));
  EXPECT_EQ(loaded[static_cast<std::ptrdiff_t>(s.loadedBytes)], 0) << "nothing read beyond";
  EXPECT_FALSE(machine.misbehaved_);
}

const std::vector<int> kDos1Load = {kSetDta, kOpen, kRandomBlockRead};
const std::vector<int> kDos2Load = {kDosVersion, kSetDta, kOpen, kRandomBlockRead};
const std::vector<int> kDos1Missing(kDos1Load.begin(), kDos1Load.end() - 1);
const std::vector<int> kDos2Missing(kDos2Load.begin(), kDos2Load.end() - 1);
constexpr auto kReturned = Outcome::Returned;
constexpr auto kStarted = Outcome::StartedSystem;

INSTANTIATE_TEST_SUITE_P(
    Blocks, BootCodeEmulationTest,
    testing::Values(Scenario{"EmptyIgnoresTheSystemFile", 0, 2, 3000, kReturned, {}, 0},
                    Scenario{"Dos1LoadsAndStarts", 1, 1, 2432, kStarted, kDos1Load, 2432},
                    Scenario{"Dos1MissingFile", 1, 1, std::nullopt, kReturned, kDos1Missing, 0},
                    Scenario{"Dos1EmptyFile", 1, 1, 0, kReturned, kDos1Load, 0},
                    Scenario{"Dos1LongFileStopsAtPage1", 1, 1, 0x8000, kStarted, kDos1Load, 0x3F00},
                    Scenario{"Dos2LoadsAndStarts", 2, 2, 4480, kStarted, kDos2Load, 4480},
                    Scenario{"Dos2UnderDos1Kernel", 2, 1, 4480, kReturned, {kDosVersion}, 0},
                    Scenario{"Dos2MissingFile", 2, 2, std::nullopt, kReturned, kDos2Missing, 0},
                    Scenario{"Dos2EmptyFile", 2, 2, 0, kReturned, kDos2Load, 0},
                    Scenario{"Dos2LongFileStopsAtPage1", 2, 2, 0x8000, kStarted, kDos2Load,
                             0x3F00}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace disk
