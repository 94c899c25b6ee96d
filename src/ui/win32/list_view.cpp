#include "ui/win32/list_view.h"

#include <unordered_map>

#include "ui/text.h"
#include "ui/win32/image_list.h"
#include "ui/win32/offscreen_paint.h"

namespace ui {

namespace {

// Puts the control's rows into the model's order: the sort data maps a row to its index.
int CALLBACK CompareByModelOrder(LPARAM a, LPARAM b, LPARAM data) {
  const auto& positions = *reinterpret_cast<std::unordered_map<LPARAM, int>*>(data);
  return positions.at(a) - positions.at(b);
}

}  // namespace

// TListColumn

void TListColumn::SetCaption(const std::wstring& caption) {
  caption_ = caption;
  Changed();
}

void TListColumn::SetWidth(int width) {
  width_ = width;
  Changed();
}

void TListColumn::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  Changed();
}

int TListColumn::Index() const {
  for (int i = 0; i < view_.ColumnCount(); ++i) {
    if (view_.Columns(i) == this) return i;
  }
  return -1;
}

void TListColumn::Changed() {
  view_.UpdateColumn(Index());
}

// TListView

TListView::TListView(TComponent* owner) : TWinControl(owner) {
  StoreColor(clWindow);
  SetTabStop(true);
  items_.SetView(this);
}

TListView::~TListView() {
  items_.SetView(nullptr);
  DestroyHandle();
}

void TListView::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component == smallImages_) smallImages_ = nullptr;
  TWinControl::Notification(component, operation);
}

TListColumn* TListView::AddColumn() {
  columns_.push_back(std::make_unique<TListColumn>(*this));
  UpdateColumn(ColumnCount() - 1);
  return columns_.back().get();
}

DWORD TListView::ExtendedStyle() const {
  return LVS_EX_DOUBLEBUFFER | (rowSelect_ ? LVS_EX_FULLROWSELECT : 0);
}

void TListView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.windowClass = WC_LISTVIEWW;
  params.systemClass = true;
  params.style |= LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP;
  if (!multiSelect_) params.style |= LVS_SINGLESEL;
  if (!readOnly_) params.style |= LVS_EDITLABELS;
  if (border_) params.exStyle |= WS_EX_CLIENTEDGE;
}

void TListView::BoundsChanged() {
  if (!HandleAllocated()) return;
  if (const HWND header = ListView_GetHeader(Handle())) InvalidateRect(header, nullptr, TRUE);
}

void TListView::HandleCreated() {
  const HWND window = Handle();
  ListView_SetExtendedListViewStyle(window, ExtendedStyle());
  if (smallImages_) ListView_SetImageList(window, smallImages_->Handle(), LVSIL_SMALL);
  // The list lays its header out again after each column while it redraws; with redrawing off
  // the columns are laid out once, when it is turned back on.
  const bool quiet = ColumnCount() > 1 && (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE);
  if (quiet) SendMessageW(window, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < ColumnCount(); ++i) UpdateColumn(i);
  if (quiet) SendMessageW(window, WM_SETREDRAW, TRUE, 0);
  // The themed header items are transparent copies: drawn offscreen, they need no display query.
  PaintOffscreen(ListView_GetHeader(window));
  ListView_SetItemCount(window, items_.Count());
  for (int i = 0; i < items_.Count(); ++i) InsertWindowItem(i);
}

void TListView::UpdateColumn(int index) {
  if (!HandleAllocated() || index < 0) return;
  const TListColumn& column = *Columns(index);
  std::wstring text = column.Caption();
  LVCOLUMNW info{};
  info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  constexpr int kFormats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
  info.fmt = kFormats[static_cast<int>(column.Alignment())];
  info.cx = column.Width();
  info.pszText = text.data();
  const HWND header = ListView_GetHeader(Handle());
  if (index < Header_GetItemCount(header)) {
    ListView_SetColumn(Handle(), index, &info);
  } else {
    ListView_InsertColumn(Handle(), index, &info);
  }
}

void TListView::SetMultiSelect(bool multiSelect) {
  multiSelect_ = multiSelect;
  UpdateStyle(multiSelect ? 0 : LVS_SINGLESEL, multiSelect ? LVS_SINGLESEL : 0);
}

