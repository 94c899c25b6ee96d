// Names of the HFE header's codes and the signature check.
#include "hfe/hfe_format.h"

#include <array>

namespace hfe {

namespace {

struct TInterfaceMode {
  std::string_view name;
  std::string_view description;
};

constexpr std::array<TInterfaceMode, 12> kInterfaceModes = {{
    {"IBMPC_DD_FLOPPYMODE", "IBM PC double density"},
    {"IBMPC_HD_FLOPPYMODE", "IBM PC high density"},
    {"ATARIST_DD_FLOPPYMODE", "Atari ST double density"},
    {"ATARIST_HD_FLOPPYMODE", "Atari ST high density"},
    {"AMIGA_DD_FLOPPYMODE", "Amiga double density"},
    {"AMIGA_HD_FLOPPYMODE", "Amiga high density"},
    {"CPC_DD_FLOPPYMODE", "Amstrad CPC double density"},
    {"GENERIC_SHUGART_DD_FLOPPYMODE", "Generic Shugart double density"},
    {"IBMPC_ED_FLOPPYMODE", "IBM PC extra density"},
    {"MSX2_DD_FLOPPYMODE", "MSX2 double density"},
    {"C64_DD_FLOPPYMODE", "Commodore 64 double density"},
    {"EMU_SHUGART_FLOPPYMODE", "E-mu Shugart"},
}};

constexpr std::array<std::string_view, 4> kEncodingNames = {
    "ISOIBM_MFM_ENCODING", "AMIGA_MFM_ENCODING", "ISOIBM_FM_ENCODING", "EMU_FM_ENCODING"};

}  // namespace

std::string_view EncodingName(std::int32_t encoding) {
  if (encoding < 0 || static_cast<std::size_t>(encoding) >= kEncodingNames.size())
    return "UNKNOWN_ENCODING";
  return kEncodingNames[static_cast<std::size_t>(encoding)];
}

std::string_view InterfaceModeName(std::int32_t mode) {
  if (mode < 0 || static_cast<std::size_t>(mode) >= kInterfaceModes.size()) return "Unknow!";
  return kInterfaceModes[static_cast<std::size_t>(mode)].name;
}

std::string_view InterfaceModeDescription(std::int32_t mode) {
  if (mode < 0 || static_cast<std::size_t>(mode) >= kInterfaceModes.size()) return "Unknow!";
  return kInterfaceModes[static_cast<std::size_t>(mode)].description;
}

int HFE_libIsValidDiskFile(const TImgLoader& loader, std::span<const std::uint8_t> leadingBytes) {
  if (leadingBytes.size() >= kHfeSignature.size() &&
      std::string_view(reinterpret_cast<const char*>(leadingBytes.data()), kHfeSignature.size()) ==
          kHfeSignature) {
    loader.context->Log(kLogDetail, "HFE_libIsValidDiskFile : HFE file !");
    return 1;
  }
  loader.context->Log(kLogDetail, "HFE_libIsValidDiskFile : non HFE file !");
  return kBadFile;
}

}  // namespace hfe
