// A value of one of a few kinds, as a variant property or a stored value holds it.
//   TVariant: empty (at creation), null, Boolean, 64-bit integer, floating point or text;
//   implicit from bool, int, int64, double and text. VarToStr(v): "" for empty and null, "True" /
//   "False", decimal, FloatToStrGeneral with 15 digits, or the text itself.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace ui {

enum class TVarType { varEmpty, varNull, varBoolean, varInt64, varDouble, varString };

class TVariant {
 public:
  TVariant() = default;
  TVariant(bool value) : value_(value) {}                     // NOLINT: implicit, as variants are
  TVariant(int value) : value_(std::int64_t{value}) {}        // NOLINT
  TVariant(std::int64_t value) : value_(value) {}             // NOLINT
  TVariant(double value) : value_(value) {}                   // NOLINT
  TVariant(std::wstring value) : value_(std::move(value)) {}  // NOLINT
  TVariant(const wchar_t* value) : value_(std::wstring(value)) {}  // NOLINT
  static TVariant Null();

  TVarType VarType() const { return static_cast<TVarType>(value_.index()); }
  bool IsEmpty() const { return VarType() == TVarType::varEmpty; }
  bool operator==(const TVariant&) const = default;

 private:
  struct NullValue {
    bool operator==(const NullValue&) const = default;
  };
  friend std::wstring VarToStr(const TVariant& value);

  std::variant<std::monostate, NullValue, bool, std::int64_t, double, std::wstring> value_;
};

std::wstring VarToStr(const TVariant& value);

}  // namespace ui
