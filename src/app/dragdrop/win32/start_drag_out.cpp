// Starting a drag out.
#include "app/dragdrop/win32/start_drag_out.h"

#include <ole2.h>

#include "app/dragdrop/win32/drop_source.h"
#include "app/dragdrop/win32/file_data_object.h"

namespace app::dragdrop {

TComRef<IDataObject> MakeFileDataObject(disk::TMSXDisk& disk,
                                        const files::TDragCollection& collection) {
  return MakeComObject<TFileDataObject>(disk, collection);
}

TDragOutResult StartDragOut(disk::TMSXDisk& disk, std::span<const disk::TDirEntry* const> selected,
                            DWORD allowed) {
  const files::TDragCollection collection = files::CollectDragEntries(disk, selected);
  TDragOutResult outcome;
  outcome.Offered = collection.Items.size();
  outcome.SkippedLongPaths = collection.SkippedLongPaths;
  if (collection.Items.empty()) return outcome;
  const TComRef<IDataObject> data = MakeFileDataObject(disk, collection);
  const TComRef<IDropSource> source = MakeComObject<TDropSource>();
  outcome.Result = DoDragDrop(data.Get(), source.Get(), allowed, &outcome.Effect);
  return outcome;
}

}  // namespace app::dragdrop