void TListView::SetRowSelect(bool rowSelect) {
  rowSelect_ = rowSelect;
  if (HandleAllocated()) ListView_SetExtendedListViewStyle(Handle(), ExtendedStyle());
}

void TListView::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  UpdateStyle(readOnly ? 0 : LVS_EDITLABELS, readOnly ? LVS_EDITLABELS : 0);
}

void TListView::SetBorderVisible(bool border) {
  border_ = border;
  UpdateStyle(border ? WS_EX_CLIENTEDGE : 0, border ? 0 : WS_EX_CLIENTEDGE, true);
}

void TListView::SetSmallImages(TImageList* images) {
  if (smallImages_) smallImages_->RemoveFreeNotification(this);
  smallImages_ = images;
  if (images) images->FreeNotification(this);
  if (HandleAllocated()) {
    ListView_SetImageList(Handle(), images ? images->Handle() : nullptr, LVSIL_SMALL);
  }
}

void TListView::SetSelected(TListItem* item) {
  items_.ClearSelection();
  if (item) item->SetSelected(true);
}

int TListView::ItemIndex() const {
  const TListItem* item = items_.FirstSelected();
  return item ? item->Index() : -1;
}

void TListView::SetItemIndex(int index) {
  SetSelected(index >= 0 && index < items_.Count() ? items_[index] : nullptr);
}

void TListView::SetItemFocused(TListItem* item) {
  if (item) {
    item->SetFocused(true);
  } else if (TListItem* focused = items_.Focused()) {
    focused->SetFocused(false);
  }
}

bool TListView::IsEditing() const {
  return HandleAllocated() &&
         ListView_GetEditControl(const_cast<TListView*>(this)->Handle()) != nullptr;
}

void TListView::SetSortType(TSortType sortType) {
  sortType_ = sortType;
  if (sortType != TSortType::stNone) AlphaSort();
}

void TListView::AlphaSort() {
  if (OnCompare) {
    CustomSort([this](const TListItem& a, const TListItem& b) {
      int compare = 0;
      OnCompare(this, const_cast<TListItem*>(&a), const_cast<TListItem*>(&b), 0, compare);
      return compare;
    });
  } else {
    CustomSort([](const TListItem& a, const TListItem& b) {
      return CompareText(a.Caption(), b.Caption());
    });
  }
}

void TListView::CustomSort(const std::function<int(const TListItem&, const TListItem&)>& compare) {
  items_.Sort(compare);
}

std::wstring TListView::ItemText(int index, int column) const {
  if (index < 0 || index >= items_.Count()) return {};
  const TListItem& item = *items_[index];
  if (column == 0) return item.Caption();
  const TStringList& subItems = item.SubItems();
  return column - 1 < subItems.Count() ? subItems.Get(column - 1) : std::wstring();
}

bool TListView::BeginLabelEdit(int index) {
  if (readOnly_ || index < 0 || index >= items_.Count()) return false;
  bool allow = true;
  if (OnEditing) OnEditing(this, items_[index], allow);
  return allow;
}

void TListView::EndLabelEdit(int index, const wchar_t* text) {
  if (!text || index < 0 || index >= items_.Count()) return;
  TListItem* item = items_[index];
  const std::uint64_t id = item->Id();
  std::wstring caption = text;
  if (OnEdited) OnEdited(this, item, caption);
  // The handler may have refilled the list: only a row that still exists takes the text.
  if (TListItem* still = items_.FindById(id)) still->SetCaption(caption);
}

void TListView::InsertWindowItem(int index) {
  const TListItem& item = *items_[index];
  LVITEMW info{};
  info.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE | LVIF_STATE;
  info.iItem = index;
  info.pszText = LPSTR_TEXTCALLBACKW;
  info.iImage = I_IMAGECALLBACK;
  info.lParam = reinterpret_cast<LPARAM>(&item);
  info.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  info.state = (item.Selected() ? LVIS_SELECTED : 0) | (item.Focused() ? LVIS_FOCUSED : 0);
  applying_ = true;
  ListView_InsertItem(Handle(), &info);
  applying_ = false;
}

