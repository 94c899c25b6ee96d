// The file list's drop target.
#include "app/dragdrop/win32/drop_target.h"

#include <climits>
#include <utility>

#include "app/dragdrop/win32/com_streams.h"
#include "app/dragdrop/win32/drag_formats.h"
#include "app/dragdrop/win32/drop_files.h"
#include "app/dragdrop/win32/file_data_object.h"
#include "app/dragdrop/win32/global_memory.h"
#include "app/files/file_descriptor.h"

namespace app::dragdrop {

namespace {

bool Offers(IDataObject& data, CLIPFORMAT format) {
  FORMATETC wanted = MakeFormatEtc(format);
  return data.QueryGetData(&wanted) == S_OK;
}

bool OffersFiles(IDataObject& data) {
  return Offers(data, DragFormats().FileGroupDescriptor) || Offers(data, CF_HDROP);
}

// The contents of the virtual file at `index`: asked for as a stream, then as global memory, so
// that a source offering the contents only in global memory does not drop nothing in silence;
// only an exact success counts.
std::unique_ptr<rtl::TStream> OpenContents(IDataObject& data, std::size_t index) {
  if (index > static_cast<std::size_t>(LONG_MAX)) return nullptr;
  FORMATETC format = MakeFormatEtc(DragFormats().FileContents);
  format.lindex = static_cast<LONG>(index);
  for (const DWORD medium : {TYMED_ISTREAM, TYMED_HGLOBAL}) {
    format.tymed = medium;
    TStgMedium received;
    if (received.Fetch(data, format) == S_OK) return OpenMediumReader(std::move(received));
  }
  return nullptr;
}

}  // namespace

HRESULT TFileDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  const DWORD allowed = std::exchange(*effect, DROPEFFECT_NONE);
  gate_.Leave();  // a drag that fails below is refused
  return GuardCom([&]() -> HRESULT {
    const bool open = handler_.CanAcceptDrop();
    const bool own = data && IsOwnDragData(*data);
    const bool offers = data && open && !own && OffersFiles(*data);
    *effect = gate_.Enter(own, offers, allowed, keyState);
    return S_OK;
  });
}

HRESULT TFileDropTarget::DragOver(DWORD keyState, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  *effect = gate_.Over(*effect, keyState);
  return S_OK;
}

HRESULT TFileDropTarget::DragLeave() {
  gate_.Leave();
  return S_OK;
}

HRESULT TFileDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
  if (!gate_.Drop() || !data) return S_OK;
  return GuardCom([&]() -> HRESULT {
    Process(*data);
    return S_OK;
  });
}

void TFileDropTarget::Process(IDataObject& data) {
  TStgMedium descriptors;
  if (SUCCEEDED(descriptors.Fetch(data, MakeFormatEtc(DragFormats().FileGroupDescriptor)))) {
    if (descriptors.Get().tymed == TYMED_HGLOBAL) DropVirtual(data, descriptors.Get().hGlobal);
    return;
  }
  TStgMedium fileList;
  if (SUCCEEDED(fileList.Fetch(data, MakeFormatEtc(CF_HDROP))) &&
      fileList.Get().tymed == TYMED_HGLOBAL) {
    DropHostFiles(fileList.Get().hGlobal);
  }
}

void TFileDropTarget::DropVirtual(IDataObject& data, HGLOBAL block) {
  files::TParsedDescriptors parsed;
  {
    const TGlobalLock lock(block);
    parsed = files::ParseFileGroupDescriptor(lock.Bytes());
  }
  const std::vector<files::TVirtualItem> items = files::PlanVirtualDrop(parsed.Items);
  const std::size_t rejected = parsed.Rejected + (parsed.Items.size() - items.size());
  const files::TContentsSource contents = [&data](std::size_t index) {
    return OpenContents(data, index);
  };
  handler_.OnDropVirtual(items, contents, rejected);
}

void TFileDropTarget::DropHostFiles(HGLOBAL block) {
  std::vector<std::filesystem::path> paths;
  {
    const TGlobalLock lock(block);
    paths = ParseDropFiles(lock.Bytes());
  }
  if (!paths.empty()) handler_.OnDropFiles(std::move(paths));
}

TDropTargetRegistration::TDropTargetRegistration(HWND window, IDropHandler& handler)
    : window_(window), target_(MakeComObject<TFileDropTarget>(handler)) {
  registered_ = SUCCEEDED(RegisterDragDrop(window_, target_.Get()));
}

TDropTargetRegistration::~TDropTargetRegistration() {
  if (registered_) RevokeDragDrop(window_);
}

}  // namespace app::dragdrop
