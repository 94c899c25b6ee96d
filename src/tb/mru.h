// The recent-file list: file names, newest first, each shown as a menu item whose caption
// carries a numbered accelerator ("&1 name" .. "&9 name", "&A name" .. "&Z name", then the
// name alone) and whose hint, shown when the mouse rests on it, is the full name.
// TTBMRUListItem placed in a menu shows the entries inline.
//   Add(name): expanded to a full path when AddFullPath (ExpandFileName); a name already listed
//   (compared without regard to case) moves to the top and takes the new spelling.
//   Remove(name): the name as given, not expanded. Every change trims the list to MaxItems,
//   rewrites the captions and fires OnChange (not while loading).
//   Items: the names as a string list (the published property that settings storage keeps).
//   Clicking an entry moves it to the top, then OnClick receives its name.
//   LoadFromIni/SaveToIni (and the registry forms, Windows only): values Prefix + 1..MaxItems.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tb/item.h"
#include "ui/settings_store.h"
#include "ui/strings.h"

namespace ui {
class TRegistryIniFile;
}

namespace tb {

class TTBMRUList;

// An entry was clicked: the list and the entry's file name.
using TTBMRUListClickEvent = std::function<void(TTBMRUList& sender, const std::wstring& fileName)>;

// The platform's file title of a path (GetFileTitleW; the name part elsewhere); the name
// itself when the platform gives none.
std::wstring FileTitleOf(const std::wstring& name);
// The platform's full path of a name (GetFullPathNameW; against the current directory
// elsewhere); the name itself when the platform gives none.
std::wstring ExpandFullPath(const std::wstring& name);

// The list's names; entry i belongs with sub-item i of the list's container.
class TTBMRUListStrings : public ui::TStrings {
 public:
  explicit TTBMRUListStrings(TTBMRUList& list) : list_(list) {}

  int Count() const override { return static_cast<int>(names_.size()); }
  std::wstring Get(int index) const override;
  void Put(int index, const std::wstring& text) override;
  void Insert(int index, const std::wstring& text) override;
  void Delete(int index) override;
  void Move(int from, int to) override;
  void Clear() override;
  // Compares by lower case.
  int IndexOf(std::wstring_view text) const override;

 private:
  friend class TTBMRUList;
  void CheckIndex(int index, int limit) const;
  // Deletes without re-running the caption rules.
  void DeleteEntry(int index);

  TTBMRUList& list_;
  std::vector<std::wstring> names_;
};

class TTBMRUList : public ui::TComponent {
 public:
  explicit TTBMRUList(ui::TComponent* owner);
  ~TTBMRUList() override;

  std::wstring_view ClassName() const override { return L"TTBMRUList"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;

  ui::TStrings* Items() const { return const_cast<TTBMRUListStrings*>(&list_); }
  void SetItems(const ui::TStrings& items) { list_.AssignFrom(items); }
  int MaxItems() const { return maxItems_; }
  void SetMaxItems(int maxItems);
  const std::wstring& Prefix() const { return prefix_; }
  void SetPrefix(const std::wstring& prefix) { prefix_ = prefix; }
  bool AddFullPath() const { return addFullPath_; }
  void SetAddFullPath(bool addFullPath) { addFullPath_ = addFullPath; }
  bool HidePathExtension() const { return hidePathExtension_; }
  void SetHidePathExtension(bool hide);
  // The plain item whose sub-items are the entries' menu items.
  TTBCustomItem* Container() const { return container_.get(); }

  void Add(const std::wstring& fileName);
  void Remove(const std::wstring& fileName);

  void LoadFromIni(const ui::TCustomIniFile& ini, const std::wstring& section);
  void SaveToIni(ui::TCustomIniFile& ini, const std::wstring& section) const;
  void LoadFromRegIni(const ui::TRegistryIniFile& ini, const std::wstring& section);
  void SaveToRegIni(ui::TRegistryIniFile& ini, const std::wstring& section) const;

  // Expands a name to a full path for Add (the platform's by default; none: the name as
  // given).
  std::function<std::wstring(const std::wstring&)> ExpandFileName = &ExpandFullPath;
  ui::TNotifyEvent OnChange;
  TTBMRUListClickEvent OnClick;

 protected:
  // Makes an entry's menu item, owned by the container.
  virtual TTBCustomItem* CreateEntryItem(TTBCustomItem& container);
  // Trims the list to MaxItems and rewrites every caption.
  virtual void SetItemCaptions();

 private:
  friend class TTBMRUListStrings;
  void Changed();
  void EntryClick(ui::TComponent* sender);

  TTBMRUListStrings list_{*this};
  ui::Owned<TTBCustomItem> container_;
  int maxItems_ = 4;
  std::wstring prefix_ = L"MRU";
  bool addFullPath_ = true;
  bool hidePathExtension_ = true;
};

// Shows a recent-file list's entries inline in a menu.
class TTBMRUListItem : public TTBCustomItem {
 public:
  explicit TTBMRUListItem(ui::TComponent* owner);
  std::wstring_view ClassName() const override { return L"TTBMRUListItem"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;
  TTBMRUList* MRUList() const { return mruList_; }
  void SetMRUList(TTBMRUList* list);

 private:
  TTBMRUList* mruList_ = nullptr;
};

}  // namespace tb
