#include "ux/stored_values.h"

#include "rtl/exceptions.h"
#include "ui/text.h"
#include "ux/form_placement.h"
#include "ux/str_utils.h"

namespace ux {

namespace {

std::wstring Encode(const std::string& key, const std::wstring& text) {
  return ui::WideFromUtf8(XorEncode(key, ui::Utf8FromWide(text)));
}

std::wstring Decode(const std::string& key, const std::wstring& text) {
  return ui::WideFromUtf8(XorDecode(key, ui::Utf8FromWide(text)));
}

}  // namespace

void TStoredValue::SetName(const std::wstring& name) {
  if (!name.empty()) {
    const int index = collection_.IndexOf(name);
    if (index >= 0 && &collection_.Items(index) != this)
      throw rtl::Exception("String list does not allow duplicates");
  }
  name_ = name;
}

void TStoredValue::Save() {
  TFormPlacement* storage = collection_.Storage();
  if (storage == nullptr) return;
  ui::TVariant value = Value;
  if (OnSave) OnSave(*this, value);
  std::wstring text = ui::VarToStr(value);
  if (!KeyString.empty()) text = Encode(KeyString, text);
  storage->WriteString(name_, text);
}

void TStoredValue::Restore() {
  TFormPlacement* storage = collection_.Storage();
  if (storage == nullptr) return;
  const std::wstring current = ui::VarToStr(Value);
  const std::wstring def = KeyString.empty() ? current : Encode(KeyString, current);
  std::wstring text = storage->ReadString(name_, def);
  if (!KeyString.empty()) text = Decode(KeyString, text);
  ui::TVariant value(std::move(text));
  if (OnRestore) OnRestore(*this, value);
  Value = std::move(value);
}

TStoredValue& TStoredValues::Add() {
  items_.push_back(std::make_unique<TStoredValue>(*this));
  return *items_.back();
}

int TStoredValues::IndexOf(std::wstring_view name) const {
  for (int i = 0; i < Count(); ++i)
    if (ui::SameText(Items(i).Name(), name)) return i;
  return -1;
}

void TStoredValues::SaveValues() {
  for (int i = 0; i < Count(); ++i) Items(i).Save();
}

void TStoredValues::RestoreValues() {
  for (int i = 0; i < Count(); ++i) Items(i).Restore();
}

}  // namespace ux
