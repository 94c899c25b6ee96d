// The rows of a report-style list view, kept in C++ so that sorting, selection and editing
// decisions are testable without a window. The list view control mirrors them.
//   TListItem: Caption, SubItems (a string list), Data (an untyped pointer), ImageIndex,
//   Selected, Focused, Index(), a unique Id() that outlives nothing (a freed row's id is
//   never reused), EditCaption() and MakeVisible() (through the view).
//   TListItems: Add/Insert/Delete/Clear/Count/Item(i)/IndexOf/FindById, BeginUpdate/EndUpdate,
//   Sort(compare) (stable), SelectAll/ClearSelection/SelCount/FirstSelected/Focused.
//   TListItemsView: what the control implements to follow the model.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/strings.h"

namespace ui {

class TListItems;

class TListItemsView {
 public:
  virtual void ItemInserted(int index) = 0;
  virtual void ItemDeleted(int index) = 0;
  virtual void ItemsCleared() = 0;
  virtual void ItemChanged(int index) = 0;       // caption, sub-items or image
  virtual void ItemStateChanged(int index) = 0;  // selected or focused
  virtual void ItemsReordered() = 0;
  virtual void UpdateState(bool updating) = 0;
  virtual void EditItem(int index) = 0;
  virtual void MakeItemVisible(int index) = 0;

 protected:
  ~TListItemsView() = default;
};

class TListItem {
 public:
  TListItem(TListItems& owner, std::uint64_t id);
  TListItem(const TListItem&) = delete;
  TListItem& operator=(const TListItem&) = delete;

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& caption);
  TStringList& SubItems() { return subItems_; }
  const TStringList& SubItems() const { return subItems_; }
  void* Data() const { return data_; }
  void SetData(void* data) { data_ = data; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int imageIndex);
  bool Selected() const { return selected_; }
  void SetSelected(bool selected);
  bool Focused() const { return focused_; }
  // Focus moves: the previously focused row loses it.
  void SetFocused(bool focused);

  int Index() const;
  std::uint64_t Id() const { return id_; }
  TListItems& Owner() const { return owner_; }
  void EditCaption();
  void MakeVisible();

 private:
  friend class TListItems;
  void Changed();

  TListItems& owner_;
  std::uint64_t id_;
  std::wstring caption_;
  TStringList subItems_;
  void* data_ = nullptr;
  int imageIndex_ = -1;
  bool selected_ = false;
  bool focused_ = false;
};

class TListItems {
 public:
  TListItems() = default;
  TListItems(const TListItems&) = delete;
  TListItems& operator=(const TListItems&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  TListItem* Item(int index) const;
  TListItem* operator[](int index) const { return Item(index); }
  TListItem* Add();
  TListItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int IndexOf(const TListItem* item) const;
  // The row with this id, if it still exists.
  TListItem* FindById(std::uint64_t id) const;

  void BeginUpdate();
  void EndUpdate();

  // Stable sort; `compare` < 0 puts a before b.
  void Sort(const std::function<int(const TListItem&, const TListItem&)>& compare);

  void SelectAll();
  void ClearSelection();
  int SelCount() const;
  TListItem* FirstSelected() const;
  TListItem* NextSelected(const TListItem* after) const;
  TListItem* Focused() const;

  // The control that mirrors this list; null when there is none.
  void SetView(TListItemsView* view) { view_ = view; }
  TListItemsView* View() const { return view_; }

 private:
  friend class TListItem;

  std::vector<std::unique_ptr<TListItem>> items_;
  TListItemsView* view_ = nullptr;
  int updateCount_ = 0;
  std::uint64_t nextId_ = 1;
};

}  // namespace ui