void TListView::ApplyState(int index) {
  const TListItem& item = *items_[index];
  applying_ = true;
  ListView_SetItemState(Handle(), index,
                        (item.Selected() ? LVIS_SELECTED : 0) | (item.Focused() ? LVIS_FOCUSED : 0),
                        LVIS_SELECTED | LVIS_FOCUSED);
  applying_ = false;
}

void TListView::ItemInserted(int index) {
  if (HandleAllocated()) InsertWindowItem(index);
}

void TListView::ItemDeleted(int index) {
  if (HandleAllocated()) ListView_DeleteItem(Handle(), index);
}

void TListView::ItemsCleared() {
  if (HandleAllocated()) ListView_DeleteAllItems(Handle());
}

void TListView::ItemChanged(int index) {
  if (HandleAllocated()) ListView_RedrawItems(Handle(), index, index);
}

void TListView::ItemStateChanged(int index) {
  if (HandleAllocated() && !applying_) ApplyState(index);
}

void TListView::ItemsReordered() {
  if (!HandleAllocated()) return;
  std::unordered_map<LPARAM, int> order;
  for (int i = 0; i < items_.Count(); ++i) order[reinterpret_cast<LPARAM>(items_[i])] = i;
  SendMessageW(Handle(), LVM_SORTITEMS, reinterpret_cast<WPARAM>(&order),
               reinterpret_cast<LPARAM>(&CompareByModelOrder));
}

void TListView::UpdateState(bool updating) {
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), WM_SETREDRAW, updating ? FALSE : TRUE, 0);
  if (!updating) InvalidateRect(Handle(), nullptr, TRUE);
}

void TListView::EditItem(int index) {
  if (!HandleAllocated() || index < 0) return;
  ::SetFocus(Handle());
  ListView_EditLabel(Handle(), index);
}

void TListView::MakeItemVisible(int index) {
  if (HandleAllocated() && index >= 0) ListView_EnsureVisible(Handle(), index, FALSE);
}

bool TListView::NotifyReflected(NMHDR& header, LRESULT& result) {
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      auto& info = reinterpret_cast<NMLVDISPINFOW&>(header).item;
      const auto* item = reinterpret_cast<const TListItem*>(info.lParam);
      if (!item) return false;
      if ((info.mask & LVIF_TEXT) && info.pszText && info.cchTextMax > 0) {
        const std::wstring text = ItemText(item->Index(), info.iSubItem);
        lstrcpynW(info.pszText, text.c_str(), info.cchTextMax);
      }
      if (info.mask & LVIF_IMAGE) info.iImage = item->ImageIndex();
      return true;
    }
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
      if (applying_ || !(change.uChanged & LVIF_STATE)) return false;
      applying_ = true;
      const int first = change.iItem < 0 ? 0 : change.iItem;
      const int last = change.iItem < 0 ? items_.Count() - 1 : change.iItem;
      for (int i = first; i <= last && i < items_.Count(); ++i) {
        const UINT state = ListView_GetItemState(Handle(), i, LVIS_SELECTED | LVIS_FOCUSED);
        items_[i]->SetSelected((state & LVIS_SELECTED) != 0);
        items_[i]->SetFocused((state & LVIS_FOCUSED) != 0);
      }
      applying_ = false;
      return false;
    }
    case LVN_BEGINLABELEDITW:
      result = BeginLabelEdit(reinterpret_cast<NMLVDISPINFOW&>(header).item.iItem) ? FALSE : TRUE;
      return true;
    case LVN_ENDLABELEDITW: {
      const auto& info = reinterpret_cast<NMLVDISPINFOW&>(header).item;
      EndLabelEdit(info.iItem, info.pszText);
      result = FALSE;  // the caption comes from the row
      return true;
    }
    case LVN_COLUMNCLICK: {
      const int column = reinterpret_cast<NMLISTVIEW&>(header).iSubItem;
      if (OnColumnClick && column >= 0 && column < ColumnCount())
        OnColumnClick(this, Columns(column));
      return true;
    }
    case LVN_BEGINDRAG:
      if (OnBeginDrag) OnBeginDrag(this);
      return true;
    case NM_CLICK:
      if (OnClick) OnClick(this);
      return false;
    case NM_DBLCLK:
      if (OnDblClick) OnDblClick(this);
      return false;
    default:
      return false;
  }
}

}  // namespace ui
