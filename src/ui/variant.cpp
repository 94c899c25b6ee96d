#include "ui/variant.h"

#include "ui/text.h"

namespace ui {

TVariant TVariant::Null() {
  TVariant null;
  null.value_ = NullValue{};
  return null;
}

std::wstring VarToStr(const TVariant& value) {
  switch (value.VarType()) {
    case TVarType::varBoolean:
      return std::get<bool>(value.value_) ? L"True" : L"False";
    case TVarType::varInt64:
      return std::to_wstring(std::get<std::int64_t>(value.value_));
    case TVarType::varDouble:
      return FloatToStrGeneral(std::get<double>(value.value_), 15);
    case TVarType::varString:
      return std::get<std::wstring>(value.value_);
    case TVarType::varEmpty:
    case TVarType::varNull:
      break;
  }
  return {};
}

}  // namespace ui
