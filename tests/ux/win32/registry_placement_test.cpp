#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "../stand_in_form.h"
#include "test_window.h"
#include "ux/form_storage.h"
#include "ux/win32/control_hook.h"
#include "ux/win32/form_window_attachment.h"

namespace ux::win32 {
namespace {

using test::PumpMessages;
using test::TTestWindow;

// The form half of a placement host for a plain sizeable, designed-position main window.
class TTestFormHost : public TWindowPlacementHost {
 public:
  explicit TTestFormHost(TTestWindow& window) : window_(window) {}
  HWND Window() const override { return window_.Handle(); }
  bool IsMainForm() const override { return true; }
  TFormStyle FormStyle() const override { return TFormStyle::fsNormal; }
  TFormBorderStyle BorderStyle() const override { return TFormBorderStyle::bsSizeable; }
  TPosition Position() const override { return TPosition::poDesigned; }
  void KeepPositionDesigned() override {}
  TWindowState WindowState() const override {
    return IsZoomed(Window()) ? TWindowState::wsMaximized : TWindowState::wsNormal;
  }
  void SetWindowState(TWindowState state) override {
    ShowWindow(Window(), state == TWindowState::wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
  }
  void RecordWindowState(TWindowState) override {}
  void PostMinimize() override { PostMessageW(Window(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }
  bool MaximizeIcon() const override {
    return (GetWindowLongPtrW(Window(), GWL_STYLE) & WS_MAXIMIZEBOX) != 0;
  }
  void SetMaximizeIcon(bool shown) override {
    LONG_PTR style = GetWindowLongPtrW(Window(), GWL_STYLE);
    style = shown ? style | WS_MAXIMIZEBOX : style & ~LONG_PTR{WS_MAXIMIZEBOX};
    SetWindowLongPtrW(Window(), GWL_STYLE, style);
  }
  std::wstring ActiveControlName() const override { return {}; }
  void SetActiveControlByName(std::wstring_view) override {}
  void HandleException() override { ++errors; }

  int errors = 0;

 private:
  TTestWindow& window_;
};

const std::wstring kKey =
    L"Software\\Kelpfin\\QuollboxUxTest" + std::to_wstring(GetCurrentProcessId());

// A main window "TMainForm" with a dock and a recent list, and its form storage on a private key.
struct Form {
  ui::Owned<TTestWindow> window = ui::New<TTestWindow>(L"TMainForm");
  test::TDock* dock = ui::Create<test::TDock>(*window);
  test::TMruList* mru = ui::Create<test::TMruList>(*window);
  TFormStorage* storage = ui::Create<TFormStorage>(*window);
  TTestFormHost* host = nullptr;

  Form() {
    dock->SetName(L"RightMultiDock");
    mru->SetName(L"MRUList");
    storage->SetIniFileName(kKey);
    storage->SetOptions({TPlacementOption::fpPosition});
    storage->StoredProps().Assign({L"RightMultiDock.Width", L"MRUList.Items"});
    window->HandleNeeded();
    auto formHost = std::make_unique<TTestFormHost>(*window);
    host = formHost.get();
    storage->AttachForm(
        std::make_unique<TFormWindowAttachment>(*storage, *window, std::move(formHost)));
    window->FinishLoading();
  }
  RECT NormalRect() const {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(window->Handle(), &wp);
    return wp.rcNormalPosition;
  }
};

bool KeyExists(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// The value's text, or none when it is missing or not REG_SZ.
std::optional<std::wstring> RegText(const std::wstring& section, const std::wstring& name) {
  wchar_t buffer[512] = {};
  DWORD size = sizeof(buffer);
  DWORD type = 0;
  const std::wstring path = kKey + L"\\" + section;
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_ANY, &type, buffer,
                   &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  return std::wstring(buffer);
}

std::wstring RectText(const RECT& r) {
  return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) +
         L"," + std::to_wstring(r.bottom);
}

class RegistryPlacement : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str()); }
  void TearDown() override {
    PumpMessages();
    FreeHookList();
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str());
  }
};

TEST_F(RegistryPlacement, SavesAndRestoresPlacementAndListedProperties) {
  RECT saved{};
  {
    Form first;
    first.storage->FormShow();
    EXPECT_TRUE(KeyExists(kKey));  // a first run creates the key, not the section
    EXPECT_FALSE(KeyExists(kKey + L"\\TMainForm"));

    ShowWindow(first.window->Handle(), SW_SHOWNORMAL);
    SetWindowPos(first.window->Handle(), nullptr, 150, 120, 500, 350, SWP_NOZORDER);
    first.dock->SetWidth(321);
    first.mru->Items()->Assign({L"C:\\b.dsk", L"C:\\a.dsk"});
    saved = first.NormalRect();
    first.storage->FormCloseQuery(true);
    EXPECT_EQ(first.host->errors, 0);
  }
  const std::wstring suffix = L"(" + std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"x" +
                              std::to_wstring(GetSystemMetrics(SM_CYSCREEN)) + L")";
  for (const wchar_t* name : {L"FormVersion", L"Flags", L"ShowCmd", L"PixelsPerInch", L"MinMaxPos",
                              L"NormPos", L"Visible", L"RightMultiDock_Width"})
    EXPECT_TRUE(RegText(L"TMainForm", name)) << name;
  EXPECT_EQ(RegText(L"TMainForm", L"NormPos"), RectText(saved));
  EXPECT_EQ(RegText(L"TMainForm", L"NormPos" + suffix), RectText(saved));
  EXPECT_EQ(RegText(L"TMainForm", L"MinMaxPos" + suffix), RegText(L"TMainForm", L"MinMaxPos"));
  EXPECT_EQ(RegText(L"TMainForm", L"Visible"), L"0");
  EXPECT_EQ(RegText(L"TMainForm", L"RightMultiDock_Width"), L"321");
  EXPECT_EQ(RegText(L"TMainForm.MRUList_Items", L"Count"), L"2");
  EXPECT_EQ(RegText(L"TMainForm.MRUList_Items", L"Item0"), L"C:\\b.dsk");

  Form second;
  second.storage->FormShow();
  EXPECT_EQ(RectText(second.NormalRect()), RectText(saved));
  EXPECT_EQ(second.dock->Width(), 321);
  EXPECT_EQ(second.mru->Items()->ToVector(),
            (std::vector<std::wstring>{L"C:\\b.dsk", L"C:\\a.dsk"}));
}

TEST_F(RegistryPlacement, AMaximizedFormComesBackAtItsNormalRectangle) {
  RECT saved{};
  {
    Form first;
    first.storage->FormShow();
    ShowWindow(first.window->Handle(), SW_SHOWNORMAL);
    SetWindowPos(first.window->Handle(), nullptr, 60, 70, 420, 330, SWP_NOZORDER);
    saved = first.NormalRect();
    ShowWindow(first.window->Handle(), SW_MAXIMIZE);
    first.storage->FormCloseQuery(true);
  }
  EXPECT_EQ(RegText(L"TMainForm", L"ShowCmd"), std::to_wstring(SW_SHOWMAXIMIZED));
  Form second;
  second.storage->FormShow();
  ShowWindow(second.window->Handle(), SW_SHOWNORMAL);
  EXPECT_FALSE(IsZoomed(second.window->Handle()));
  EXPECT_EQ(RectText(second.NormalRect()), RectText(saved));
}

TEST_F(RegistryPlacement, GuardsOfCloseAndDestroy) {
  {
    Form refused;
    refused.storage->FormShow();
    refused.storage->FormCloseQuery(false);
  }
  EXPECT_FALSE(KeyExists(kKey + L"\\TMainForm"));
  {
    Form destroyed;
    destroyed.storage->FormShow();
    destroyed.storage->FormDestroy();
  }
  EXPECT_EQ(RegText(L"TMainForm", L"Visible"), L"1");
  {
    Form single;
    single.storage->WriteInteger(L"BootCode", 2);
    EXPECT_EQ(single.storage->ReadInteger(L"BootCode", 1), 2);
    EXPECT_EQ(single.storage->ReadString(L"RemovableDrive", L"none"), L"none");
  }
}

TEST_F(RegistryPlacement, SizeLimitsHookTheFormWindowOnlyWhileSet) {
  Form form;
  EXPECT_TRUE(ExistingHookList() == nullptr ||
              !ExistingHookList()->FindControlHook(form.window.get()));
  form.storage->MinMaxInfo().SetMinTrackWidth(300);
  MINMAXINFO info{};
  SendMessageW(form.window->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 300);

  form.storage->MinMaxInfo().SetMinTrackWidth(0);
  PumpMessages();
  EXPECT_EQ(HookList().FindControlHook(form.window.get()), nullptr);

  ShowWindow(form.window->Handle(), SW_SHOWNORMAL);
  form.storage->SetPreventResize(true);
  EXPECT_FALSE(form.host->MaximizeIcon());
  const LRESULT hit = SendMessageW(form.window->Handle(), WM_NCHITTEST, 0,
                                   MAKELPARAM(0, 0));  // outside: stays what it was
  EXPECT_NE(hit, HTRIGHT);
  RECT rect{};
  GetWindowRect(form.window->Handle(), &rect);
  const LPARAM rightBorder = MAKELPARAM(rect.right - 1, (rect.top + rect.bottom) / 2);
  EXPECT_EQ(SendMessageW(form.window->Handle(), WM_NCHITTEST, 0, rightBorder), HTNOWHERE);
  const HMENU systemMenu = GetSystemMenu(form.window->Handle(), FALSE);
  SendMessageW(form.window->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(systemMenu),
               MAKELPARAM(0, 1));
  EXPECT_TRUE(GetMenuState(systemMenu, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED);
  form.storage->SetPreventResize(false);
  EXPECT_TRUE(form.host->MaximizeIcon());
}

}  // namespace
}  // namespace ux::win32
