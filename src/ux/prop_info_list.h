// The published properties of one object whose kinds pass a filter, sorted by name.
#pragma once

#include <set>
#include <string_view>
#include <vector>

#include "ui/properties.h"

namespace ux {

using TTypeKinds = std::set<ui::TypeKind>;

// Every kind that carries type information (the stand-in has no method kind).
const TTypeKinds& AllTypeKinds();

class TPropInfoList {
 public:
  // An object of none gives an empty list.
  TPropInfoList(const ui::TPersistent* object, const TTypeKinds& filter);

  int Count() const { return static_cast<int>(list_.size()); }
  const ui::PropInfo* Items(int index) const { return list_.at(static_cast<size_t>(index)); }
  // An entry of the same kind and the same name regardless of case.
  bool Contains(const ui::PropInfo* prop) const;
  // The entry named `name` regardless of case, or none.
  const ui::PropInfo* Find(std::wstring_view name) const;
  void Delete(int index);
  // Deletes, last first, every entry that `list` does not contain.
  void Intersect(const TPropInfoList& list);

 private:
  std::vector<const ui::PropInfo*> list_;
};

}  // namespace ux
