// Properties of the framework's published tables that are stored only under a condition of
// the object.
#pragma once

#include "ui/properties.h"

namespace tb {

// `prop`, stored only while the object's Stored() answers true.
template <class C, auto Stored>
constexpr ui::PropInfo StoredWhen(ui::PropInfo prop) {
  prop.stored = [](const ui::TPersistent& o) { return (static_cast<const C&>(o).*Stored)(); };
  return prop;
}

}  // namespace tb
