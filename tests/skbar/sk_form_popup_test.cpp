#include "skbar/sk_form_popup.h"

#include <gtest/gtest.h>

namespace skbar {
namespace {

TEST(SkFormPopup, AnimationKindPositionAndGrip) {
  EXPECT_EQ(SkPopupAnimationKind(false, true), 0);
  EXPECT_EQ(SkPopupAnimationKind(true, false), 1);
  EXPECT_EQ(SkPopupAnimationKind(true, true), 2);

  const TRect work{0, 0, 800, 600};
  const struct {
    TRect control;
    bool side;
    TPoint at;
  } kPlaces[] = {
      {{100, 100, 180, 120}, false, {100, 120}},  // below the left edge
      {{100, 500, 180, 520}, false, {100, 400}},  // too low: above
      {{720, 100, 790, 120}, false, {690, 120}},  // too far right: ends at the right edge
      {{100, 100, 180, 120}, true, {180, 100}},   // beside
      {{700, 550, 780, 570}, true, {600, 470}},   // beside, both flipped
  };
  for (const auto& c : kPlaces) {
    EXPECT_EQ(SkFormPopupPosition(c.control, {100, 100}, work, c.side), c.at) << c.control.left;
  }

  EXPECT_EQ(SkPopupGripRect(pbsSizeableBottom, 100), (TRect{40, 0, 60, 10}));
  EXPECT_EQ(SkPopupGripRect(pbsSizeableRightBottom, 100), (TRect{86, 0, 100, 10}));
  EXPECT_EQ(SkPopupGripRect(pbsFrame, 100), TRect{});
  const TRect row{0, 90, 100, 100}, strip{86, 90, 100, 100};
  EXPECT_EQ(SkWrapperResizeHitTest(pbsSizeableBottom, row, strip, {5, 95}), 15);
  EXPECT_EQ(SkWrapperResizeHitTest(pbsSizeableRightBottom, row, strip, {5, 95}), 0);
  EXPECT_EQ(SkWrapperResizeHitTest(pbsSizeableRightBottom, row, strip, {90, 95}), 17);
  EXPECT_EQ(SkWrapperResizeHitTest(pbsFrame, row, strip, {90, 95}), 0);
  EXPECT_EQ(SkWrapperResizeHitTest(pbsSizeableBottom, row, strip, {5, 89}), 0);
}

TEST(SkFormPopup, WhatClosesThePopup) {
  const struct {
    unsigned msg;
    std::uintptr_t wParam;
    bool onWrapper, onControl;
    TSkFormPopupClose expected;
  } kCases[] = {
      {0x201, 0, false, false, fpcRollUp},  // a left press elsewhere
      {0x204, 0, false, false, fpcRollUp},  // right
      {0x207, 0, false, false, fpcRollUp},  // middle
      {0x201, 0, true, false, fpcNone},     // inside the popup
      {0x201, 0, false, true, fpcNone},     // on the popup control
      {0x202, 0, false, false, fpcNone},    // a release
      {0xA1, 0, false, true, fpcRollUp},    // a non-client press on another window
      {0xA9, 0, false, false, fpcRollUp},    {0xA1, 0, true, false, fpcNone},
      {0x100, 0x1B, true, false, fpcRollUp},  // Escape in the popup
      {0x100, 0x1B, false, true, fpcRollUp},  // or in the popup control
      {0x100, 0x1B, false, false, fpcNone},  {0x100, 0x0D, true, false, fpcNone},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(SkFormPopupCloseOn({c.msg, c.wParam, c.onWrapper, c.onControl}), c.expected)
        << std::hex << c.msg << " " << c.onWrapper << c.onControl;
  }
}

}  // namespace
}  // namespace skbar
