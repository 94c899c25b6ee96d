// The main window on screen after a modal window closed over it: the real message boxes at
// start-up (before the window first shows) and later, the real file dialogs cancelled and the
// about box, each answered by a key typed as a user would. The window, frame and caption
// included, shows what a full repaint draws.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "../../disk/disk_test_support.h"
#include "../../ui/win32/screen_check.h"
#include "disk/msx_disk.h"
#include "hfe/hfe_disk.h"
#include "main_form_fixture.h"
#include "rtl/stream.h"

namespace app::test {
namespace {

using disk_test::WriteFile;

// Answers the first modal window of this thread that shows (a window with a caption other than
// `owner`) with `key`, typed as real input (again when the window is still there a while later);
// a window still there after the time limit is closed and the run counts as timed out.
struct ModalAnswer {
  HWND owner = nullptr;
  WORD key = VK_RETURN;
  DWORD start = GetTickCount();
  HWND answered = nullptr;
  DWORD pressed = 0;
  bool timedOut = false;

  static inline ModalAnswer* current = nullptr;
  static constexpr DWORD kLimit = 8000;
  static constexpr DWORD kRepeat = 1500;

  static BOOL CALLBACK FindShown(HWND window, LPARAM found) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (window == current->owner || !IsWindowVisible(window) || (style & WS_CAPTION) != WS_CAPTION)
      return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!current) return;
    HWND shown = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindShown, reinterpret_cast<LPARAM>(&shown));
    if (!shown) return;
    if (GetTickCount() - current->start > kLimit) {
      current->timedOut = true;
      PostMessageW(shown, WM_CLOSE, 0, 0);
    } else if (shown != current->answered || GetTickCount() - current->pressed > kRepeat) {
      // Pressed again only when a key went astray and the window is still there.
      current->answered = shown;
      current->pressed = GetTickCount();
      SetForegroundWindow(shown);
      PressKey(current->key);
    }
  }
  // Runs `action`, which returns once the modal window closed.
  void Run(const std::function<void()>& action) {
    current = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, Tick);
    action();
    KillTimer(nullptr, timer);
    current = nullptr;
  }
};

class ModalScreensTest : public MainFormTest {
 protected:
  // The real message boxes and file dialogs, not the fixture's answers.
  ModalScreensTest() {
    previousPresenter_ = ui::SetMessageBoxPresenter(nullptr);
    ui::SetDialogHook({});
  }
  ~ModalScreensTest() override { ui::SetMessageBoxPresenter(std::move(previousPresenter_)); }

  // Starts the program on `image`, answers the message box it shows with Enter and checks the
  // window as it first shows.
  void ExpectStartAfterMessageLeavesTheScreen(const std::filesystem::path& image) {
    ModalAnswer answer;
    answer.Run([&] { Start({image.wstring()}); });
    ASSERT_NE(answer.answered, nullptr) << "no message box at start-up";
    EXPECT_FALSE(answer.timedOut);
    EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle()));
  }

 private:
  ui::TMessageBoxPresenter previousPresenter_;
};

std::vector<std::uint8_t> NewImageBytes() {
  disk::TMSXDisk image;
  image.PrepareNewImage(false);
  rtl::TMemoryStream out;
  image.SaveToStream(out);
  return out.TakeBytes();
}

TEST_F(ModalScreensTest, StartedOnARawImageOfAnotherMedia) {
  std::vector<std::uint8_t> pc = NewImageBytes();
  pc[21] = 0xFD;  // a PC 360 KB floppy's media byte
  WriteFile(Folder() / L"pc.dsk", pc);
  ExpectStartAfterMessageLeavesTheScreen(Folder() / L"pc.dsk");
}

TEST_F(ModalScreensTest, StartedOnATrackImageOfWhichNoSectorCanBeRead) {
  disk::TMSXDisk image;
  image.PrepareNewImage(false);
  std::vector<std::uint8_t> hfe = hfe::BuildHFE(image);
  std::fill(hfe.begin() + 1024, hfe.end(), std::uint8_t{0});  // the tracks after the track table
  WriteFile(Folder() / L"blank.hfe", hfe);
  ExpectStartAfterMessageLeavesTheScreen(Folder() / L"blank.hfe");
}

TEST_F(ModalScreensTest, StartedOnAFileThatIsNoTrackImage) {
  WriteFile(Folder() / L"junk.hfe", std::vector<std::uint8_t>(4000, 0x55));
  ExpectStartAfterMessageLeavesTheScreen(Folder() / L"junk.hfe");
}

// After start-up: a message box, the open, save, add-files and folder dialogs cancelled, the
// about box and the save question, each closed by its key over the shown main window.
TEST_F(ModalScreensTest, AfterEachModalWindowClosedOverTheMainWindow) {
  WriteFile(Folder() / L"notes.txt", disk_test::Pattern(100));
  Start();
  // Runs `command` with the fixture answering the file dialogs (the message boxes stay real).
  const auto answered = [this](const wchar_t* command) {
    ui::SetDialogHook([this](ui::TComponent& dialog) { return dialogs.Answer(dialog); });
    ChooseAction(command);
    ui::SetDialogHook({});
  };
  const struct {
    const char* name;
    WORD key;
    std::function<void()> open;
  } modals[] = {
      {"the message box for a file of no known kind", VK_RETURN,
       [&] {
         dialogs.openAnswers = {Folder() / L"notes.txt"};
         answered(L"acOpenDiskImage");
       }},
      {"the open dialog cancelled", VK_ESCAPE, [&] { ChooseAction(L"acOpenDiskImage"); }},
      {"the save dialog cancelled", VK_ESCAPE, [&] { ChooseAction(L"acSaveDiskImageAs"); }},
      {"the add-files dialog cancelled", VK_ESCAPE, [&] { ChooseAction(L"acAddFiles"); }},
      {"the about box closed", VK_ESCAPE, [&] { ChooseAction(L"acHelpAbout"); }},
      {"the folder dialog of an extraction cancelled", VK_ESCAPE,
       [&] {
         dialogs.addAnswers = {{Folder() / L"notes.txt"}};
         answered(L"acAddFiles");
         Select({L"NOTES"});
         ChooseAction(L"acExtractFiles");
       }},
      // The image has a file added since it was saved: a new image asks first.
      {"the save question cancelled", VK_ESCAPE, [&] { ChooseAction(L"acNewDiskImage"); }},
  };
  for (const auto& modal : modals) {
    ModalAnswer answer{form->Handle(), modal.key};
    answer.Run(modal.open);
    Pump();
    EXPECT_NE(answer.answered, nullptr) << modal.name << ": nothing shown";
    EXPECT_FALSE(answer.timedOut) << modal.name;
    EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle())) << "after " << modal.name;
  }
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace app::test
