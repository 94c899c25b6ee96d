#include "ui/custom_image_list.h"

#include <algorithm>

namespace ui {

TChangeLink::~TChangeLink() {
  if (sender_) sender_->UnRegisterChanges(*this);
}

void TChangeLink::Change() {
  if (OnChange && sender_) OnChange(*sender_);
}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : links_) link->sender_ = nullptr;
}

void TCustomImageList::RegisterChanges(TChangeLink& link) {
  if (link.sender_ == this) return;
  if (link.sender_) link.sender_->UnRegisterChanges(link);
  link.sender_ = this;
  links_.push_back(&link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink& link) {
  if (link.sender_ != this) return;
  std::erase(links_, &link);
  link.sender_ = nullptr;
}

void TCustomImageList::Change() {
  // A handler may unregister links: walk a copy and skip the ones gone meanwhile.
  const std::vector<TChangeLink*> links = links_;
  for (TChangeLink* link : links) {
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
  }
}

}  // namespace ui
