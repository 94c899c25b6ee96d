// A form without a window for the placement rules: placement calls are recorded and answered
// from plain fields (tests and the placement fuzz target).
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "ux/placement_host.h"

namespace ux {

class FakePlacementHost : public PlacementHost {
 public:
  std::optional<TWindowPlacement> placement =
      TWindowPlacement{0, 1, {-1, -1}, {-4, -4}, {100, 50, 988, 700}};
  bool handleAllocated = true;
  bool visible = false;
  bool mainForm = true;
  bool maximizeIcon = true;
  TFormBorderStyle borderStyle = TFormBorderStyle::bsSizeable;
  TWindowState windowState = TWindowState::wsNormal;
  std::vector<TWindowPlacement> applied;
  std::vector<std::wstring> calls;  // state changes and updates in order
  std::vector<std::string> handledErrors;

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
  bool Iconic() const override { return false; }
  TFormStyle FormStyle() const override { return TFormStyle::fsNormal; }
  TFormBorderStyle BorderStyle() const override { return borderStyle; }
  TPosition Position() const override { return TPosition::poDesigned; }
  void KeepPositionDesigned() override {}
  TRect BoundsRect() const override { return {100, 50, 988, 700}; }
  TRect WorkAreaNear(const TRect&) const override { return {0, 0, 1280, 1024}; }
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
  std::wstring ActiveControlName() const override { return {}; }
  void SetActiveControlByName(std::wstring_view) override {}
  TPoint FrameSize(TFormBorderStyle) const override { return {4, 4}; }
  ScreenInfo Screen() const override { return {1280, 1024, 96}; }
  void HandleException() override {
    try {
      throw;
    } catch (const std::exception& e) {
      handledErrors.push_back(e.what());
    }
  }
};

}  // namespace ux
