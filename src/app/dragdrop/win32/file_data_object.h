// The data object of a drag out: the dragged entries as virtual files, one file-group descriptor
// and each file's contents as a stream.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "app/dragdrop/win32/com_object.h"
#include "app/files/drag_out.h"
#include "disk/msx_disk.h"

namespace app::dragdrop {

// Descriptors and contents are copied out of the image when the object is made, so a reader that
// keeps the object after the drag never sees a changed or freed image.
class TFileDataObject final : public TComObject<IDataObject> {
 public:
  TFileDataObject(disk::TMSXDisk& disk, const files::TDragCollection& collection);

  // The descriptor block (global memory) or the contents of the file at the format's index (a
  // stream). E_FAIL for other formats, DV_E_TYMED when the medium asked for is not the one
  // offered, DV_E_LINDEX for an index that is no readable file of the collection.
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                    DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advisers) override;

 private:
  // The descriptor block of the collected entries, in their order.
  static std::vector<std::uint8_t> BuildFileGroupDescriptor(
      const files::TDragCollection& collection);
  bool IsMarkerInterface(REFIID iid) const override;
  // S_OK for an offered format and medium, else the refusal GetData gives.
  HRESULT CheckFormat(const FORMATETC& format) const;
  HRESULT GetContentsMedium(LONG index, STGMEDIUM& medium) const;

  std::vector<std::uint8_t> descriptorBlock_;
  // Per descriptor: the file's bytes; nothing for a directory or a file that cannot be read.
  std::vector<std::optional<std::vector<std::uint8_t>>> contents_;
};

// Whether the data object is one this program made for a drag out. Decided by the object itself,
// so it needs no memory of earlier drags.
bool IsOwnDragData(IDataObject& data);

}  // namespace app::dragdrop
