#include "skbar/sk_mru_item.h"

#include "skbar/sk_text.h"
#include "tb/common.h"
#include "tb/consts.h"
#include "ui/settings_store.h"

namespace skbar {

namespace {

std::wstring NameOnly(const std::wstring& path) {
  const auto separator = path.find_last_of(L"\\/:");
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

}  // namespace

TSkBarMRUListItem::TSkBarMRUListItem(ui::TComponent* owner) : tb::TTBCustomItem(owner) {
  SetItemStyle(GetItemStyle() | tb::tbisEmbeddedGroup);
  SetCaption(tb::TBText(tb::STBMRUListItemDefCaption));
  SetOptions(Options() | tb::tboShowHint);
}

TSkBarMRUItem* TSkBarMRUListItem::Entry(int index) const {
  return dynamic_cast<TSkBarMRUItem*>(Items(index));
}

std::vector<std::wstring> TSkBarMRUListItem::GetMRUFilenames() const {
  std::vector<std::wstring> names;
  for (int i = 0; i < Count(); ++i) {
    if (const TSkBarMRUItem* entry = Entry(i)) names.push_back(entry->MRUString());
  }
  return names;
}

int TSkBarMRUListItem::IndexOfMRU(const std::wstring& filename) const {
  for (int i = 0; i < Count(); ++i) {
    const TSkBarMRUItem* entry = Entry(i);
    if (entry && SkSameText(entry->MRUString(), filename)) return i;
  }
  return -1;
}

void TSkBarMRUListItem::TrimTo(int count) {
  while (Count() > std::max(count, 0)) ui::Free(Items(Count() - 1));
}

void TSkBarMRUListItem::MRUAdd(const std::wstring& filename) {
  const int index = IndexOfMRU(filename);
  if (index >= 0) {
    if (index > 0) Move(index, 0);
  } else {
    auto* entry = ui::Create<TSkBarMRUItem>(*this);
    entry->SetMRUString(filename);
    entry->SetHint(filename);
    entry->SetOnClick([this](ui::TComponent* sender) { ItemClick(sender); });
    Insert(0, entry);
    TrimTo(maxItems_);
  }
  MRUUpdateCaptions();
}

bool TSkBarMRUListItem::MRUClick(const std::wstring& filename) {
  const int index = IndexOfMRU(filename);
  if (index < 0) return false;
  Items(index)->Click();
  return true;
}

void TSkBarMRUListItem::MRURemove(const std::wstring& filename) {
  const int index = IndexOfMRU(filename);
  if (index < 0) return;
  ui::Free(Items(index));
  MRUUpdateCaptions();
}

void TSkBarMRUListItem::MRUUpdateCaptions() {
  int number = 0;
  for (int i = 0; i < Count(); ++i) {
    TSkBarMRUItem* entry = Entry(i);
    if (!entry) continue;
    const std::wstring text =
        hidePathExtension_ ? NameOnly(entry->MRUString()) : entry->MRUString();
    // An "&" in the name is doubled: taken as a mark, it would vanish and underline the next
    // character of the file name.
    entry->SetCaption(L"&" + std::to_wstring(++number) + L" " + tb::DoubleAmpersands(text));
  }
}

void TSkBarMRUListItem::ItemClick(ui::TComponent* sender) {
  auto* entry = dynamic_cast<TSkBarMRUItem*>(sender);
  if (!entry) return;
  const int index = IndexOf(entry);
  if (index > 0) Move(index, 0);
  MRUUpdateCaptions();
  if (OnClick) {
    // Copies: the handler may remove the entry, and with it the name it was given.
    const TSkBarMRUListClickEvent handler = OnClick;
    const std::wstring filename = entry->MRUString();
    handler(this, filename);
  }
}

void TSkBarMRUListItem::LoadFromIni(const ui::TCustomIniFile& ini, const std::wstring& section) {
  Clear();
  for (int i = maxItems_; i >= 1; --i) {
    const std::wstring name = ini.ReadString(section, std::to_wstring(i), L"");
    if (!name.empty()) MRUAdd(name);
  }
}

// The class library's INI file writes a new file as UTF-16 LE with a byte-order mark, so names
// outside the code page survive without a file made beforehand.
void TSkBarMRUListItem::SaveToIni(ui::TCustomIniFile& ini, const std::wstring& section) const {
  const std::vector<std::wstring> names = GetMRUFilenames();
  for (int i = 1; i <= maxItems_; ++i) {
    if (i > static_cast<int>(names.size()))
      ini.DeleteKey(section, std::to_wstring(i));
    else
      ini.WriteString(section, std::to_wstring(i), names[static_cast<std::size_t>(i - 1)]);
  }
}

void TSkBarMRUListItem::SetMaxItems(int value) {
  if (maxItems_ == value) return;
  maxItems_ = value;
  if (Count() > maxItems_) {
    TrimTo(maxItems_);
    MRUUpdateCaptions();
  }
}

void TSkBarMRUListItem::SetHidePathExtension(bool value) {
  if (hidePathExtension_ == value) return;
  hidePathExtension_ = value;
  MRUUpdateCaptions();
}

}  // namespace skbar
