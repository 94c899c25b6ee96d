// The registry of image-format modules. This program registers none, so every lookup fails with
// the library's log line and result.
#pragma once

#include <filesystem>
#include <string_view>

#include "hfe/hfe_types.h"
#include "hfe/track_library.h"

namespace hfe {

struct TModule {
  std::string_view name;
  std::string_view description;
  bool canExport = false;
  // Writes a floppy in the module's format; 0 done, else a library result.
  int (*exportFloppy)(TLibContext& context, const TFloppy& floppy,
                      const std::filesystem::path& path) = nullptr;
};

// The id of the module of that name, or -1.
int trk_searchContainer(const TLibContext& context, std::string_view name);
int trk_numberOfContainer(const TLibContext& context);
// The module of that id, or null.
const TModule* trk_getContainer(const TLibContext& context, int id);
// 0 done, -4 no module of that id, -6 the module cannot export.
int trk_floppyExport(TLibContext& context, const TFloppy& floppy, const std::filesystem::path& path,
                     int moduleId);

}  // namespace hfe
