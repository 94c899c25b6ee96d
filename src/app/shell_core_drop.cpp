// Drops on the file list: host files and folders, and virtual files from other programs.
#include "app/files/work_list.h"
#include "app/shell_core.h"

namespace app {

void ShellCore::DropFiles(std::span<const std::filesystem::path> paths) {
  if (!FDiskImage) return;
  const files::TDropPlan plan = files::PrepareWorkList(paths, FDiskImage->DiskFree(), ports_.fs);
  if (plan.OpenImage) {
    ports_.view.OpenImageLater(*plan.OpenImage);
    return;
  }
  if (CanChange()) RunWorkList(plan.Items);
}

void ShellCore::DropVirtual(std::span<const files::TVirtualItem> items,
                            const files::TContentsSource& contents) {
  if (!CanChange()) return;
  ports_.ui.SetBusy(true);
  files::ProcessVirtualDrop(*FDiskImage, items, contents);
  ports_.ui.SetBusy(false);
  UpdateCaption();
  RefreshFileList();
}

}  // namespace app
