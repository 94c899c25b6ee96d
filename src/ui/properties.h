// Named properties: the stand-in for run-time type information. A class publishes a static
// table of PropInfo records through TPersistent::GetPublishedProps; storage code finds them by
// name and reads or writes them as text.
//   Table helpers: IntProp<C, &C::Get, &C::Set>(L"Width"), Int64Prop, CharProp, WCharProp,
//   EnumProp<C, Get, Set>(name, names), SetProp<C, Get, Set>(name, names) (uint32 bitmask),
//   StringProp, FloatProp<C, Get, Set>(name[, floatType]) (single, double or extended from the
//   getter's type; comp and currency named), VariantProp (TVariant),
//   RefProp<C, T, Get, Set>(name) (a component reference of class T), StringsProp<C, Get>(name),
//   CollectionProp<C, Get>(name) and ObjectProp<C, T, Get>(name) (read-only owned objects).
//   PublishedProps(obj): all properties, one per name (the last definition wins), sorted by name.
//   FindProp(obj, name): case-insensitive lookup. IsStoredProp(obj, prop): a property may be
//   stored only under a condition (PropInfo::stored).
//   GetPropText / SetPropText: integers, characters, enumerations, sets, floats (general format
//   with the type's digits, "." as decimal separator), variants (as text; set as a text variant)
//   and strings.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "ui/collection.h"
#include "ui/component.h"
#include "ui/persistent.h"
#include "ui/strings.h"
#include "ui/variant.h"

