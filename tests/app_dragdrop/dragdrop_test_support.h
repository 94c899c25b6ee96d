// Shared helpers of the drag-and-drop tests: OLE for the test's thread, images on the heap and a
// data object of "another program".
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <ole2.h>
#include <shlobj.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../app_files/files_test_support.h"
#include "app/dragdrop/win32/com_object.h"
#include "app/dragdrop/win32/com_streams.h"
#include "app/dragdrop/win32/drag_formats.h"
#include "app/dragdrop/win32/global_memory.h"
#include "disk/msx_disk.h"
#include "rtl/stream.h"

namespace dnd_test {

using app::dragdrop::TComObject;
using app::dragdrop::TComRef;

class OleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};

using files_test::AddBytes;
using files_test::NewDisk;
using files_test::Pattern;

inline std::vector<std::uint8_t> ReadAll(IStream& stream) {
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[700];
  ULONG read = 0;
  while (SUCCEEDED(stream.Read(chunk, sizeof chunk, &read)) && read > 0) {
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  return bytes;
}

// A DROPFILES block with the paths, wide or in the ANSI code page.
inline std::vector<std::uint8_t> DropFilesBlock(const std::vector<std::wstring>& paths,
                                                bool wide = true) {
  DROPFILES header{};
  header.pFiles = sizeof header;
  header.fWide = wide;
  std::vector<std::uint8_t> block(sizeof header);
  std::memcpy(block.data(), &header, sizeof header);
  for (const std::wstring& path : paths) {
    if (wide) {
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(path.c_str());
      block.insert(block.end(), bytes, bytes + (path.size() + 1) * sizeof(wchar_t));
    } else {
      for (const wchar_t unit : path) block.push_back(static_cast<std::uint8_t>(unit));
      block.push_back(0);
    }
  }
  block.insert(block.end(), wide ? 2 : 1, 0);
  return block;
}

// A data object as another program would offer it: blocks of global memory per format, and
// "FileContents" per index as a stream or a global memory block.
class TForeignDataObject final : public TComObject<IDataObject> {
 public:
  struct Contents {
    std::vector<std::uint8_t> bytes;
    DWORD medium = TYMED_ISTREAM;  // TYMED_ISTORAGE stands for a medium the reader cannot use
    // A stream that claims to have read more than it was asked for.
    bool overstates = false;
  };

  std::map<CLIPFORMAT, std::vector<std::uint8_t>> blocks;
  std::map<LONG, Contents> contents;
  // The real object behind, when this one only passes calls on (our own object seen through
  // another program).
  TComRef<IDataObject> inner;

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (inner) return inner->GetData(format, medium);
    *medium = STGMEDIUM{};
    if (format->cfFormat == app::dragdrop::DragFormats().FileContents) {
      const auto it = contents.find(format->lindex);
      if (it == contents.end()) return DV_E_LINDEX;
      return Serve(it->second, format->tymed, *medium);
    }
    const auto it = blocks.find(format->cfFormat);
    if (it == blocks.end()) return DV_E_FORMATETC;
    if ((format->tymed & TYMED_HGLOBAL) == 0) return DV_E_TYMED;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = app::dragdrop::CopyToGlobal(it->second);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    if (inner) return inner->QueryGetData(format);
    const bool offered =
        blocks.contains(format->cfFormat) ||
        (format->cfFormat == app::dragdrop::DragFormats().FileContents && !contents.empty());
    return offered ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  // A stream that reports reading four times what it was asked for.
  class TBoastingStream final : public TComObject<IStream> {
   public:
    HRESULT STDMETHODCALLTYPE Read(void* data, ULONG size, ULONG* read) override {
      std::memset(data, 0x5A, size);
      *read = size * 4 + 1;
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override {
      return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                     ULARGE_INTEGER*) override {
      return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
      return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
      return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }
  };

  static HRESULT Serve(const Contents& file, DWORD wanted, STGMEDIUM& medium) {
    if (file.medium == TYMED_ISTORAGE) {
      // Claims a medium that is not there: a reader must not touch it.
      medium.tymed = TYMED_ISTORAGE;
      return S_OK;
    }
    if ((wanted & file.medium) == 0) return DV_E_TYMED;
    medium.tymed = file.medium;
    if (file.overstates) {
      medium.pstm = app::dragdrop::MakeComObject<TBoastingStream>().Detach();
    } else if (file.medium == TYMED_ISTREAM) {
      TComRef<IStream> stream = app::dragdrop::MakeMemoryIStream(file.bytes);
      // Left at its end, as some sources do.
      LARGE_INTEGER end{};
      stream->Seek(end, STREAM_SEEK_END, nullptr);
      medium.pstm = stream.Detach();
    } else {
      medium.hGlobal = app::dragdrop::CopyToGlobal(file.bytes);
    }
    return S_OK;
  }
};

}  // namespace dnd_test
