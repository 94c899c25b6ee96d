// Menu animation's arithmetic: a popup opens by a slide (a growing window region) or a fade
// (a layered window's constant alpha). The Win32 side is win32/anim.h.
//   AnimationStep(elapsed, duration, startStep, lastStep): the animation ends when the time is
//   outside 0..duration-1 or the step (elapsed * 255 / duration + startStep) is outside 0..254;
//   a step not above the last one draws nothing.
//   SlideOffset: where the window's picture is for a step (down and right grow from the top
//   and left edges, up and left from the bottom and right ones).
#pragma once

#include <cstdint>

#include "tb/common.h"

namespace tb {

using TTBAnimationDirection = std::uint8_t;
constexpr TTBAnimationDirection tbadLeft = 1, tbadRight = 2, tbadDown = 4, tbadUp = 8;

constexpr int kFadeDuration = 175;
constexpr int kFadeStartStep = 40;
constexpr int kSlideDuration = 150;
constexpr int kSlideStartStep = 0;
constexpr int kAnimationInterval = 10;  // ms between steps at the least

struct TAnimationStep {
  enum Kind { End, NoDraw, Draw } kind = End;
  int step = 0;
};
TAnimationStep AnimationStep(std::int64_t elapsed, int duration, int startStep, int lastStep);

TPoint SlideOffset(TTBAnimationDirection direction, int width, int height, int step);

// a * b / c rounded to the nearest integer as the platform's MulDiv does (halves away from 0).
int MulDiv(int a, int b, int c);

}  // namespace tb
