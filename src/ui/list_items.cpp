#include "ui/list_items.h"

#include <algorithm>

#include "rtl/exceptions.h"

namespace ui {

// TListItem

TListItem::TListItem(TListItems& owner, std::uint64_t id) : owner_(owner), id_(id) {
  subItems_.OnChange = [this](TStringList&) { Changed(); };
}

void TListItem::SetCaption(const std::wstring& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Changed();
}

void TListItem::SetImageIndex(int imageIndex) {
  if (imageIndex == imageIndex_) return;
  imageIndex_ = imageIndex;
  Changed();
}

void TListItem::SetSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  if (owner_.view_) owner_.view_->ItemStateChanged(Index());
}

void TListItem::SetFocused(bool focused) {
  if (focused == focused_) return;
  if (focused) {
    if (TListItem* previous = owner_.Focused()) previous->SetFocused(false);
  }
  focused_ = focused;
  if (owner_.view_) owner_.view_->ItemStateChanged(Index());
}

int TListItem::Index() const {
  return owner_.IndexOf(this);
}

void TListItem::EditCaption() {
  if (owner_.view_) owner_.view_->EditItem(Index());
}

void TListItem::MakeVisible() {
  if (owner_.view_) owner_.view_->MakeItemVisible(Index());
}

void TListItem::Changed() {
  if (owner_.view_) {
    const int index = Index();
    if (index >= 0) owner_.view_->ItemChanged(index);
  }
}

// TListItems

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count()) {
    throw rtl::Exception("List index out of bounds (" + std::to_string(index) + ")");
  }
  return items_[static_cast<std::size_t>(index)].get();
}

TListItem* TListItems::Add() {
  return Insert(Count());
}

TListItem* TListItems::Insert(int index) {
  if (index < 0 || index > Count()) index = Count();
  auto item = std::make_unique<TListItem>(*this, nextId_++);
  TListItem* inserted = item.get();
  items_.insert(items_.begin() + index, std::move(item));
  if (view_) view_->ItemInserted(index);
  return inserted;
}

void TListItems::Delete(int index) {
  Item(index);  // range check
  if (view_) view_->ItemDeleted(index);
  items_.erase(items_.begin() + index);
}

void TListItems::Clear() {
  if (view_) view_->ItemsCleared();
  items_.clear();
}

int TListItems::IndexOf(const TListItem* item) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == item) return static_cast<int>(i);
  }
  return -1;
}

TListItem* TListItems::FindById(std::uint64_t id) const {
  for (const auto& item : items_) {
    if (item->id_ == id) return item.get();
  }
  return nullptr;
}

void TListItems::BeginUpdate() {
  if (updateCount_++ == 0 && view_) view_->UpdateState(true);
}

void TListItems::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && view_) view_->UpdateState(false);
}

void TListItems::Sort(const std::function<int(const TListItem&, const TListItem&)>& compare) {
  std::stable_sort(items_.begin(), items_.end(),
                   [&compare](const auto& a, const auto& b) { return compare(*a, *b) < 0; });
  if (view_) view_->ItemsReordered();
}

void TListItems::SelectAll() {
  for (const auto& item : items_) item->SetSelected(true);
}

void TListItems::ClearSelection() {
  for (const auto& item : items_) item->SetSelected(false);
}

int TListItems::SelCount() const {
  return static_cast<int>(std::count_if(items_.begin(), items_.end(),
                                        [](const auto& item) { return item->selected_; }));
}

TListItem* TListItems::FirstSelected() const {
  return NextSelected(nullptr);
}

TListItem* TListItems::NextSelected(const TListItem* after) const {
  std::size_t start = after ? static_cast<std::size_t>(IndexOf(after) + 1) : 0;
  for (std::size_t i = start; i < items_.size(); ++i) {
    if (items_[i]->selected_) return items_[i].get();
  }
  return nullptr;
}

TListItem* TListItems::Focused() const {
  for (const auto& item : items_) {
    if (item->focused_) return item.get();
  }
  return nullptr;
}

}  // namespace ui
