// The stage of a paired draw event: before the default painting (a handler may clear the
// paint-default flag to replace it) and after it.
#pragma once

namespace skbar {

enum class TSkBarPaintStage { pstPrePaint, pstPostPaint };
using enum TSkBarPaintStage;

}  // namespace skbar
