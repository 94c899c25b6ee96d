// A form without a window: placement calls are recorded and answered from plain fields.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ux/placement_host.h"

namespace ux::test {

class FakePlacementHost : public PlacementHost {
 public:
  std::optional<TWindowPlacement> placement =
      TWindowPlacement{0, 1, {-1, -1}, {-4, -4}, {100, 50, 988, 700}};
  ScreenInfo screen{1280, 1024, 96};
  TRect bounds{100, 50, 988, 700};
  bool handleAllocated = true;
  bool visible = false;
  bool mainForm = true;
  bool iconic = false;
  TFormStyle formStyle = TFormStyle::fsNormal;
  TFormBorderStyle borderStyle = TFormBorderStyle::bsSizeable;
  TPosition position = TPosition::poDesigned;
  TWindowState windowState = TWindowState::wsNormal;
  std::wstring activeControl;

  std::vector<TWindowPlacement> applied;
  std::vector<std::wstring> calls;  // state changes, focus, updates in order
  std::vector<std::string> handledErrors;

  bool maximizeIcon = true;
  bool MaximizeIcon() const override { return maximizeIcon; }
  void SetMaximizeIcon(bool shown) override { maximizeIcon = shown; }
  bool HandleAllocated() const override { return handleAllocated; }
  std::optional<TWindowPlacement> GetPlacement() const override { return placement; }
  void SetPlacement(const TWindowPlacement& p) override {
    applied.push_back(p);
    placement = p;
  }
  bool Visible() const override { return visible; }
  bool IsMainForm() const override { return mainForm; }
  bool Iconic() const override { return iconic; }
  TFormStyle FormStyle() const override { return formStyle; }
  TFormBorderStyle BorderStyle() const override { return borderStyle; }
  TPosition Position() const override { return position; }
  void KeepPositionDesigned() override {
    position = TPosition::poDesigned;
    calls.push_back(L"designed");
  }
  TRect BoundsRect() const override { return bounds; }
  TWindowState WindowState() const override { return windowState; }
  void SetWindowState(TWindowState state) override {
    windowState = state;
    calls.push_back(L"state " + std::to_wstring(static_cast<int>(state)));
  }
  void RecordWindowState(TWindowState state) override {
    calls.push_back(L"record " + std::to_wstring(static_cast<int>(state)));
  }
  void PostMinimize() override { calls.push_back(L"minimize"); }
  void Update() override { calls.push_back(L"update"); }
  std::wstring ActiveControlName() const override { return activeControl; }
  void SetActiveControlByName(std::wstring_view name) override {
    calls.push_back(L"focus " + std::wstring(name));
  }
  TPoint FrameSize(TFormBorderStyle style) const override {
    return style == TFormBorderStyle::bsNone ? TPoint{0, 0} : TPoint{4, 4};
  }
  ScreenInfo Screen() const override { return screen; }
  void HandleException() override {
    try {
      throw;
    } catch (const std::exception& e) {
      handledErrors.push_back(e.what());
    }
  }
};

}  // namespace ux::test
