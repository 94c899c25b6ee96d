// Published Boolean properties: the names of their two values, as the property storage writes
// them.
#pragma once

#include <string_view>

#include "ui/properties.h"

namespace ui {

inline constexpr std::wstring_view kBooleanNames[] = {L"False", L"True"};
inline constexpr EnumNames kBooleanEnum{kBooleanNames};

// A published Boolean property.
template <class C, auto Get, auto Set>
constexpr PropInfo BoolProp(std::wstring_view name) {
  return OrdinalProp<C, Get, Set>(name, TypeKind::Enumeration, &kBooleanEnum);
}

}  // namespace ui
