#include "ux/prop_info_list.h"

#include <algorithm>

#include "ui/text.h"

namespace ux {

const TTypeKinds& AllTypeKinds() {
  static const TTypeKinds kinds = {
      ui::TypeKind::Integer,     ui::TypeKind::Int64,  ui::TypeKind::Char,   ui::TypeKind::WChar,
      ui::TypeKind::Enumeration, ui::TypeKind::Set,    ui::TypeKind::String, ui::TypeKind::Class,
      ui::TypeKind::Float,       ui::TypeKind::Variant};
  return kinds;
}

TPropInfoList::TPropInfoList(const ui::TPersistent* object, const TTypeKinds& filter) {
  if (object == nullptr) return;
  for (const ui::PropInfo* prop : ui::PublishedProps(*object))
    if (filter.contains(prop->kind)) list_.push_back(prop);
  std::stable_sort(list_.begin(), list_.end(), [](const ui::PropInfo* a, const ui::PropInfo* b) {
    return ui::CompareText(a->name, b->name) < 0;
  });
}

bool TPropInfoList::Contains(const ui::PropInfo* prop) const {
  return std::any_of(list_.begin(), list_.end(), [prop](const ui::PropInfo* p) {
    return p->kind == prop->kind && ui::SameText(p->name, prop->name);
  });
}

const ui::PropInfo* TPropInfoList::Find(std::wstring_view name) const {
  const auto it = std::find_if(list_.begin(), list_.end(), [name](const ui::PropInfo* p) {
    return ui::SameText(p->name, name);
  });
  return it == list_.end() ? nullptr : *it;
}

void TPropInfoList::Delete(int index) {
  Items(index);  // range check
  list_.erase(list_.begin() + index);
}

void TPropInfoList::Intersect(const TPropInfoList& list) {
  for (int i = Count() - 1; i >= 0; --i)
    if (!list.Contains(Items(i))) Delete(i);
}

}  // namespace ux
