// Copying the published properties of one object onto another of the same class.
#pragma once

#include <cstdint>
#include <functional>

#include "ui/persistent.h"
#include "ui/properties.h"

namespace gfx {

// A set of property kinds: bit (1 << kind).
using TTypeKinds = std::uint32_t;
inline constexpr TTypeKinds TypeKindBit(ui::TypeKind kind) {
  return TTypeKinds{1} << static_cast<int>(kind);
}
// Every kind the property tables have (they have no method kind).
inline constexpr TTypeKinds AllTypeKinds = (TTypeKinds{1} << (int(ui::TypeKind::Variant) + 1)) - 1;

// How an object property is copied when both objects exist: Dst.Prop.Assign(Src.Prop).
using TAssignObject = std::function<void(ui::TPersistent& Dst, const ui::TPersistent& Src)>;

// For each published property of Src whose kind is in TypeKinds and that Dst publishes too: an
// object property is assigned (AssignObject; by default its own published properties are copied
// the same way) when both objects exist; any other writable value is copied.
void SmartAssign(const ui::TPersistent& Src, ui::TPersistent& Dst,
                 TTypeKinds TypeKinds = AllTypeKinds, const TAssignObject& AssignObject = {});

}  // namespace gfx
