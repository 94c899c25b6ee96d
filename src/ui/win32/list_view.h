// The report-style list view. Rows live in TListItems (ui/list_items.h); the control shows
// them through text callbacks, so the model is the truth and the window follows it.
//   Columns: Add() -> TListColumn with Caption, Width, Alignment.
//   MultiSelect, RowSelect, ReadOnly (in-place caption editing when false), SmallImages,
//   Selected/ItemIndex/ItemFocused, SelectAll/ClearSelection, SortType with OnCompare
//   (AlphaSort: OnCompare, else captions), CustomSort(compare).
//   Events: OnCompare, OnEditing (allow), OnEdited (text; the row may be gone afterwards: the
//   caption is set only when it still exists), OnColumnClick, OnDblClick, OnKeyDown (from
//   TWinControl), OnBeginDrag (the control saw a drag start), mouse events for drag detection.
//   While the caption editor has the focus, keys reach it directly: the form's key preview
//   does not see them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <vector>

#include "ui/list_items.h"
#include "ui/win32/controls.h"

namespace ui {

class TImageList;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TSortType { stNone, stData, stText, stBoth };

class TListView;

class TListColumn {
 public:
  explicit TListColumn(TListView& view) : view_(view) {}
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& caption);
  int Width() const { return width_; }
  void SetWidth(int width);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  int Index() const;

 private:
  void Changed();
  TListView& view_;
  std::wstring caption_;
  int width_ = 50;
  TAlignment alignment_ = TAlignment::taLeftJustify;
};

using TLVCompareEvent =
    std::function<void(TComponent* sender, TListItem* a, TListItem* b, int data, int& compare)>;
using TLVEditingEvent = std::function<void(TComponent* sender, TListItem* item, bool& allowEdit)>;
using TLVEditedEvent = std::function<void(TComponent* sender, TListItem* item, std::wstring& text)>;
using TLVColumnClickEvent = std::function<void(TComponent* sender, TListColumn* column)>;

class TListView : public TWinControl, private TListItemsView {
 public:
  explicit TListView(TComponent* owner);
  ~TListView() override;

  std::wstring_view ClassName() const override { return L"TListView"; }
  void Notification(TComponent* component, TOperation operation) override;

  TListItems& Items() { return items_; }
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  TListColumn* Columns(int index) const {
    return columns_.at(static_cast<std::size_t>(index)).get();
  }
  TListColumn* AddColumn();

  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool multiSelect);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool rowSelect);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  bool BorderVisible() const { return border_; }
  void SetBorderVisible(bool border);
  TImageList* SmallImages() const { return smallImages_; }
  void SetSmallImages(TImageList* images);

  TListItem* Selected() const { return items_.FirstSelected(); }
  void SetSelected(TListItem* item);
  int ItemIndex() const;
  void SetItemIndex(int index);
  TListItem* ItemFocused() const { return items_.Focused(); }
  void SetItemFocused(TListItem* item);
  int SelCount() const { return items_.SelCount(); }
  void SelectAll() { items_.SelectAll(); }
  void ClearSelection() { items_.ClearSelection(); }
  bool IsEditing() const;

  TSortType SortType() const { return sortType_; }
  // Anything other than stNone sorts at once.
  void SetSortType(TSortType sortType);
  void AlphaSort();
  void CustomSort(const std::function<int(const TListItem&, const TListItem&)>& compare);

  TLVCompareEvent OnCompare;
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;
  TLVColumnClickEvent OnColumnClick;
  TNotifyEvent OnBeginDrag;

  // The decisions behind the notifications, callable without a window.
  bool BeginLabelEdit(int index);                      // false: editing refused
  void EndLabelEdit(int index, const wchar_t* text);   // null text: cancelled
  std::wstring ItemText(int index, int column) const;  // caption or sub-item

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  // The header repaints whole: widened, it would paint only the part uncovered, and the end of
  // its last column would stay drawn where the old edge was.
  void BoundsChanged() override;
  bool NotifyReflected(NMHDR& header, LRESULT& result) override;

 private:
  friend class TListColumn;
  void ItemInserted(int index) override;
  void ItemDeleted(int index) override;
  void ItemsCleared() override;
  void ItemChanged(int index) override;
  void ItemStateChanged(int index) override;
  void ItemsReordered() override;
  void UpdateState(bool updating) override;
  void EditItem(int index) override;
  void MakeItemVisible(int index) override;

  void InsertWindowItem(int index);
  void ApplyState(int index);
  void UpdateColumn(int index);
  DWORD ExtendedStyle() const;

  TListItems items_;
  std::vector<std::unique_ptr<TListColumn>> columns_;
  bool multiSelect_ = false;
  bool rowSelect_ = false;
  bool readOnly_ = false;
  bool border_ = true;
  bool applying_ = false;  // model -> window in progress: ignore the echoes
  TSortType sortType_ = TSortType::stNone;
  TImageList* smallImages_ = nullptr;
};

}  // namespace ui
