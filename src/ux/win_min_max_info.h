// Size limits of a form: each property, when not 0, overrides one member of the window's
// min/max record. All 0 means no limit.
#pragma once

#include <functional>

#include "ui/persistent.h"
#include "ux/placement_host.h"

namespace ux {

// The window's min/max record (the platform's MINMAXINFO).
struct TMinMaxRecord {
  TPoint reserved;
  TPoint maxSize;
  TPoint maxPosition;
  TPoint minTrackSize;
  TPoint maxTrackSize;
};

class TWinMinMaxInfo : public ui::TPersistent {
 public:
  // `changed` runs after every change of a value.
  explicit TWinMinMaxInfo(std::function<void()> changed) : changed_(std::move(changed)) {}

  std::wstring_view ClassName() const override { return L"TWinMinMaxInfo"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;

  int MaxPosLeft() const { return info_.maxPosition.x; }
  int MaxPosTop() const { return info_.maxPosition.y; }
  int MaxSizeHeight() const { return info_.maxSize.y; }
  int MaxSizeWidth() const { return info_.maxSize.x; }
  int MaxTrackHeight() const { return info_.maxTrackSize.y; }
  int MaxTrackWidth() const { return info_.maxTrackSize.x; }
  int MinTrackHeight() const { return info_.minTrackSize.y; }
  int MinTrackWidth() const { return info_.minTrackSize.x; }
  void SetMaxPosLeft(int value) { Set(info_.maxPosition.x, value); }
  void SetMaxPosTop(int value) { Set(info_.maxPosition.y, value); }
  void SetMaxSizeHeight(int value) { Set(info_.maxSize.y, value); }
  void SetMaxSizeWidth(int value) { Set(info_.maxSize.x, value); }
  void SetMaxTrackHeight(int value) { Set(info_.maxTrackSize.y, value); }
  void SetMaxTrackWidth(int value) { Set(info_.maxTrackSize.x, value); }
  void SetMinTrackHeight(int value) { Set(info_.minTrackSize.y, value); }
  void SetMinTrackWidth(int value) { Set(info_.minTrackSize.x, value); }

  // Copies every value, then reports one change.
  void Assign(const TWinMinMaxInfo& source);
  bool DefaultMinMaxInfo() const;
  // Overwrites each member of `record` whose limit is set.
  void ApplyTo(TMinMaxRecord& record) const;

 private:
  void Set(int& field, int value);

  TMinMaxRecord info_{};
  std::function<void()> changed_;
};

}  // namespace ux
