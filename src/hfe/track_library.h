// The library context (log and progress callbacks), the image-loader context and the lifetime
// operations of the track library.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "hfe/hfe_types.h"

namespace hfe {

// Log levels.
inline constexpr int kLogStartStop = 0;
inline constexpr int kLogInfo = 1;
inline constexpr int kLogError = 3;
inline constexpr int kLogDetail = 4;

using LogCallback = std::function<void(int level, std::string_view text)>;
using ProgressCallback = std::function<void(int position, int total)>;

struct TModule;

class TLibContext : public TLibRecord {
 public:
  // Formats and delivers a log line; nothing is formatted while no callback is installed.
  void Log(int level, const char* format, ...) const __attribute__((format(printf, 3, 4)));
  bool Logging() const { return static_cast<bool>(logCallback); }

  LogCallback logCallback;  // empty: silent
  ProgressCallback progressCallback;
  std::vector<const TModule*> modules;  // image-format modules; none are registered here
};

struct TImgLoader : TLibRecord {
  TLibContext* context = nullptr;
  ProgressCallback progressCallback;
};

std::unique_ptr<TLibContext> trk_init();
void trk_deinit(std::unique_ptr<TLibContext> context);
std::unique_ptr<TImgLoader> trk_imgInitLoader(TLibContext& context);
void trk_imgDeInitLoader(std::unique_ptr<TImgLoader> loader);
// Frees a floppy with everything it owns; tolerates missing cylinders and sides.
void trk_floppyUnload(TLibContext& context, std::unique_ptr<TFloppy> floppy);
void trk_imgCallProgressCallback(const TImgLoader& loader, int position, int total);

// The text of a path for log lines (UTF-8).
std::string LogName(std::u8string_view name);

}  // namespace hfe
