#include "ux/win_min_max_info.h"

#include "ui/properties.h"

namespace ux {

namespace {

void Override(int& member, int limit) {
  if (limit != 0) member = limit;
}

}  // namespace

void TWinMinMaxInfo::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  using C = TWinMinMaxInfo;
  static constexpr ui::PropInfo kProps[] = {
      ui::IntProp<C, &C::MaxPosLeft, &C::SetMaxPosLeft>(L"MaxPosLeft"),
      ui::IntProp<C, &C::MaxPosTop, &C::SetMaxPosTop>(L"MaxPosTop"),
      ui::IntProp<C, &C::MaxSizeHeight, &C::SetMaxSizeHeight>(L"MaxSizeHeight"),
      ui::IntProp<C, &C::MaxSizeWidth, &C::SetMaxSizeWidth>(L"MaxSizeWidth"),
      ui::IntProp<C, &C::MaxTrackHeight, &C::SetMaxTrackHeight>(L"MaxTrackHeight"),
      ui::IntProp<C, &C::MaxTrackWidth, &C::SetMaxTrackWidth>(L"MaxTrackWidth"),
      ui::IntProp<C, &C::MinTrackHeight, &C::SetMinTrackHeight>(L"MinTrackHeight"),
      ui::IntProp<C, &C::MinTrackWidth, &C::SetMinTrackWidth>(L"MinTrackWidth"),
  };
  for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
}

void TWinMinMaxInfo::Set(int& field, int value) {
  if (field == value) return;
  field = value;
  if (changed_) changed_();
}

void TWinMinMaxInfo::Assign(const TWinMinMaxInfo& source) {
  info_ = source.info_;
  if (changed_) changed_();
}

bool TWinMinMaxInfo::DefaultMinMaxInfo() const {
  return info_.maxPosition == TPoint{} && info_.maxSize == TPoint{} &&
         info_.maxTrackSize == TPoint{} && info_.minTrackSize == TPoint{};
}

void TWinMinMaxInfo::ApplyTo(TMinMaxRecord& record) const {
  Override(record.maxPosition.x, info_.maxPosition.x);
  Override(record.maxPosition.y, info_.maxPosition.y);
  Override(record.maxSize.x, info_.maxSize.x);
  Override(record.maxSize.y, info_.maxSize.y);
  Override(record.maxTrackSize.x, info_.maxTrackSize.x);
  Override(record.maxTrackSize.y, info_.maxTrackSize.y);
  Override(record.minTrackSize.x, info_.minTrackSize.x);
  Override(record.minTrackSize.y, info_.minTrackSize.y);
}

}  // namespace ux
