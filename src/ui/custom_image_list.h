// The image list as portable code sees it: a component with a picture size, a count and change
// links. The Win32 list with its pictures and drawing is TImageList (ui/win32/image_list.h).
//   TChangeLink: OnChange runs when the list it is registered with changes; a link unregisters
//   itself when it goes, and the list clears Sender() of every link when the list goes.
//   TCustomImageList: Width/Height, Count, RegisterChanges/UnRegisterChanges, Change().
#pragma once

#include <functional>
#include <vector>

#include "ui/component.h"

namespace ui {

class TCustomImageList;

class TChangeLink {
 public:
  TChangeLink() = default;
  TChangeLink(const TChangeLink&) = delete;
  TChangeLink& operator=(const TChangeLink&) = delete;
  virtual ~TChangeLink();

  TCustomImageList* Sender() const { return sender_; }
  // Runs OnChange.
  virtual void Change();

  std::function<void(TCustomImageList& sender)> OnChange;

 private:
  friend class TCustomImageList;
  TCustomImageList* sender_ = nullptr;
};

class TCustomImageList : public TComponent {
 public:
  explicit TCustomImageList(TComponent* owner) : TComponent(owner) {}
  ~TCustomImageList() override;

  std::wstring_view ClassName() const override { return L"TCustomImageList"; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  virtual int Count() = 0;

  void RegisterChanges(TChangeLink& link);
  void UnRegisterChanges(TChangeLink& link);

 protected:
  // Tells every registered link.
  void Change();
  void StoreSize(int width, int height) {
    width_ = width;
    height_ = height;
  }

 private:
  int width_ = 16;
  int height_ = 16;
  std::vector<TChangeLink*> links_;
};

}  // namespace ui
