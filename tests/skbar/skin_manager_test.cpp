// The skin manager: effective skin type, choosing skins by name, the skins list, skin files and
// the change announcement.
#include <gtest/gtest.h>

#include <fstream>

#include "rtl/temp_folder.h"
#include "skbar/default_skins.h"
#include "skbar/skin_fixture.h"
#include "ui/ini_file.h"

namespace skbar {
namespace {

class SkinManagerTest : public SkinTest {
 protected:
  // Registers a counter of skin-change messages under the key `this`.
  void Listen() {
    Manager().AddSkinNotification(this, [this](TSkBarMessage& message) {
      if (message.Msg == WM_SKINCHANGE && message.WParam == 0 && message.LParam == 0) ++messages;
    });
  }
  ~SkinManagerTest() override { Manager().RemoveSkinNotification(this); }

  int messages = 0;
};

TEST_F(SkinManagerTest, EffectiveSkinType) {
  EXPECT_EQ(Manager().GetSkinType(), sknNone);
  EXPECT_EQ(SkEffectiveSkinType(sknSkin), sknNone);
  platform.themes = true;
  EXPECT_EQ(Manager().GetSkinType(), sknWindows);
  EXPECT_EQ(SkEffectiveSkinType(sknNone), sknNone);
  Manager().SetThemesOverride(false);
  EXPECT_EQ(Manager().GetSkinType(), sknNone);
  Manager().SetThemesOverride(std::nullopt);
  Manager().SetSkin(L"Office XP");
  EXPECT_EQ(Manager().GetSkinType(), sknSkin);
  EXPECT_EQ(SkEffectiveSkinType(sknSkin), sknSkin);
  EXPECT_EQ(SkEffectiveSkinType(sknWindows), sknWindows);
}

TEST_F(SkinManagerTest, SetSkinByNameAndBroadcast) {
  Listen();
  Listen();  // a second registration of the same object is ignored
  int events = 0;
  Manager().OnSkinChange = [&](TSkBarSkinManager& sender) {
    EXPECT_EQ(&sender, &Manager());
    EXPECT_EQ(events++, messages - 1);  // after the messages
  };
  struct Step {
    const wchar_t* name;
    const wchar_t* current;
    int messages;
  };
  const Step steps[] = {
      {L"office xp", L"Office XP", 1}, {L"OFFICE XP", L"Office XP", 1},
      {L"Nonesuch", L"Office XP", 1},  {L"default", L"Default", 2},
      {L"Default", L"Default", 2},     {L"Office 2007 Blue", L"Office 2007 Blue", 3},
      {L"", L"Office 2007 Blue", 3},
  };
  for (const auto& step : steps) {
    Manager().SetSkin(step.name);
    EXPECT_EQ(Manager().CurrentSkinName(), step.current) << ui::Utf8FromWide(step.name);
    EXPECT_EQ(messages, step.messages) << ui::Utf8FromWide(step.name);
  }
  EXPECT_EQ(events, 3);
  Manager().OnSkinChange = nullptr;
  Manager().RemoveSkinNotification(this);
  Manager().RemoveSkinNotification(this);  // absent: nothing
  Manager().SetToDefaultSkin();
  EXPECT_EQ(messages, 3);
}

TEST_F(SkinManagerTest, HandlerThatUnregistersAnother) {
  int first = 0, second = 0;
  Manager().AddSkinNotification(&first, [&](TSkBarMessage&) {
    ++first;
    Manager().RemoveSkinNotification(&second);
  });
  Manager().AddSkinNotification(&second, [&](TSkBarMessage&) { ++second; });
  Manager().BroadcastSkinNotification();
  Manager().RemoveSkinNotification(&first);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 0);
}

TEST_F(SkinManagerTest, SkinsListRegistrationAndNames) {
  auto& list = Manager().SkinsList();
  ui::TStringList names;
  list.GetSkinNames(names);
  EXPECT_EQ(names.ToVector(),
            (std::vector<std::wstring>{L"Default", L"Aluminum", L"Athen", L"Dream", L"Eos",
                                       L"Human", L"Leopard", L"Xito", L"Office XP", L"Office 2003",
                                       L"Office 2007 Blue", L"Office 2007 Black",
                                       L"Office 2007 Silver"}));
  EXPECT_EQ(list.AddSkin(L"eos", MakeSkin<TSkBarEosSkin>), -1);
  EXPECT_EQ(list.AddSkin(L"", MakeSkin<TSkBarEosSkin>), -1);
  EXPECT_EQ(list.AddSkin(L"DEFAULT", MakeSkin<TSkBarEosSkin>), -1);

  struct Case {
    std::vector<std::wstring> text;
    const wchar_t* name;  // null: refused
  };
  const Case cases[] = {
      {{L"[Skin]", L"Name=  Plain  "}, L"Plain"},
      {{L"[Other]", L"Name=First", L"[Skin]", L"Name=Second"}, L"First"},  // anywhere
      {{L"[Skin]", L"Name=Without", L"Name =With blank"}, L"With blank"},
      {{L"[Skin]", L"Author=x"}, nullptr},
      {{L"[Skin]", L"Name=default"}, nullptr},  // the empty skin's name
      {{L"[Skin]", L"Name=plain"}, nullptr},    // already listed, ignoring case
  };
  for (const auto& c : cases) {
    const int index = list.AddSkin(c.text);
    if (!c.name) {
      EXPECT_EQ(index, -1);
      continue;
    }
    ASSERT_GE(index, 0) << ui::Utf8FromWide(c.name);
    EXPECT_EQ(list.Names(index), c.name);
    EXPECT_EQ(list.Entries(index).SkinStrings, c.text);
    EXPECT_EQ(list.Entries(index).SkinClass, nullptr);
  }
  list.Delete(99);
  list.Delete(list.IndexOf(L"First"));
  EXPECT_EQ(list.IndexOf(L"First"), -1);
}

TEST_F(SkinManagerTest, SkinsFromFilesAndFolders) {
  TTempFolder folder;
  const auto write = [&](const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  };
  write(folder / "b" / "Skin.ini", "[Skin]\r\nName=Bee\r\n[Dock]\r\nNormal.Body=0, clRed\r\n");
  write(folder / "a" / "Skin.ini", "\xEF\xBB\xBF[Skin]\nName=Ay\n");
  write(folder / "c" / "other.ini", "[Skin]\nName=Sea\n");
  write(folder / "Skin.ini", "[Skin]\nName=Top\n");
  auto& list = Manager().SkinsList();
  list.AddSkinsFromFolder((folder / "missing").wstring());
  EXPECT_EQ(list.Count(), 12);
  list.AddSkinsFromFolder(folder.Path().wstring());
  ASSERT_EQ(list.Count(), 14);
  EXPECT_EQ(list.Names(12), L"Ay");
  EXPECT_EQ(list.Names(13), L"Bee");
  EXPECT_EQ(list.AddSkinFromFile((folder / "none.ini").wstring()), -1);
  // A file past the size limit is not read, by the list or by the current skin.
  const std::string huge = "[Skin]\nName=Huge\n[Dock]\nNormal.Body=0, clRed\n;";
  write(folder / "huge.ini", huge + std::string(kMaxSkinFileBytes + 1 - huge.size(), 'x'));
  EXPECT_EQ(list.AddSkinFromFile((folder / "huge.ini").wstring()), -1);
  Manager().LoadFromFile((folder / "huge.ini").wstring());
  EXPECT_EQ(Manager().CurrentSkinName(), L"Default");

  // A file skin becomes current through a plain skin that loads its text.
  Manager().SetSkin(L"bee");
  EXPECT_EQ(Manager().CurrentSkinName(), L"Bee");
  EXPECT_EQ(Manager().CurrentSkin().Options(skncDock).Body, (TSkBarSkinOptionEntry{0, ui::clRed}));
  EXPECT_EQ(Manager().GetSkinType(), sknSkin);
}

TEST_F(SkinManagerTest, BadFileSkinLeavesTheCurrentSkin) {
  Listen();
  Manager().SetSkin(L"Athen");
  ASSERT_GE(Manager().SkinsList().AddSkin(
                {L"[Skin]", L"Name=Broken", L"[Dock]", L"Normal.TextColor=nope"}),
            0);
  EXPECT_THROW(Manager().SetSkin(L"Broken"), ESkinError);
  EXPECT_EQ(Manager().CurrentSkinName(), L"Athen");
  EXPECT_FALSE(Manager().CurrentSkin().Options(skncToolbar).IsEmpty());
  EXPECT_EQ(messages, 1);

  TTempFolder folder;
  const auto file = (folder / "bad.ini").wstring();
  std::ofstream(folder / "bad.ini") << "[Skin]\nName=Half\n[Dock]\nNormal.Body=0, clRed\n"
                                       "[Popup]\nNormal.TextColor=nope\n";
  EXPECT_THROW(Manager().LoadFromFile(file), ESkinError);
  EXPECT_EQ(Manager().CurrentSkinName(), L"Athen");
  EXPECT_EQ(Manager().CurrentSkin().Options(skncDock).Body.Color1, 0xE0E0E0u);
  Manager().LoadFromFile((folder / "missing.ini").wstring());
  EXPECT_EQ(messages, 1);
}

TEST_F(SkinManagerTest, SaveAndLoadTheCurrentSkin) {
  TTempFolder folder;
  const auto file = (folder / "skin.ini").wstring();
  std::ofstream(folder / "skin.ini") << "[Notes]\nKeep=yes\n";
  Manager().SetSkin(L"Human");
  Manager().CurrentSkin().SetSkinAuthor(L"Ünal");
  Manager().SaveToFile(file);
  Manager().SetToDefaultSkin();
  Listen();
  Manager().LoadFromFile(file);
  EXPECT_EQ(messages, 1);
  EXPECT_EQ(Manager().CurrentSkinName(), L"Human");
  EXPECT_EQ(Manager().CurrentSkin().SkinAuthor(), L"Ünal");
  EXPECT_EQ(Manager().CurrentSkin().Options(skncMenuItem, sknsHotTrack).Body,
            (TSkBarSkinOptionEntry{1, 0xACDEFE, 0x7BC5F5}));
  EXPECT_EQ(ui::TIniFile(folder / "skin.ini").Read(L"Notes", L"Keep"), L"yes");
}

TEST(SkinManagerLifetime, NotMadeAgainAfterShutDown) {
  // In a child process: the shut-down is for good.
  EXPECT_EXIT(
      {
        TFakePlatform platform;  // no visual styles
        SkSetPlatform(&platform);
        int calls = 0;
        SkBarSkinManager()->AddSkinNotification(&calls, [&](TSkBarMessage&) { ++calls; });
        SkFinalizeSkinManager();
        SkRemoveSkinNotification(&calls);  // harmless
        const bool ok = SkBarSkinManager() == nullptr && SkCurrentSkin().SkinName() == L"Default" &&
                        SkEffectiveSkinType(sknSkin) == sknNone && calls == 0;
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace skbar
