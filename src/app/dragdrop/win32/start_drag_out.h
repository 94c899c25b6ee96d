// Dragging the selected entries out of the image as virtual files.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>

#include "app/dragdrop/win32/com_object.h"
#include "app/files/drag_out.h"
#include "disk/msx_disk.h"

namespace app::dragdrop {

// The data object for the collected entries.
TComRef<IDataObject> MakeFileDataObject(disk::TMSXDisk& disk,
                                        const files::TDragCollection& collection);

struct TDragOutResult {
  HRESULT Result = S_FALSE;  // the drag loop's: DRAGDROP_S_DROP, DRAGDROP_S_CANCEL or a failure
  DWORD Effect = DROPEFFECT_NONE;
  std::size_t Offered = 0;           // entries in the drag
  std::size_t SkippedLongPaths = 0;  // entries left out: their path does not fit a descriptor
};

// Runs the platform's modal drag loop with the selected entries and the `allowed` effects (copy
// only unless told otherwise; the entries are never removed, whatever the target answers) and
// returns when the drag ends. Nothing happens, and Result stays S_FALSE, when no entry can be
// offered. Call it once the pressed button has moved far enough on the list.
TDragOutResult StartDragOut(disk::TMSXDisk& disk, std::span<const disk::TDirEntry* const> selected,
                            DWORD allowed = DROPEFFECT_COPY);

}  // namespace app::dragdrop
