// A most-recently-used list of file names, newest first, with a maximum length. Its names are a
// published string list "Items", so form storage keeps them with the window's settings.
//   Add(name): expanded to a full path (when AddFullPath and an expander are set); a name already
//   listed (compared without regard to case) moves to the top and takes the new spelling.
//   Remove(name): the name as given, not expanded. Click(index): moves the entry to the top and
//   hands it to OnClick. ItemCaption(index): the menu text with its accelerator.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/component.h"
#include "ui/strings.h"

namespace app {

class TMRUList;

// The list's names; every change trims the list to MaxItems and fires the list's OnChange.
class TMRUListStrings : public ui::TStrings {
 public:
  explicit TMRUListStrings(TMRUList& list) : list_(list) {}

  int Count() const override { return static_cast<int>(names_.size()); }
  std::wstring Get(int index) const override;
  void Put(int index, const std::wstring& text) override;
  void Insert(int index, const std::wstring& text) override;
  void Delete(int index) override;
  void Move(int from, int to) override;
  void Assign(const std::vector<std::wstring>& lines) override;
  // Compares by lower case.
  int IndexOf(std::wstring_view text) const override;

 private:
  friend class TMRUList;
  void CheckIndex(int index, int limit) const;
  void Changed();

  TMRUList& list_;
  std::vector<std::wstring> names_;
};

class TMRUList : public ui::TComponent {
 public:
  explicit TMRUList(ui::TComponent* owner);

  std::wstring_view ClassName() const override { return L"TTBMRUList"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;

  ui::TStrings* Items() const { return const_cast<TMRUListStrings*>(&items_); }
  int MaxItems() const { return maxItems_; }
  void SetMaxItems(int maxItems);
  const std::wstring& Prefix() const { return prefix_; }
  void SetPrefix(const std::wstring& prefix) { prefix_ = prefix; }
  bool AddFullPath() const { return addFullPath_; }
  void SetAddFullPath(bool addFullPath) { addFullPath_ = addFullPath; }
  bool HidePathExtension() const { return hidePathExtension_; }
  void SetHidePathExtension(bool hide) { hidePathExtension_ = hide; }

  void Add(const std::wstring& fileName);
  void Remove(const std::wstring& fileName);
  void Click(int index);
  std::wstring ItemCaption(int index) const;

  // Expands a name to a full path for Add.
  std::function<std::wstring(const std::wstring&)> ExpandFileName;
  ui::TNotifyEvent OnChange;
  std::function<void(TMRUList& sender, const std::wstring& fileName)> OnClick;

 private:
  friend class TMRUListStrings;
  // Drops the oldest entries beyond MaxItems; true when it dropped any.
  bool Trim();

  TMRUListStrings items_{*this};
  int maxItems_ = 4;
  std::wstring prefix_ = L"MRU";
  bool addFullPath_ = true;
  bool hidePathExtension_ = true;
};

// "&" doubled, so a menu shows it literally.
std::wstring DoubleAmpersands(std::wstring_view text);

}  // namespace app
