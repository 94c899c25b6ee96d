#include "tb/anim.h"

#include <cstdlib>

namespace tb {

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(a) * b;
  const std::int64_t half = std::llabs(c) / 2;
  const bool negative = (product < 0) != (c < 0);
  const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(c);
  return static_cast<int>(negative ? -magnitude : magnitude);
}

TAnimationStep AnimationStep(std::int64_t elapsed, int duration, int startStep, int lastStep) {
  if (elapsed < 0 || elapsed >= duration) return {TAnimationStep::End, 0};
  const auto step = static_cast<int>(elapsed * 255 / duration) + startStep;
  if (step < 0 || step > 254) return {TAnimationStep::End, 0};
  if (step <= lastStep) return {TAnimationStep::NoDraw, step};
  return {TAnimationStep::Draw, step};
}

TPoint SlideOffset(TTBAnimationDirection direction, int width, int height, int step) {
  TPoint offset;
  if (direction & tbadDown) {
    offset.y = MulDiv(height, step, 255) - height;
  } else if (direction & tbadUp) {
    offset.y = height - MulDiv(height, step, 255);
  }
  if (direction & tbadRight) {
    offset.x = MulDiv(width, step, 255) - width;
  } else if (direction & tbadLeft) {
    offset.x = width - MulDiv(width, step, 255);
  }
  return offset;
}

}  // namespace tb
