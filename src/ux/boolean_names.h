// Published Boolean properties: the names of their two values, as the property storage writes
// them.
#pragma once

#include <string_view>

#include "ui/properties.h"

namespace ux {

inline constexpr std::wstring_view kBooleanNames[] = {L"False", L"True"};
inline constexpr ui::EnumNames kBooleanEnum{kBooleanNames};

// A published Boolean property.
template <class C, auto Get, auto Set>
constexpr ui::PropInfo BoolProp(std::wstring_view name) {
  return ui::OrdinalProp<C, Get, Set>(name, ui::TypeKind::Enumeration, &kBooleanEnum);
}

}  // namespace ux
