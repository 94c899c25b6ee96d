// Module lookups over the library context's module list.
#include "hfe/module_registry.h"

#include <string>

namespace hfe {

int trk_searchContainer(const TLibContext& context, std::string_view name) {
  for (std::size_t id = 0; id < context.modules.size(); ++id)
    if (context.modules[id]->name == name) return static_cast<int>(id);
  context.Log(kLogError, "trk_searchContainer : Plugin %s not found !", std::string(name).c_str());
  return -1;
}

int trk_numberOfContainer(const TLibContext& context) {
  return static_cast<int>(context.modules.size());
}

const TModule* trk_getContainer(const TLibContext& context, int id) {
  if (id < 0 || static_cast<std::size_t>(id) >= context.modules.size()) {
    context.Log(kLogError, "Bad module ID : %x !", static_cast<unsigned>(id));
    return nullptr;
  }
  return context.modules[static_cast<std::size_t>(id)];
}

int trk_floppyExport(TLibContext& context, const TFloppy& floppy, const std::filesystem::path& path,
                     int moduleId) {
  if (moduleId < 0 || static_cast<std::size_t>(moduleId) >= context.modules.size()) {
    context.Log(kLogError, "Bad plugin ID : 0x%x", static_cast<unsigned>(moduleId));
    return kBadParameter;
  }
  const TModule& module = *context.modules[static_cast<std::size_t>(moduleId)];
  if (!module.canExport || !module.exportFloppy) {
    context.Log(kLogError, "No export support in %s!", std::string(module.name).c_str());
    return kNoExportSupport;
  }
  return module.exportFloppy(context, floppy, path);
}

}  // namespace hfe
