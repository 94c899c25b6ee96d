// The drag-out data object.
#include "app/dragdrop/win32/file_data_object.h"

#include "app/dragdrop/win32/com_streams.h"
#include "app/dragdrop/win32/drag_formats.h"
#include "app/dragdrop/win32/enum_format_etc.h"
#include "app/dragdrop/win32/global_memory.h"
#include "app/files/file_descriptor.h"

namespace app::dragdrop {

namespace {

// Answered only by our own drag-out objects; no proxy knows it, so a data object from another
// process never does.
constexpr IID kOwnDragDataId = {
    0x3c0d1f52, 0x8a4e, 0x4b7f, {0x9d, 0x61, 0x52, 0x0b, 0xe4, 0x7a, 0x13, 0xc8}};

}  // namespace

std::vector<std::uint8_t> TFileDataObject::BuildFileGroupDescriptor(
    const files::TDragCollection& collection) {
  return files::EncodeFileGroupDescriptor(files::DescribeDragItems(collection.Items));
}

TFileDataObject::TFileDataObject(disk::TMSXDisk& disk, const files::TDragCollection& collection)
    : descriptorBlock_(BuildFileGroupDescriptor(collection)) {
  contents_.reserve(collection.Items.size());
  for (std::size_t index = 0; index < collection.Items.size(); ++index) {
    contents_.push_back(files::DragContents(disk, collection, static_cast<std::int64_t>(index)));
  }
}

bool TFileDataObject::IsMarkerInterface(REFIID iid) const {
  return iid == kOwnDragDataId;
}

// The medium is checked too: a reader that asked only for global memory and got a stream would
// read the stream's interface pointer as a memory handle.
HRESULT TFileDataObject::CheckFormat(const FORMATETC& format) const {
  for (const FORMATETC& offered : OfferedFormats()) {
    if (format.cfFormat != offered.cfFormat) continue;
    return (format.tymed & offered.tymed) != 0 ? S_OK : DV_E_TYMED;
  }
  return E_FAIL;
}

HRESULT TFileDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  return GuardCom([&]() -> HRESULT {
    if (!format || !medium) return E_INVALIDARG;
    *medium = STGMEDIUM{};
    if (const HRESULT check = CheckFormat(*format); check != S_OK) return check;
    if (format->cfFormat == DragFormats().FileContents) {
      return GetContentsMedium(format->lindex, *medium);
    }
    medium->hGlobal = CopyToGlobal(descriptorBlock_);
    medium->tymed = TYMED_HGLOBAL;
    return S_OK;
  });
}

HRESULT TFileDataObject::GetContentsMedium(LONG index, STGMEDIUM& medium) const {
  if (index < 0 || static_cast<std::size_t>(index) >= contents_.size()) return DV_E_LINDEX;
  const auto& bytes = contents_[static_cast<std::size_t>(index)];
  if (!bytes) return DV_E_LINDEX;
  medium.pstm = MakeMemoryIStream(*bytes).Detach();
  medium.tymed = TYMED_ISTREAM;
  return S_OK;
}

HRESULT TFileDataObject::GetDataHere(FORMATETC*, STGMEDIUM* medium) {
  if (medium) *medium = STGMEDIUM{};
  return E_NOTIMPL;
}

HRESULT TFileDataObject::QueryGetData(FORMATETC* format) {
  return format ? CheckFormat(*format) : E_INVALIDARG;
}

HRESULT TFileDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical) {
  if (canonical) *canonical = FORMATETC{};
  return E_NOTIMPL;
}

HRESULT TFileDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
  return E_FAIL;
}

HRESULT TFileDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
  return GuardCom([&]() -> HRESULT {
    if (!formats) return E_POINTER;
    *formats = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    *formats = MakeComObject<TEnumFormatEtc>().Detach();
    return S_OK;
  });
}

HRESULT TFileDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
  return E_NOTIMPL;
}

HRESULT TFileDataObject::DUnadvise(DWORD) {
  return E_NOTIMPL;
}

HRESULT TFileDataObject::EnumDAdvise(IEnumSTATDATA** advisers) {
  if (advisers) *advisers = nullptr;
  return E_NOTIMPL;
}

bool IsOwnDragData(IDataObject& data) {
  TComRef<IUnknown> marker;
  return SUCCEEDED(data.QueryInterface(kOwnDragDataId, reinterpret_cast<void**>(marker.Put())));
}

}  // namespace app::dragdrop
