// The root of everything with published properties.
//   TPersistent: virtual ClassName(), GetPublishedProps(out) (base class first; a later entry
//   with the same name overrides an earlier one), and the casts AsStrings() / AsComponent() /
//   AsCollection() that stand in for "is TStrings" / "is TComponent" / "is TCollection".
//   Property tables: ui/properties.h.
#pragma once

#include <string_view>
#include <vector>

namespace ui {

struct PropInfo;
class TStrings;
class TComponent;
class TCollection;

class TPersistent {
 public:
  TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;
  virtual ~TPersistent() = default;

  virtual std::wstring_view ClassName() const { return L"TPersistent"; }
  virtual void GetPublishedProps(std::vector<const PropInfo*>& /*out*/) const {}

  virtual TStrings* AsStrings() { return nullptr; }
  virtual TComponent* AsComponent() { return nullptr; }
  virtual TCollection* AsCollection() { return nullptr; }
  const TStrings* AsStrings() const { return const_cast<TPersistent*>(this)->AsStrings(); }
  const TComponent* AsComponent() const { return const_cast<TPersistent*>(this)->AsComponent(); }
  const TCollection* AsCollection() const { return const_cast<TPersistent*>(this)->AsCollection(); }
};

}  // namespace ui
