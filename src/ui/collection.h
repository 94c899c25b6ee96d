// Collections: an owned, ordered list of items made by the collection itself, whose items
// publish properties like any persistent object.
//   TCollection(factory): Count/Items(i)/Add()/Delete(i)/Clear(), BeginUpdate/EndUpdate (Update
//   runs once when the outermost bracket closes, or after each change outside one).
//   TCollectionItem: Collection(), Index().
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "ui/persistent.h"

namespace ui {

class TCollection;

class TCollectionItem : public TPersistent {
 public:
  explicit TCollectionItem(TCollection& collection) : collection_(collection) {}
  std::wstring_view ClassName() const override { return L"TCollectionItem"; }
  TCollection& Collection() const { return collection_; }
  int Index() const;

 private:
  TCollection& collection_;
};

class TCollection : public TPersistent {
 public:
  using TItemFactory = std::function<std::unique_ptr<TCollectionItem>(TCollection&)>;

  explicit TCollection(TItemFactory factory) : factory_(std::move(factory)) {}
  std::wstring_view ClassName() const override { return L"TCollection"; }
  TCollection* AsCollection() override { return this; }

  int Count() const { return static_cast<int>(items_.size()); }
  // Raises rtl::Exception for an index out of range.
  TCollectionItem& Items(int index) const;
  TCollectionItem& Add();
  void Delete(int index);
  void Clear();

  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

 protected:
  // The items changed.
  virtual void Update() {}

 private:
  void Changed();

  TItemFactory factory_;
  std::vector<std::unique_ptr<TCollectionItem>> items_;
  int updateCount_ = 0;
};

}  // namespace ui
