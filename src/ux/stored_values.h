// Named values kept with a form's placement, one text value each under its name. A value with a
// KeyString is stored as the hexadecimal XOR of its UTF-8 bytes, so any text survives. A value
// is saved as its text and comes back as a text variant.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/variant.h"

namespace ux {

class TFormPlacement;
class TStoredValues;

class TStoredValue {
 public:
  using TStoredValueEvent = std::function<void(TStoredValue& sender, ui::TVariant& value)>;

  explicit TStoredValue(TStoredValues& collection) : collection_(collection) {}

  const std::wstring& Name() const { return name_; }
  // Raises rtl::Exception when another value of the collection has the name (regardless of
  // case); an empty name is always accepted.
  void SetName(const std::wstring& name);
  // Empty at creation.
  ui::TVariant Value;
  std::string KeyString;
  TStoredValueEvent OnSave;
  TStoredValueEvent OnRestore;

  void Save();
  void Restore();

 private:
  TStoredValues& collection_;
  std::wstring name_;
};

class TStoredValues {
 public:
  TFormPlacement* Storage() const { return storage_; }
  void SetStorage(TFormPlacement* storage) { storage_ = storage; }

  TStoredValue& Add();
  int Count() const { return static_cast<int>(items_.size()); }
  TStoredValue& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
  // The value named `name` regardless of case, or -1.
  int IndexOf(std::wstring_view name) const;
  void SaveValues();
  void RestoreValues();

 private:
  TFormPlacement* storage_ = nullptr;
  std::vector<std::unique_ptr<TStoredValue>> items_;
};

}  // namespace ux
