// Library and loader contexts.
#include "hfe/track_library.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

#include "hfe/allocation_guard.h"

namespace hfe {

void TLibContext::Log(int level, const char* format, ...) const {
  if (!logCallback) return;
  char text[1024];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  logCallback(level, text);
}

const TSide* TFloppy::Side(std::int32_t track, std::int32_t side) const {
  if (track < 0 || side < 0 || static_cast<std::size_t>(track) >= cylinders.size()) return nullptr;
  const TCylinder* cylinder = cylinders[static_cast<std::size_t>(track)].get();
  if (!cylinder || static_cast<std::size_t>(side) >= cylinder->sides.size()) return nullptr;
  return cylinder->sides[static_cast<std::size_t>(side)].get();
}

TSide* TFloppy::Side(std::int32_t track, std::int32_t side) {
  return const_cast<TSide*>(std::as_const(*this).Side(track, side));
}

std::unique_ptr<TLibContext> trk_init() {
  // Without a context there is no log to tell of a failed allocation.
  return GuardAllocation(nullptr, "trk_init", std::unique_ptr<TLibContext>(), [] {
    auto context = std::make_unique<TLibContext>();
    context->Log(kLogStartStop, "Track library started");
    return context;
  });
}

void trk_deinit(std::unique_ptr<TLibContext> context) {
  if (!context) return;
  context->Log(kLogStartStop, "Track library stopped");
}

std::unique_ptr<TImgLoader> trk_imgInitLoader(TLibContext& context) {
  return GuardAllocation(&context, "trk_imgInitLoader", std::unique_ptr<TImgLoader>(), [&] {
    auto loader = std::make_unique<TImgLoader>();
    loader->context = &context;
    return loader;
  });
}

void trk_imgDeInitLoader(std::unique_ptr<TImgLoader> loader) {
  loader.reset();
}

void trk_floppyUnload(TLibContext& /*context*/, std::unique_ptr<TFloppy> floppy) {
  floppy.reset();
}

void trk_imgCallProgressCallback(const TImgLoader& loader, int position, int total) {
  if (loader.progressCallback) loader.progressCallback(position, total);
}

std::string LogName(std::u8string_view name) {
  return {name.begin(), name.end()};
}

}  // namespace hfe
