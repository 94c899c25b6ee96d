// Drag and drop on the main window's file list: drops of host files and virtual files go to the
// core, a drag of the selected rows goes out through the platform's drag loop.
#include "app/dragdrop/win32/start_drag_out.h"
#include "app/win32/main_form.h"

namespace app {

void TMainForm::RegisterDropTarget() {
  if (dropTarget_) return;
  dragdrop::IDropHandler& handler = *this;
  dropTarget_ = std::make_unique<dragdrop::TDropTargetRegistration>(fileList_->Handle(), handler);
}

void TMainForm::RevokeDropTarget() {
  dropTarget_.reset();
}

bool TMainForm::CanAcceptDrop() {
  return core_->CanAcceptDrop() && !fileList_->IsEditing();
}

void TMainForm::OnDropFiles(std::vector<std::filesystem::path> paths) {
  core_->DropFiles(paths);
}

// Descriptors left out as damaged or unsafe are dropped silently, like every other failure of
// a drop.
void TMainForm::OnDropVirtual(std::span<const files::TVirtualItem> items,
                              const files::TContentsSource& contents, std::size_t) {
  core_->DropVirtual(items, contents);
}

void TMainForm::OpenImageLater(const std::filesystem::path& fileName) {
  pendingOpens_.push_back(fileName);
  PostMessageW(Handle(), kOpenImageMessage, 0, 0);
}

void TMainForm::OpenPendingImage() {
  if (pendingOpens_.empty()) return;
  const std::filesystem::path fileName = std::move(pendingOpens_.front());
  pendingOpens_.pop_front();
  core_->OpenDiskImage(fileName);
}

void TMainForm::DragOut(DWORD allowed) {
  disk::TMSXDisk* image = core_->Image();
  if (!image) return;
  const std::vector<disk::PDirEntry> selected = SelectedEntries();
  const std::vector<const disk::TDirEntry*> entries(selected.begin(), selected.end());
  dragdrop::StartDragOut(*image, entries, allowed);
}

void TMainForm::FileListStartDrag() {
  DragOut(DROPEFFECT_COPY | DROPEFFECT_MOVE);
}

void TMainForm::FileListDragOver(skbar::TSkBarCustomDragObject&, int, int, bool& accept) {
  accept = false;
}

void TMainForm::FileListDragDrop(skbar::TSkBarCustomDragObject&, int, int) {}

}  // namespace app