namespace ui {

// No method kind: nothing stores it.
enum class TypeKind : std::uint8_t {
  Integer,
  Int64,
  Char,
  WChar,
  Enumeration,
  Set,
  String,
  Class,
  Float,
  Variant
};

// Comp is a 64-bit integer and currency a fixed point of four decimals, both held as floats.
enum class TFloatType : std::uint8_t { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

// Ordinal = index; a Set is a bitmask over the same names (members 0-31).
struct EnumNames {
  std::span<const std::wstring_view> names;
};

struct PropInfo {
  std::wstring_view name;
  TypeKind kind = TypeKind::Integer;
  const EnumNames* enumNames = nullptr;
  // Class: whether an object fits the declared type.
  bool (*accepts)(const TPersistent*) = nullptr;
  // Class: the declared type derives from TComponent (a reference rather than an owned object).
  bool componentTyped = false;
  std::int64_t (*getOrd)(const TPersistent&) = nullptr;
  void (*setOrd)(TPersistent&, std::int64_t) = nullptr;
  std::wstring (*getStr)(const TPersistent&) = nullptr;
  void (*setStr)(TPersistent&, const std::wstring&) = nullptr;
  TPersistent* (*getObj)(const TPersistent&) = nullptr;
  void (*setObj)(TPersistent&, TPersistent*) = nullptr;  // null: read-only object
  TFloatType floatType = TFloatType::ftDouble;
  long double (*getFloat)(const TPersistent&) = nullptr;
  void (*setFloat)(TPersistent&, long double) = nullptr;
  TVariant (*getVar)(const TPersistent&) = nullptr;
  void (*setVar)(TPersistent&, const TVariant&) = nullptr;
  // Whether the object's present value is stored (null: always).
  bool (*stored)(const TPersistent&) = nullptr;
};

// The property's stored condition for this object.
inline bool IsStoredProp(const TPersistent& object, const PropInfo& prop) {
  return !prop.stored || prop.stored(object);
}

template <class C, auto Get, auto Set>
constexpr PropInfo OrdinalProp(std::wstring_view name, TypeKind kind,
                               const EnumNames* names = nullptr) {
  return {.name = name,
          .kind = kind,
          .enumNames = names,
          .getOrd = [](const TPersistent& o) -> std::int64_t {
            return static_cast<std::int64_t>((static_cast<const C&>(o).*Get)());
          },
          .setOrd =
              [](TPersistent& o, std::int64_t v) {
                using Value = std::remove_cvref_t<decltype((static_cast<const C&>(o).*Get)())>;
                (static_cast<C&>(o).*Set)(static_cast<Value>(v));
              }};
}

template <class C, auto Get, auto Set>
constexpr PropInfo IntProp(std::wstring_view name) {
  return OrdinalProp<C, Get, Set>(name, TypeKind::Integer);
}
template <class C, auto Get, auto Set>
constexpr PropInfo Int64Prop(std::wstring_view name) {
  return OrdinalProp<C, Get, Set>(name, TypeKind::Int64);
}
template <class C, auto Get, auto Set>
constexpr PropInfo CharProp(std::wstring_view name) {
  return OrdinalProp<C, Get, Set>(name, TypeKind::Char);
}
template <class C, auto Get, auto Set>
constexpr PropInfo WCharProp(std::wstring_view name) {
  return OrdinalProp<C, Get, Set>(name, TypeKind::WChar);
}
template <class C, auto Get, auto Set>
constexpr PropInfo EnumProp(std::wstring_view name, const EnumNames& names) {
  return OrdinalProp<C, Get, Set>(name, TypeKind::Enumeration, &names);
}
template <class C, auto Get, auto Set>
constexpr PropInfo SetProp(std::wstring_view name, const EnumNames& names) {
  return OrdinalProp<C, Get, Set>(name, TypeKind::Set, &names);
}

template <class C, auto Get, auto Set>
constexpr PropInfo StringProp(std::wstring_view name) {
  return {.name = name,
          .kind = TypeKind::String,
          .getStr = [](const TPersistent& o) -> std::wstring {
            return std::wstring((static_cast<const C&>(o).*Get)());
          },
          .setStr = [](TPersistent& o, const std::wstring& v) { (static_cast<C&>(o).*Set)(v); }};
}

template <class Value>
constexpr TFloatType FloatTypeOf() {
  if constexpr (std::is_same_v<Value, float>) return TFloatType::ftSingle;
  if constexpr (std::is_same_v<Value, long double>) return TFloatType::ftExtended;
  return TFloatType::ftDouble;
}

template <class C, auto Get, auto Set>
constexpr PropInfo FloatProp(
    std::wstring_view name,
    TFloatType type =
        FloatTypeOf<std::remove_cvref_t<decltype((std::declval<const C&>().*Get)())>>()) {
  return {.name = name,
          .kind = TypeKind::Float,
          .floatType = type,
          .getFloat = [](const TPersistent& o) -> long double {
            return static_cast<long double>((static_cast<const C&>(o).*Get)());
          },
          .setFloat =
              [](TPersistent& o, long double v) {
                using Value = std::remove_cvref_t<decltype((static_cast<const C&>(o).*Get)())>;
                (static_cast<C&>(o).*Set)(static_cast<Value>(v));
              }};
}

template <class C, auto Get, auto Set>
constexpr PropInfo VariantProp(std::wstring_view name) {
  return {
      .name = name,
      .kind = TypeKind::Variant,
      .getVar = [](const TPersistent& o) -> TVariant { return (static_cast<const C&>(o).*Get)(); },
      .setVar = [](TPersistent& o, const TVariant& v) { (static_cast<C&>(o).*Set)(v); }};
}

// A reference to a component of class T, held by C through Get/Set (T* in and out).
template <class C, class T, auto Get, auto Set>
constexpr PropInfo RefProp(std::wstring_view name) {
  return {.name = name,
          .kind = TypeKind::Class,
          .accepts = [](const TPersistent* p) { return dynamic_cast<const T*>(p) != nullptr; },
          .componentTyped = std::is_base_of_v<TComponent, T>,
          .getObj = [](const TPersistent& o) -> TPersistent* {
            return (static_cast<const C&>(o).*Get)();
          },
          .setObj = [](TPersistent& o,
                       TPersistent* v) { (static_cast<C&>(o).*Set)(dynamic_cast<T*>(v)); }};
}

// An object that C owns and exposes through Get (T*); loading changes its content only.
template <class C, class T, auto Get>
constexpr PropInfo ObjectProp(std::wstring_view name) {
  return {.name = name,
          .kind = TypeKind::Class,
          .accepts = [](const TPersistent* p) { return dynamic_cast<const T*>(p) != nullptr; },
          .componentTyped = std::is_base_of_v<TComponent, T>,
          .getObj = [](const TPersistent& o) -> TPersistent* {
            return (static_cast<const C&>(o).*Get)();
          }};
}

template <class C, auto Get>
constexpr PropInfo StringsProp(std::wstring_view name) {
  return ObjectProp<C, TStrings, Get>(name);
}

template <class C, auto Get>
constexpr PropInfo CollectionProp(std::wstring_view name) {
  return ObjectProp<C, TCollection, Get>(name);
}

// Significant digits of a float type's text: 7, 15, 18, 18, 19.
int FloatDigits(TFloatType type);

std::vector<const PropInfo*> PublishedProps(const TPersistent& object);
const PropInfo* FindProp(const TPersistent& object, std::wstring_view name);

// The value of a property of any kind but class as text; a class property gives "" (objects
// and references are stored by the property storage).
std::wstring GetPropText(const TPersistent& object, const PropInfo& prop);
// Sets a property of any kind but class from text; returns false and leaves it unchanged when
// the text does not parse (or, for a float, is beyond the type's range), and for a class.
bool SetPropText(TPersistent& object, const PropInfo& prop, std::wstring_view text);

// The set's text: "[a,b]" in ascending member order.
std::wstring SetToText(std::uint32_t set, const EnumNames& names);
// Words are split at blanks, ",", "[" and "]"; unknown words are ignored.
std::uint32_t TextToSet(std::wstring_view text, const EnumNames& names);

}  // namespace ui
