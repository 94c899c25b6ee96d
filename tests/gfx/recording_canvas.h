// A bar canvas that records each drawing call as one line of text, for the range bars' and the
// image view's painting tests.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "gfx/range_bars.h"

namespace gfx::testing {

inline std::string RectText(const TRect& R) {
  return std::to_string(R.left) + "," + std::to_string(R.top) + "," + std::to_string(R.right) +
         "," + std::to_string(R.bottom);
}

// Records each call as one line of text.
struct RecordingCanvas : TBarCanvas {
  bool themed = false;
  std::vector<std::string> calls;
  bool ThemesEnabled() override { return themed; }
  void DrawThemeBackground(int Part, int State, const TRect& R) override {
    calls.push_back("theme " + std::to_string(Part) + " " + std::to_string(State) + " " +
                    RectText(R));
  }
  void DrawFrameControl(const TRect& R, unsigned Type, unsigned State) override {
    calls.push_back("frame " + std::to_string(Type) + " " + std::to_string(State) + " " +
                    RectText(R));
  }
  void DrawEdge(const TRect& R, unsigned Edge, unsigned Flags) override {
    calls.push_back("edge " + std::to_string(Edge) + " " + std::to_string(Flags) + " " +
                    RectText(R));
  }
  void FillSolid(const TRect& R, std::uint32_t Color) override {
    calls.push_back("fill " + std::to_string(Color) + " " + RectText(R));
  }
  void FillPattern(const TRect& R, std::uint32_t C1, std::uint32_t C2) override {
    calls.push_back("pattern " + std::to_string(C1) + " " + std::to_string(C2) + " " + RectText(R));
  }
  void FrameRect(const TRect& R, std::uint32_t) override {
    calls.push_back("framerect " + RectText(R));
  }
  void Polyline(std::span<const TPoint> Points, std::uint32_t) override { Record("line", Points); }
  void Polygon(std::span<const TPoint> Points, std::uint32_t) override {
    Record("polygon", Points);
  }
  std::uint32_t SysColor(std::int32_t Index) override { return 0x010101u * Index; }
  void Record(const std::string& what, std::span<const TPoint> Points) {
    std::string line = what;
    for (const TPoint& p : Points) line += " " + std::to_string(p.X) + "," + std::to_string(p.Y);
    calls.push_back(line);
  }
};

}  // namespace gfx::testing
