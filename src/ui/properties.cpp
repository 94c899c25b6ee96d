#include "ui/properties.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "ui/text.h"

namespace ui {

namespace {

int EnumIndex(const EnumNames& names, std::wstring_view word) {
  for (std::size_t i = 0; i < names.names.size(); ++i) {
    if (SameText(names.names[i], word)) return static_cast<int>(i);
  }
  return -1;
}

std::wstring OrdinalText(const PropInfo& prop, std::int64_t value) {
  switch (prop.kind) {
    case TypeKind::Char:
    case TypeKind::WChar:
      return std::wstring(1, static_cast<wchar_t>(value));
    case TypeKind::Enumeration:
      if (prop.enumNames && value >= 0 &&
          static_cast<std::size_t>(value) < prop.enumNames->names.size()) {
        return std::wstring(prop.enumNames->names[static_cast<std::size_t>(value)]);
      }
      return std::to_wstring(value);
    case TypeKind::Set:
      return prop.enumNames ? SetToText(static_cast<std::uint32_t>(value), *prop.enumNames) : L"[]";
    default:
      return std::to_wstring(value);
  }
}

std::optional<std::int64_t> ParseOrdinal(const PropInfo& prop, std::wstring_view text) {
  switch (prop.kind) {
    case TypeKind::Integer:
      return TryStrToInt(text);
    case TypeKind::Int64:
      return TryStrToInt64(text);
    case TypeKind::Char:
    case TypeKind::WChar:
      if (text.size() == 1) return static_cast<std::int64_t>(text[0]);
      if (text.size() > 1 && text[0] == L'#') return TryStrToInt(text.substr(1));
      return std::nullopt;
    case TypeKind::Enumeration: {
      if (!prop.enumNames) return std::nullopt;
      const int index = EnumIndex(*prop.enumNames, Trim(text));
      if (index < 0) return std::nullopt;
      return index;
    }
    case TypeKind::Set:
      if (!prop.enumNames) return std::nullopt;
      return TextToSet(text, *prop.enumNames);
    default:
      return std::nullopt;
  }
}

// Whether a float fits the property's type; infinities and NaN only fit the true float types.
bool FitsFloatType(TFloatType type, long double value) {
  if (std::isnan(value) || std::isinf(value))
    return type != TFloatType::ftComp && type != TFloatType::ftCurr;
  switch (type) {
    case TFloatType::ftSingle:
      return std::fabs(value) <= FLT_MAX;
    case TFloatType::ftDouble:
      return std::fabs(value) <= DBL_MAX;
    case TFloatType::ftComp:
      return value >= -0x1p63L && value < 0x1p63L;
    case TFloatType::ftCurr:
      return std::fabs(value) <= 922337203685477.5807L;
    case TFloatType::ftExtended:
      break;
  }
  return true;
}

bool SetFloat(TPersistent& object, const PropInfo& prop, std::wstring_view text) {
  const auto value = TryStrToFloat(text);
  if (!prop.setFloat || !value || !FitsFloatType(prop.floatType, *value)) return false;
  prop.setFloat(object, prop.floatType == TFloatType::ftComp ? std::nearbyint(*value) : *value);
  return true;
}

}  // namespace

std::vector<const PropInfo*> PublishedProps(const TPersistent& object) {
  std::vector<const PropInfo*> all;
  object.GetPublishedProps(all);
  std::vector<const PropInfo*> unique;
  for (std::size_t i = all.size(); i-- > 0;) {  // the last definition of a name wins
    const bool seen = std::any_of(unique.begin(), unique.end(), [&](const PropInfo* kept) {
      return SameText(kept->name, all[i]->name);
    });
    if (!seen) unique.push_back(all[i]);
  }
  std::sort(unique.begin(), unique.end(),
            [](const PropInfo* a, const PropInfo* b) { return CompareText(a->name, b->name) < 0; });
  return unique;
}

const PropInfo* FindProp(const TPersistent& object, std::wstring_view name) {
  std::vector<const PropInfo*> all;
  object.GetPublishedProps(all);
  for (std::size_t i = all.size(); i-- > 0;) {
    if (SameText(all[i]->name, name)) return all[i];
  }
  return nullptr;
}

int FloatDigits(TFloatType type) {
  switch (type) {
    case TFloatType::ftSingle:
      return 7;
    case TFloatType::ftExtended:
    case TFloatType::ftComp:
      return 18;
    case TFloatType::ftCurr:
      return 19;
    case TFloatType::ftDouble:
      break;
  }
  return 15;
}

std::wstring GetPropText(const TPersistent& object, const PropInfo& prop) {
  switch (prop.kind) {
    case TypeKind::String:
      return prop.getStr ? prop.getStr(object) : std::wstring();
    case TypeKind::Float:
      return prop.getFloat ? FloatToStrGeneral(prop.getFloat(object), FloatDigits(prop.floatType))
                           : std::wstring();
    case TypeKind::Variant:
      return prop.getVar ? VarToStr(prop.getVar(object)) : std::wstring();
    case TypeKind::Class:
      return {};
    default:
      return prop.getOrd ? OrdinalText(prop, prop.getOrd(object)) : std::wstring();
  }
}

bool SetPropText(TPersistent& object, const PropInfo& prop, std::wstring_view text) {
  switch (prop.kind) {
    case TypeKind::String:
      if (!prop.setStr) return false;
      prop.setStr(object, std::wstring(text));
      return true;
    case TypeKind::Float:
      return SetFloat(object, prop, text);
    case TypeKind::Variant:
      if (!prop.setVar) return false;
      prop.setVar(object, TVariant(std::wstring(text)));
      return true;
    case TypeKind::Class:
      return false;
    default:
      break;
  }
  if (!prop.setOrd) return false;
  const auto value = ParseOrdinal(prop, text);
  if (!value) return false;
  prop.setOrd(object, *value);
  return true;
}

std::wstring SetToText(std::uint32_t set, const EnumNames& names) {
  std::wstring text = L"[";
  for (std::size_t i = 0; i < names.names.size() && i < 32; ++i) {
    if (!(set & (1u << i))) continue;
    if (text.size() > 1) text += L',';
    text += names.names[i];
  }
  return text + L"]";
}

std::uint32_t TextToSet(std::wstring_view text, const EnumNames& names) {
  std::uint32_t set = 0;
  constexpr std::wstring_view kDelimiters = L" ,[]\t";
  std::size_t start = 0;
  while (start < text.size()) {
    start = text.find_first_not_of(kDelimiters, start);
    if (start == std::wstring_view::npos) break;
    std::size_t end = text.find_first_of(kDelimiters, start);
    if (end == std::wstring_view::npos) end = text.size();
    const int member = EnumIndex(names, text.substr(start, end - start));
    if (member >= 0 && member < 32) set |= 1u << member;
    start = end;
  }
  return set;
}

}  // namespace ui
