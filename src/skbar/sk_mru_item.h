// A self-contained recent-file menu: TSkBarMRUListItem shows its entries (TSkBarMRUItem, most
// recent first) inline in the parent menu, numbered "&1 name", and keeps them in an INI section
// as keys "1".."MaxItems". Names compare ignoring case; an entry added again moves to the top
// and keeps its stored text. "&" in a name is doubled in the caption, so it shows as typed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "skbar/sk_item.h"

namespace ui {
class TCustomIniFile;
}

namespace skbar {

class TSkBarMRUItem : public TSkBarCustomItem {
 public:
  using TSkBarCustomItem::TSkBarCustomItem;
  std::wstring_view ClassName() const override { return L"TSkBarMRUItem"; }
  const std::wstring& MRUString() const { return mruString_; }
  void SetMRUString(const std::wstring& text) { mruString_ = text; }

 private:
  std::wstring mruString_;
};

using TSkBarMRUListClickEvent =
    std::function<void(ui::TComponent* sender, const std::wstring& filename)>;

class TSkBarMRUListItem : public tb::TTBCustomItem {
 public:
  explicit TSkBarMRUListItem(ui::TComponent* owner);
  std::wstring_view ClassName() const override { return L"TSkBarMRUListItem"; }

  std::vector<std::wstring> GetMRUFilenames() const;
  int IndexOfMRU(const std::wstring& filename) const;
  void MRUAdd(const std::wstring& filename);
  // Clicks the entry holding the name; false when there is none.
  bool MRUClick(const std::wstring& filename);
  void MRURemove(const std::wstring& filename);
  void MRUUpdateCaptions();
  void LoadFromIni(const ui::TCustomIniFile& ini, const std::wstring& section);
  void SaveToIni(ui::TCustomIniFile& ini, const std::wstring& section) const;

  int MaxItems() const { return maxItems_; }
  void SetMaxItems(int value);
  bool HidePathExtension() const { return hidePathExtension_; }
  void SetHidePathExtension(bool value);
  TSkBarMRUListClickEvent OnClick;

 private:
  void ItemClick(ui::TComponent* sender);
  void TrimTo(int count);
  TSkBarMRUItem* Entry(int index) const;

  int maxItems_ = 4;
  bool hidePathExtension_ = true;
};

}  // namespace skbar
