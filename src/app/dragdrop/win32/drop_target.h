// The drop target of the file list: shell file lists and virtual files from other programs are
// handed to the window; drags of our own entries are refused.
#pragma once

#include <windows.h>

#include <oleidl.h>

#include <cstddef>
#include <filesystem>
#include <span>
#include <vector>

#include "app/dragdrop/win32/com_object.h"
#include "app/files/drop_gate.h"
#include "app/files/virtual_drop.h"

namespace app::dragdrop {

// What the window does with a drop; called on the user-interface thread from the drag loop.
// Work that may show a message box (opening a dropped image) is best posted for later, so the
// drag source is not held up.
class IDropHandler {
 public:
  virtual ~IDropHandler() = default;
  // Asked when a drag enters: whether drops are taken now.
  virtual bool CanAcceptDrop() = 0;
  // Host files and folders, in the order the source gave them.
  virtual void OnDropFiles(std::vector<std::filesystem::path> paths) = 0;
  // Virtual files: the checked plan and their contents, which can be read only during the call.
  // `rejected` counts the descriptors left out as damaged or unsafe.
  virtual void OnDropVirtual(std::span<const files::TVirtualItem> items,
                             const files::TContentsSource& contents, std::size_t rejected) = 0;
};

class TFileDropTarget final : public TComObject<IDropTarget> {
 public:
  explicit TFileDropTarget(IDropHandler& handler) : handler_(handler) {}

  // Accepts a drag that is not our own and offers a file list or file descriptors, while the
  // handler takes drops: copy, or move with Shift when the source allows it.
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  // Hands an accepted drop to the handler. The effect reported is always none, so the source
  // never deletes what it offered.
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                 DWORD* effect) override;

 private:
  void Process(IDataObject& data);
  void DropVirtual(IDataObject& data, HGLOBAL block);
  void DropHostFiles(HGLOBAL block);

  IDropHandler& handler_;
  files::TDropGate gate_;
};

// The file list's drop target, registered on its window for the life of this object. OLE must
// be initialised on the thread (the application does that).
class TDropTargetRegistration {
 public:
  TDropTargetRegistration(HWND window, IDropHandler& handler);
  TDropTargetRegistration(const TDropTargetRegistration&) = delete;
  TDropTargetRegistration& operator=(const TDropTargetRegistration&) = delete;
  ~TDropTargetRegistration();

  bool Registered() const { return registered_; }
  // The target itself, as the drag loop calls it.
  IDropTarget* Target() const { return target_.Get(); }

 private:
  HWND window_;
  TComRef<IDropTarget> target_;
  bool registered_ = false;
};

}  // namespace app::dragdrop
