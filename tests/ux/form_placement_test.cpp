// Form placement over a form without a window, the stored properties of components, and the
// string, date and application utilities.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "../ui/stand_in_components.h"
#include "fake_placement_host.h"
#include "ui/settings_store.h"
#include "ui/text.h"
#include "ux/app_utils.h"
#include "ux/date_util.h"
#include "ux/form_storage.h"
#include "ux/placement_host.h"
#include "ux/prop_info_list.h"
#include "ux/props_storage.h"
#include "ux/str_utils.h"

namespace ux {
namespace {

using ui::test::MainFormFixture;

// The write and erase log of an in-memory settings file as readable lines:
// "<section>: <ident>=<value>", "erase <section>", "delete <section>: <ident>".
std::vector<std::wstring> LogText(const ui::TMemIniFile& ini) {
  using Op = ui::TMemIniFile::Op;
  std::vector<std::wstring> lines;
  for (const ui::TMemIniFile::LogEntry& e : ini.Log()) {
    if (e.op == Op::Write)
      lines.push_back(e.section + L": " + e.ident + L"=" + e.value);
    else if (e.op == Op::EraseSection)
      lines.push_back(L"erase " + e.section);
    else
      lines.push_back(L"delete " + e.section + L": " + e.ident);
  }
  return lines;
}

// One opening of the shared in-memory settings; reads fail on demand.
class SharedStore : public ui::TCustomIniFile {
 public:
  SharedStore(ui::TMemIniFile& ini, bool failReads) : ini_(ini), failReads_(failReads) {}
  std::optional<std::wstring> Read(const std::wstring& s, const std::wstring& i) const override {
    if (failReads_) throw std::runtime_error("registry read failed");
    return ini_.Read(s, i);
  }
  void WriteString(const std::wstring& s, const std::wstring& i, const std::wstring& v) override {
    ini_.WriteString(s, i, v);
  }
  void DeleteKey(const std::wstring& s, const std::wstring& i) override { ini_.DeleteKey(s, i); }
  std::vector<std::wstring> ReadSection(const std::wstring& s) const override {
    return ini_.ReadSection(s);
  }
  std::vector<std::wstring> ReadSections() const override { return ini_.ReadSections(); }
  void EraseSection(const std::wstring& s) override { ini_.EraseSection(s); }

 private:
  ui::TMemIniFile& ini_;
  bool failReads_;
};

struct FakeAttachment : FormAttachment {
  FakeAttachment(FakePlacementHost& h, std::vector<bool>& states) : host(h), hookStates(states) {}
  PlacementHost& Host() override { return host; }
  void SetWindowHookActive(bool active) override { hookStates.push_back(active); }
  FakePlacementHost& host;
  std::vector<bool>& hookStates;
};

// A "TMainForm" with a form storage as the program sets it up: registry key, [fpPosition].
// The form comes last: destroying it still reaches the host and the records.
struct Fixture {
  FakePlacementHost host;
  ui::TMemIniFile ini;
  std::vector<bool> readOnlyOpens;  // one entry per opening
  std::vector<bool> hookStates;
  bool failReads = false;
  ui::test::MainFormFixture form;
  TFormStorage* storage = ui::Create<TFormStorage>(*form.form);

  Fixture() {
    storage->SetIniFileName(L"Software\\Kelpfin\\Quollbox");
    storage->SetOptions({TPlacementOption::fpPosition});
    storage->SetStoreFactory([this](const TSettingsStoreRequest& request) {
      readOnlyOpens.push_back(request.readOnly);
      EXPECT_EQ(request.fileName, L"Software\\Kelpfin\\Quollbox");
      return std::make_unique<SharedStore>(ini, failReads);
    });
    storage->AttachForm(std::make_unique<FakeAttachment>(host, hookStates));
    form.form->FinishLoading();
  }
  std::optional<std::wstring> Value(const std::wstring& ident) const {
    return ini.Read(L"TMainForm", ident);
  }
  // "name=value;name=value" into the form's section.
  void Store(std::wstring_view values) {
    while (!values.empty()) {
      const std::wstring_view pair = values.substr(0, values.find(L';'));
      const std::size_t equals = pair.find(L'=');
      ini.WriteString(L"TMainForm", std::wstring(pair.substr(0, equals)),
                      std::wstring(pair.substr(equals + 1)));
      values.remove_prefix(std::min(values.size(), pair.size() + 1));
    }
  }
};

TEST(FormPlacement, SaveWritesNamesFormatsAndOrder) {
  Fixture f;
  f.storage->StoredProps().Assign({L"RightMultiDock.Width"});
  f.form.form->FinishLoading();
  f.form.rightDock->SetWidth(250);
  f.storage->OnSavePlacement = [](TFormPlacement& p) {
    p.WriteInteger(L"BootCode", 2);
    p.WriteString(L"RemovableDrive", L"E:\\");
  };
  f.storage->FormShow();
  f.host.visible = true;  // the window is shown after the restore
  f.host.placement->showCmd = 1;
  f.ini.ClearLog();
  f.readOnlyOpens.clear();
  f.storage->FormCloseQuery(true);

  const std::vector<std::wstring> expected = {
      L"TMainForm: FormVersion=0",
      L"TMainForm: Flags=0",
      L"TMainForm: ShowCmd=1",
      L"TMainForm: PixelsPerInch=96",
      L"TMainForm: MinMaxPos(1280x1024)=-1,-1,-4,-4",
      L"TMainForm: MinMaxPos=-1,-1,-4,-4",
      L"TMainForm: NormPos(1280x1024)=100,50,988,700",
      L"TMainForm: NormPos=100,50,988,700",
      L"TMainForm: Visible=0",
      L"TMainForm: RightMultiDock_Width=250",
      L"TMainForm: BootCode=2",
      L"TMainForm: RemovableDrive=E:\\",
  };
  EXPECT_EQ(LogText(f.ini), expected);
  // The handler's values go through the store already open.
  EXPECT_EQ(f.readOnlyOpens, std::vector<bool>{false});
  EXPECT_EQ(f.storage->IniFileObject(), nullptr);
}

TEST(FormPlacement, ReadRules) {
  struct Case {
    const char* name;
    std::wstring_view stored;
    TFormBorderStyle border;
    std::optional<TRect> applied;  // the normal rectangle applied, or none
    TPoint minPosition{-1, -1};
  };
  constexpr auto kSizeable = TFormBorderStyle::bsSizeable;
  const Case cases[] = {
      {"suffixed wins", L"NormPos(1280x1024)=10,20,300,400;NormPos=1,2,3,4", kSizeable,
       TRect{10, 20, 300, 400}},
      {"plain only", L"NormPos=10,20,300,400", kSizeable, TRect{10, 20, 300, 400}},
      {"other density", L"NormPos=10,20,300,400;PixelsPerInch=120", kSizeable, std::nullopt},
      {"right not past left", L"NormPos=500,10,400,300", kSizeable, std::nullopt},
      {"bottom not past top", L"NormPos=100,900,800,50", kSizeable, std::nullopt},
      {"beyond window coordinates", L"NormPos=-2000000000,-2000000000,2000000000,2000000000",
       kSizeable, std::nullopt},
      {"larger than the screen", L"NormPos=-32768,-8,32767,4000", kSizeable,
       TRect{-32768, -8, 32767, 4000}},
      {"caption out of reach", L"NormPos=1270,1010,1900,1600", kSizeable,
       TRect{650, 434, 1280, 1024}},
      {"caption above the screen", L"NormPos=-5000,-300,-4000,200", kSizeable,
       TRect{0, 0, 1000, 500}},
      {"not sizeable keeps its size", L"NormPos=10,20,30,40", TFormBorderStyle::bsDialog,
       TRect{10, 20, 898, 670}},
      {"missing word takes the current", L"NormPos=10 20,30", kSizeable, TRect{10, 20, 30, 700}},
      {"bad min/max word is 0", L"MinMaxPos=x,5", kSizeable, TRect{100, 50, 988, 700}, {0, 5}},
      {"nothing stored", L"", kSizeable, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    f.host.borderStyle = c.border;
    f.Store(c.stored);
    f.Store(L"ShowCmd=3");  // position only: the stored state is never applied
    f.storage->FormShow();
    ASSERT_EQ(f.host.applied.size(), c.applied ? 2u : 1u);
    const TWindowPlacement last = f.host.applied.back();  // UpdatePlacement always applies last
    EXPECT_EQ(last.maxPosition, (TPoint{-4, -4}));
    EXPECT_EQ(last.showCmd, kSwHide);
    if (c.applied) {
      EXPECT_EQ(f.host.applied[0].normalPosition, *c.applied);
      EXPECT_EQ(f.host.applied[0].minPosition, c.minPosition);
    }
    EXPECT_EQ(f.host.windowState, TWindowState::wsNormal);
    EXPECT_EQ(f.readOnlyOpens, std::vector<bool>{true});
  }
}

TEST(FormPlacement, LifecycleGuards) {
  {  // never shown: a save writes nothing
    Fixture f;
    f.storage->SaveFormPlacement();
    f.storage->FormCloseQuery(true);
    f.storage->FormDestroy();
    EXPECT_TRUE(f.readOnlyOpens.empty());
  }
  {  // the form's own close query says no; no window handle at close
    Fixture f;
    f.storage->FormShow();
    f.storage->FormCloseQuery(false);
    f.host.handleAllocated = false;
    f.storage->FormCloseQuery(true);
    EXPECT_TRUE(f.ini.Log().empty());
  }
  {  // close, then destroy: written once, not visible
    Fixture f;
    f.storage->FormShow();
    f.storage->FormCloseQuery(true);
    f.storage->FormDestroy();
    const std::vector<std::wstring> log = LogText(f.ini);
    EXPECT_EQ(std::count(log.begin(), log.end(), L"TMainForm: FormVersion=0"), 1);
    EXPECT_EQ(f.Value(L"Visible"), L"0");
  }
  {  // destroyed without a close
    Fixture f;
    f.storage->FormShow();
    f.storage->FormDestroy();
    EXPECT_EQ(f.Value(L"Visible"), L"1");
  }
  {  // inactive: the hooks neither restore nor save
    Fixture f;
    f.storage->SetActive(false);
    f.storage->FormShow();
    f.storage->FormCloseQuery(true);
    f.storage->FormDestroy();
    EXPECT_TRUE(f.readOnlyOpens.empty());
  }
}

// Properties come before the handler; a failing store reaches the application's handler.
TEST(FormPlacement, RestoreOrderAndErrors) {
  Fixture f;
  f.Store(L"RightMultiDock_Width=77;BootCode=2");
  f.storage->StoredProps().Assign({L"RightMultiDock.Width"});
  f.form.form->FinishLoading();
  int bootCode = -1;
  f.storage->OnRestorePlacement = [&](TFormPlacement& p) {
    EXPECT_EQ(f.form.rightDock->Width(), 77);
    bootCode = p.ReadInteger(L"BootCode", 1);
  };
  f.storage->FormShow();
  EXPECT_EQ(bootCode, 2);
  EXPECT_EQ(f.readOnlyOpens.size(), 1u);
  EXPECT_TRUE(f.host.handledErrors.empty());

  Fixture failing;
  failing.failReads = true;
  failing.storage->FormShow();
  EXPECT_EQ(failing.host.handledErrors, std::vector<std::string>{"registry read failed"});
  EXPECT_EQ(failing.storage->IniFileObject(), nullptr);
}

// Outside a save or restore each single value opens the store and closes it again.
TEST(FormPlacement, SingleValues) {
  Fixture f;
  f.storage->WriteInteger(L"N", -5);
  EXPECT_EQ(f.storage->ReadInteger(L"N", 11), -5);
  EXPECT_EQ(f.storage->ReadInteger(L"Missing", 11), 11);
  EXPECT_EQ(f.storage->ReadString(L"Missing", L"def"), L"def");
  EXPECT_EQ(f.readOnlyOpens, (std::vector<bool>{false, true, true, true}));
  EXPECT_EQ(f.storage->IniFileObject(), nullptr);
}

// The open store shows under the property of the kind it was opened as, only while it is open.
TEST(FormPlacement, IniFileAndRegIniFileAreTheOpenStoreOfTheirKind) {
  for (const bool registry : {true, false}) {
    SCOPED_TRACE(registry ? "registry" : "INI file");
    Fixture f;
    f.storage->SetUseRegistry(registry);
    ui::TCustomIniFile* open = nullptr;
    ui::TCustomIniFile* ini = nullptr;
    ui::TCustomIniFile* reg = nullptr;
    f.storage->OnSavePlacement = [&](TFormPlacement& p) {
      p.SetUseRegistry(!registry);  // switching now does not change the open store's kind
      open = p.IniFileObject();
      ini = p.IniFile();
      reg = p.RegIniFile();
    };
    f.storage->FormShow();
    f.storage->FormCloseQuery(true);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(ini, registry ? nullptr : open);
    EXPECT_EQ(reg, registry ? open : nullptr);
    EXPECT_EQ(f.storage->IniFile(), nullptr);
    EXPECT_EQ(f.storage->RegIniFile(), nullptr);
  }
}

TEST(FormPlacement, StateIsAppliedOnlyWithFpState) {
  const struct {
    std::wstring showCmd;
    bool mainForm;
    std::vector<std::wstring> calls;
  } cases[] = {
      {L"3", true, {L"state 2", L"update"}},    {L"1", true, {L"state 0", L"update"}},
      {L"2", true, {L"record 0", L"minimize"}}, {L"7", false, {L"state 1", L"update"}},
      {L"42", true, {L"state 0", L"update"}},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.storage->SetOptions({TPlacementOption::fpState});
    f.host.mainForm = c.mainForm;
    f.Store(L"ShowCmd=" + c.showCmd);
    f.storage->FormShow();
    EXPECT_EQ(f.host.calls, c.calls) << c.showCmd;
  }
}

TEST(FormPlacement, AnOlderStoredVersionSkipsTheRestoreButNotTheNextSave) {
  Fixture f;
  f.storage->SetVersion(1);
  f.Store(L"FormVersion=0;NormPos=10,20,300,400;RightMultiDock_Width=77");
  f.form.rightDock->SetWidth(5);
  f.storage->StoredProps().Assign({L"RightMultiDock.Width"});
  f.form.form->FinishLoading();
  bool restoredEvent = false;
  f.storage->OnRestorePlacement = [&](TFormPlacement&) { restoredEvent = true; };
  f.storage->FormShow();
  EXPECT_FALSE(restoredEvent);
  EXPECT_EQ(f.form.rightDock->Width(), 5);
  EXPECT_EQ(f.host.applied.size(), 1u);  // UpdatePlacement only
  f.storage->FormCloseQuery(true);
  EXPECT_EQ(f.Value(L"FormVersion"), L"1");
  EXPECT_EQ(f.Value(L"RightMultiDock_Width"), L"5");
}

TEST(FormPlacement, EraseSectionsTakesTheSectionAndItsSubSections) {
  Fixture f;
  for (const wchar_t* section : {L"TMainForm", L"TMainForm.MRUList_Items", L"TMainForm\\Sub",
                                 L"TMainFormX", L"tmainform.other", L"TFileViewerForm"})
    f.ini.WriteString(section, L"v", L"1");
  f.storage->EraseSections();
  EXPECT_EQ(f.ini.ReadSections(),
            (std::vector<std::wstring>{L"TMainFormX", L"tmainform.other", L"TFileViewerForm"}));
}

// Values are saved as text and come back as text variants.
TEST(FormPlacement, StoredValues) {
  Fixture f;
  TStoredValues& values = f.storage->StoredValues();
  TStoredValue& plain = values.Add();
  plain.SetName(L"Plain");
  plain.Value = 2.5;
  TStoredValue& secret = values.Add();
  secret.SetName(L"Secret");
  secret.KeyString = "k3y";
  secret.Value = L"\u0416\u00e9!";
  secret.OnSave = [](TStoredValue&, ui::TVariant& v) { v = ui::VarToStr(v) + L"+"; };
  TStoredValue& unnamed = values.Add();
  unnamed.SetName(L"");
  EXPECT_THROW(values.Add().SetName(L"PLAIN"), std::exception);
  EXPECT_EQ(values.IndexOf(L"secret"), 1);
  EXPECT_EQ(values.IndexOf(L"none"), -1);

  f.storage->FormShow();
  f.storage->FormCloseQuery(true);
  EXPECT_EQ(f.Value(L"Plain"), L"2.5");
  const std::wstring stored = f.Value(L"Secret").value_or(L"");
  EXPECT_EQ(stored.size(), 12u);  // five UTF-8 bytes and "+" as hexadecimal pairs
  plain.Value = {};
  secret.Value = {};
  f.storage->FormShow();
  EXPECT_EQ(plain.Value, L"2.5");
  EXPECT_EQ(secret.Value, L"\u0416\u00e9!+");
}

TEST(FormPlacement, RemovedComponentsLeaveTheStoredList) {
  Fixture f;
  f.storage->StoredProps().Assign({L"RightMultiDock.Width", L"LeftMultiDock.Width", L"Ghost.X"});
  f.form.form->FinishLoading();
  EXPECT_EQ(f.storage->StoredProps().Count(), 2);
  ui::Free(f.form.leftDock);
  EXPECT_EQ(f.storage->StoredProps().ToVector(),
            std::vector<std::wstring>{L"RightMultiDock.Width"});
}

TEST(FormPlacement, SizeLimitsAndPreventResize) {
  Fixture f;
  EXPECT_EQ(f.hookStates, std::vector<bool>{false});  // no limit: no hook
  f.storage->MinMaxInfo().SetMinTrackWidth(300);
  EXPECT_EQ(f.hookStates.back(), true);
  EXPECT_EQ(f.host.applied.size(), 0u);  // a limit stops UpdatePlacement

  TMinMaxRecord record{};
  record.maxPosition = {-4, -4};
  TMessage getMinMax{0x0024, 0, 0, 0};
  EXPECT_TRUE(f.storage->WndMessage(getMinMax, &record, nullptr));
  EXPECT_EQ(record.minTrackSize.x, 300);
  EXPECT_EQ(record.minTrackSize.y, 0);
  EXPECT_EQ(record.maxPosition, (TPoint{-4, -4}));

  f.storage->MinMaxInfo().SetMinTrackWidth(0);
  EXPECT_EQ(f.hookStates.back(), false);
  EXPECT_TRUE(f.storage->WndMessage(getMinMax, &record, nullptr));
  EXPECT_EQ(record.maxPosition, (TPoint{0, 0}));

  f.host.visible = true;
  f.storage->SetPreventResize(true);
  EXPECT_EQ(f.hookStates.back(), true);
  EXPECT_FALSE(f.host.MaximizeIcon());
  EXPECT_TRUE(f.storage->WndMessage(getMinMax, &record, nullptr));
  EXPECT_EQ(record.minTrackSize, (TPoint{888, 650}));
  EXPECT_EQ(record.maxTrackSize, (TPoint{888, 650}));
  TMessage hit{0x0084, 0, 0, 11};
  EXPECT_TRUE(f.storage->WndMessage(hit, nullptr, nullptr));
  EXPECT_EQ(hit.result, 0);
  hit.result = 1;  // client area stays
  EXPECT_FALSE(f.storage->WndMessage(hit, nullptr, nullptr));
  bool greyed = false;
  TMessage sysMenu{0x0117, 0, 1 << 16, 0};
  EXPECT_TRUE(f.storage->WndMessage(sysMenu, nullptr, [&] { greyed = true; }));
  EXPECT_TRUE(greyed);

  f.storage->SetPreventResize(false);
  EXPECT_TRUE(f.host.MaximizeIcon());
  EXPECT_EQ(f.hookStates.back(), false);
}

// Every limit that is set overrides its member, a negative one too (-4 is the usual maximised
// position: the frame off the screen); 0 leaves the member alone.
TEST(FormPlacement, EachSetLimitOverridesItsMember) {
  using Setter = void (TWinMinMaxInfo::*)(int);
  const struct {
    Setter set;
    TPoint TMinMaxRecord::*member;
    bool y;
  } limits[] = {
      {&TWinMinMaxInfo::SetMaxPosLeft, &TMinMaxRecord::maxPosition, false},
      {&TWinMinMaxInfo::SetMaxPosTop, &TMinMaxRecord::maxPosition, true},
      {&TWinMinMaxInfo::SetMaxSizeWidth, &TMinMaxRecord::maxSize, false},
      {&TWinMinMaxInfo::SetMaxSizeHeight, &TMinMaxRecord::maxSize, true},
      {&TWinMinMaxInfo::SetMaxTrackWidth, &TMinMaxRecord::maxTrackSize, false},
      {&TWinMinMaxInfo::SetMaxTrackHeight, &TMinMaxRecord::maxTrackSize, true},
      {&TWinMinMaxInfo::SetMinTrackWidth, &TMinMaxRecord::minTrackSize, false},
      {&TWinMinMaxInfo::SetMinTrackHeight, &TMinMaxRecord::minTrackSize, true},
  };
  for (std::size_t i = 0; i < std::size(limits); ++i) {
    for (const int value : {-4, 640}) {
      SCOPED_TRACE(testing::Message() << "limit " << i << " value " << value);
      TWinMinMaxInfo info(nullptr);
      (info.*limits[i].set)(value);
      EXPECT_FALSE(info.DefaultMinMaxInfo());
      TMinMaxRecord record{{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}};
      const TMinMaxRecord before = record;
      info.ApplyTo(record);
      TPoint expected = before.*limits[i].member;
      (limits[i].y ? expected.y : expected.x) = value;
      EXPECT_EQ(record.*limits[i].member, expected);
      (record.*limits[i].member) = before.*limits[i].member;  // the others are untouched
      for (TPoint TMinMaxRecord::*other :
           {&TMinMaxRecord::reserved, &TMinMaxRecord::maxSize, &TMinMaxRecord::maxPosition,
            &TMinMaxRecord::minTrackSize, &TMinMaxRecord::maxTrackSize})
        EXPECT_EQ(record.*other, before.*other);
    }
  }
}

// A form that sets PreventResize in its constructor, before the component is attached to it:
// the end of loading applies it.
TEST(FormPlacement, PreventResizeSetBeforeTheFormIsAttached) {
  FakePlacementHost host;  // outlives the form, whose component reports to it
  std::vector<bool> hookStates;
  ui::test::MainFormFixture form;
  auto* placement = ui::Create<TFormPlacement>(*form.form);
  placement->SetPreventResize(true);
  placement->AttachForm(std::make_unique<FakeAttachment>(host, hookStates));
  form.form->FinishLoading();
  EXPECT_TRUE(placement->PreventResize());
  EXPECT_FALSE(host.MaximizeIcon());
  EXPECT_EQ(hookStates, std::vector<bool>{true});
  placement->SetPreventResize(false);  // the icon the form had at attachment comes back
  EXPECT_TRUE(host.MaximizeIcon());
  EXPECT_EQ(hookStates.back(), false);
}

// A props storage bound to an in-memory settings file, section "TMainForm".
struct Storage {
  ui::TMemIniFile ini;
  TPropsStorage storage;
  ui::TComponent* otherOwner = nullptr;

  Storage() {
    storage.SetSection(L"TMainForm");
    storage.OnReadString = [this](const std::wstring& s, const std::wstring& i,
                                  const std::wstring& d) { return ini.ReadString(s, i, d); };
    storage.OnWriteString = [this](const std::wstring& s, const std::wstring& i,
                                   const std::wstring& v) { ini.WriteString(s, i, v); };
    storage.OnEraseSection = [this](const std::wstring& s) { ini.EraseSection(s); };
    storage.OnFindOwner = [this](std::wstring_view name) -> ui::TComponent* {
      return otherOwner && otherOwner->Name() == name ? otherOwner : nullptr;
    };
  }
  std::optional<std::wstring> Value(const std::wstring& ident) const {
    return ini.Read(L"TMainForm", ident);
  }
};

// One entry of each kind the main window stores, written in the list's order: an integer, a
// string list, a component of the same form and none.
TEST(PropsStorage, StoresEachKindOfTheMainWindowsEntries) {
  MainFormFixture f;
  f.mruList->Items()->Assign({L"C:\\Images\\b.dsk", L"C:\\Images\\a.dsk"});
  f.openDialog->SetFileTypeIndex(2);
  f.fileListPanel->SetCurrentDock(f.rightDock);
  ui::TStringList list({L"NewFileOpenDialog.FileTypeIndex", L"MRUList.Items",
                        L"FileListPanel.CurrentDock", L"FolderBrowserPanel.CurrentDock"});
  UpdateStoredList(f.form.get(), list, true);
  Storage s;
  s.storage.StoreObjectsProps(f.form.get(), list);
  const std::vector<std::wstring> expected = {
      L"TMainForm: NewFileOpenDialog_FileTypeIndex=2",
      L"erase TMainForm.MRUList_Items",
      L"TMainForm.MRUList_Items: Count=2",
      L"TMainForm.MRUList_Items: Item0=C:\\Images\\b.dsk",
      L"TMainForm.MRUList_Items: Item1=C:\\Images\\a.dsk",
      L"TMainForm: FileListPanel_CurrentDock=RightMultiDock",
      L"TMainForm: FolderBrowserPanel_CurrentDock=(null)",
  };
  EXPECT_EQ(LogText(s.ini), expected);
}

TEST(PropsStorage, StringLists) {
  MainFormFixture f;
  ui::TStringList list({L"MRUList.Items"});
  UpdateStoredList(f.form.get(), list, true);
  Storage s;

  s.storage.StoreObjectsProps(f.form.get(), list);  // empty list: erased, nothing written
  EXPECT_EQ(LogText(s.ini), std::vector<std::wstring>{L"erase TMainForm.MRUList_Items"});

  f.mruList->Items()->Assign({L"kept"});
  s.storage.LoadObjectsProps(f.form.get(), list);  // no count: unchanged
  EXPECT_EQ(f.mruList->Items()->ToVector(), std::vector<std::wstring>{L"kept"});

  // A line missing inside the count is skipped rather than brought back empty; a damaged count
  // reads no further than the cap.
  s.ini.SetSections(
      {{L"TMainForm.MRUList_Items", {{L"Count", L" 3 "}, {L"Item0", L"x"}, {L"Item2", L"z"}}}});
  s.storage.LoadObjectsProps(f.form.get(), list);
  EXPECT_EQ(f.mruList->Items()->ToVector(), (std::vector<std::wstring>{L"x", L"z"}));
  s.ini.SetSections({{L"TMainForm.MRUList_Items", {{L"Count", L"2000000000"}, {L"Item0", L"x"}}}});
  int reads = 0;
  auto read = s.storage.OnReadString;
  s.storage.OnReadString = [&](const std::wstring& a, const std::wstring& b,
                               const std::wstring& c) {
    ++reads;
    return read(a, b, c);
  };
  s.storage.LoadObjectsProps(f.form.get(), list);
  EXPECT_EQ(f.mruList->Items()->ToVector(), std::vector<std::wstring>{L"x"});
  EXPECT_LE(reads, kMaxStoredLines + 2);
}

TEST(PropsStorage, ComponentReferencesOnLoad) {
  MainFormFixture f;
  auto other = ui::New<ui::test::TStandInForm>(L"TOtherForm");
  other->SetName(L"OtherForm");
  auto* otherDock = ui::Create<ui::test::TDock>(*other);
  otherDock->SetName(L"Dock");

  const struct {
    std::wstring stored;
    ui::test::TDock* expected;
  } cases[] = {
      {L"", f.rightDock},                  // empty: unchanged
      {L"(NULL)", nullptr},                // none in any case
      {L"NoSuchDock", nullptr},            // not owned: none
      {L" LeftMultiDock ", f.leftDock},    // trimmed and found
      {L"MRUList", f.rightDock},           // wrong class: unchanged
      {L"Nobody.X", f.rightDock},          // unknown owner: unchanged
      {L"OtherForm.Dock", otherDock},      // another form's component
      {L" OtherForm . Nothing", nullptr},  // owner known, component not
  };
  ui::TStringList list({L"FileListPanel.CurrentDock"});
  UpdateStoredList(f.form.get(), list, true);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    Storage s;
    s.otherOwner = other.get();
    s.ini.WriteString(L"TMainForm", L"FileListPanel_CurrentDock", c.stored);
    f.fileListPanel->SetCurrentDock(f.rightDock);
    s.storage.LoadObjectsProps(f.form.get(), list);
    EXPECT_EQ(f.fileListPanel->CurrentDock(), c.expected);
  }

  // Stored: another owner's component is "<owner>.<name>"; an unnamed owner gives its class
  // name less the "T".
  Storage s;
  f.fileListPanel->SetCurrentDock(otherDock);
  s.storage.StoreObjectsProps(f.form.get(), list);
  EXPECT_EQ(s.Value(L"FileListPanel_CurrentDock"), L"OtherForm.Dock");
  other->SetName(L"");
  s.storage.StoreObjectsProps(f.form.get(), list);
  EXPECT_EQ(s.Value(L"FileListPanel_CurrentDock"), L"OtherForm.Dock");
}

TEST(PropsStorage, SettingsNeverRenameComponents) {
  MainFormFixture f;
  ui::TStringList list({L"MRUList.Name"});
  UpdateStoredList(f.form.get(), list, true);
  for (const wchar_t* stored : {L"", L"RightMultiDock", L"Other"}) {
    SCOPED_TRACE(stored);
    Storage s;
    s.ini.WriteString(L"TMainForm", L"MRUList_Name", stored);
    s.storage.LoadObjectsProps(f.form.get(), list);
    EXPECT_EQ(f.mruList->Name(), L"MRUList");
  }
}

TEST(PropsStorage, StoredList) {
  std::wstring comp;
  std::wstring prop;
  EXPECT_TRUE(ParseStoredItem(L" MRUList . Items ", comp, prop));
  EXPECT_EQ(comp, L"MRUList");
  EXPECT_EQ(prop, L"Items");
  EXPECT_TRUE(ParseStoredItem(L"A.B.C", comp, prop));
  EXPECT_EQ(prop, L"B.C");
  for (std::wstring_view bad : {L"MRUList.", L".Items", L"X", L" . "})
    EXPECT_FALSE(ParseStoredItem(bad, comp, prop)) << std::wstring(bad);
  EXPECT_EQ(CreateStoredItem(L"A", L"B"), L"A.B");
  EXPECT_EQ(CreateStoredItem(L"", L"B"), L"");
  EXPECT_EQ(CreateStoredItem(L"A", L""), L"");

  MainFormFixture f;
  ui::TStringList list({L"MRUList.Items", L"Ghost.Width", L"bad", L"RightMultiDock.NoSuchProp",
                        L"RightMultiDock.Width"});
  UpdateStoredList(f.form.get(), list, true);
  EXPECT_EQ(list.ToVector(),
            (std::vector<std::wstring>{L"MRUList.Items", L"RightMultiDock.NoSuchProp",
                                       L"RightMultiDock.Width"}));
  EXPECT_EQ(StoredComponent(list, 2), f.rightDock);

  f.rightDock->SetName(L"EastDock");
  f.rightDock->SetWidth(99);
  Storage s;
  s.storage.StoreObjectsProps(f.form.get(), list);
  EXPECT_EQ(list.Get(2), L"EastDock.Width");
  EXPECT_EQ(s.Value(L"EastDock_Width"), L"99");
  EXPECT_FALSE(s.Value(L"EastDock_NoSuchProp"));
  EXPECT_FALSE(s.Value(L"RightMultiDock_Width"));
}

TEST(PropsStorage, CollectionsAndVariants) {
  MainFormFixture f;
  ui::test::TGrid* grid = f.grid;
  ui::TStringList list({L"Grid.Columns", L"Grid.Hint"});
  UpdateStoredList(f.form.get(), list, true);
  static_cast<ui::test::TColumn&>(grid->columns.Add()).caption = L"Name";
  grid->columns.Column(0).width = 0.25;
  grid->columns.Add();
  Storage s;
  s.storage.StoreObjectsProps(f.form.get(), list);
  const std::vector<std::wstring> expected = {
      L"erase TMainForm.Grid_Columns",
      L"TMainForm: Grid_Columns.Count=2",
      L"TMainForm.Grid_Columns: Item0_Caption=Name",
      L"TMainForm.Grid_Columns: Item0_Width=0.25",
      L"TMainForm.Grid_Columns: Item1_Caption=",
      L"TMainForm.Grid_Columns: Item1_Width=1",
      L"TMainForm: Grid_Hint=",  // an empty variant is written, like a string
  };
  EXPECT_EQ(LogText(s.ini), expected);

  // A damaged count keeps the items there are, which still load their values.
  const struct {
    std::wstring count;
    int expectedCount;
  } cases[] = {{L"2", 2}, {L"1", 1}, {L"-1", 3}, {L"x", 3}, {L"257", 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    grid->columns.Clear();
    for (int i = 0; i < 3; ++i) grid->columns.Add();
    grid->columns.updates = 0;
    grid->hint = {};
    s.ini.WriteString(L"TMainForm", L"Grid_Columns.Count", c.count);
    s.ini.WriteString(L"TMainForm", L"Grid_Hint", L" 2.5 ");
    s.storage.LoadObjectsProps(f.form.get(), list);
    EXPECT_EQ(grid->columns.Count(), c.expectedCount);
    EXPECT_EQ(grid->columns.updates, 1);
    EXPECT_EQ(grid->columns.Column(0).caption, L"Name");
    EXPECT_EQ(grid->columns.Column(0).width, 0.25);
    EXPECT_EQ(grid->hint, ui::TVariant(L"2.5"));  // an empty variant is loaded too
  }
}

TEST(PropInfoList, FiltersSortsFindsAndIntersects) {
  MainFormFixture f;
  TPropInfoList panel(f.fileListPanel, AllTypeKinds());
  ASSERT_NE(panel.Find(L"dockpos"), nullptr);
  EXPECT_EQ(panel.Find(L"Width"), nullptr);
  for (int i = 1; i < panel.Count(); ++i)
    EXPECT_LT(ui::CompareText(panel.Items(i - 1)->name, panel.Items(i)->name), 0);

  TPropInfoList integers(f.fileListPanel, {ui::TypeKind::Integer});
  EXPECT_TRUE(panel.Contains(integers.Find(L"DockPos")));
  EXPECT_EQ(integers.Find(L"CurrentDock"), nullptr);
  panel.Intersect(integers);
  EXPECT_EQ(panel.Count(), integers.Count());
  EXPECT_NE(panel.Find(L"DockPos"), nullptr);
  EXPECT_EQ(TPropInfoList(nullptr, AllTypeKinds()).Count(), 0);
}

struct WordCase {
  std::wstring_view text;
  int n;
  std::wstring_view word;
  int position;
};

TEST(StrUtils, WordsAreMaximalRunsOutsideTheDelimiters) {
  const WordCase cases[] = {
      {L"10,20,,30", 1, L"10", 1},
      {L"10,20,,30", 3, L"30", 8},
      {L"10,20,,30", 4, L"", 0},
      {L",  5", 1, L"5", 4},
      {L"", 1, L"", 0},
      {L"a b", 0, L"", 0},
      {L"a b", -1, L"", 0},
      {L"[a, b]", 2, L"b", 5},
  };
  for (const WordCase& c : cases) {
    SCOPED_TRACE(std::wstring(c.text) + L" #" + std::to_wstring(c.n));
    EXPECT_EQ(ExtractWord(c.n, c.text, kSetDelims), c.word);
    EXPECT_EQ(WordPosition(c.n, c.text, kSetDelims), c.position);
  }
  EXPECT_EQ(WordCount(L"10,20,,30", kListDelims), 3);
  EXPECT_EQ(WordCount(L" ,, ", kListDelims), 0);
  EXPECT_EQ(WordCount(L"", kListDelims), 0);
  EXPECT_EQ(WordCount(L"x", kListDelims), 1);
}

TEST(StrUtils, ReplaceStrContinuesAfterEachReplacement) {
  struct Case {
    std::wstring_view s, search, replace, expected;
  };
  const Case cases[] = {
      {L"1,5", L",", L".", L"1.5"}, {L"aaa", L"aa", L"b", L"ba"}, {L"a", L"a", L"aa", L"aa"},
      {L"abc", L"", L"x", L"abc"},  {L"", L"a", L"b", L""},       {L"xax", L"a", L"", L"xx"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplaceStr(c.s, c.search, c.replace), c.expected);
}

TEST(StrUtils, WildPosMatchesQuestionMarksAnywhere) {
  EXPECT_EQ(WildPos(L"b?d", L"abcde"), 2);
  EXPECT_EQ(WildPos(L"bc", L"abc"), 2);
  EXPECT_EQ(WildPos(L"x", L"abc"), 0);
  EXPECT_EQ(WildPos(L"?", L""), 0);
  EXPECT_EQ(WildPos(L"", L"abc"), 0);
}

TEST(StrUtils, IsWild) {
  struct Case {
    std::wstring_view input, wilds;
    bool ignoreCase, expected;
  };
  const Case cases[] = {
      {L"tmainform.x", L"TMainForm.*", true, true},
      {L"axyb", L"a**b", false, true},
      {L"", L"*", false, true},
      {L"", L"", false, true},
      {L"a", L"", false, false},
      {L"", L"a", false, false},
      {L"abc", L"a?c", false, true},
      {L"abd", L"ab*bd", false, false},
      {L"abxbd", L"ab*bd", false, true},
      {L"abc", L"ab", false, false},
      {L"ab", L"abc*", false, false},
      {L"aXbYc", L"a*b*c", false, true},
      {L"aXcYb", L"a*b*c", false, false},
      {L"abz", L"a?*z", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::wstring(c.input) + L" ~ " + std::wstring(c.wilds));
    EXPECT_EQ(IsWild(c.input, c.wilds, c.ignoreCase), c.expected);
  }
}

TEST(StrUtils, XorEncodeDecode) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(XorDecode("k3y", XorEncode("k3y", all)), all);
  EXPECT_EQ(XorDecode("", XorEncode("", all)), all);

  EXPECT_EQ(XorEncode("", "AZ\xFF"), "415aff");
  EXPECT_EQ(XorEncode("ab", "aab"), "000303");
  EXPECT_EQ(XorDecode("", "zz"), " ");
  EXPECT_EQ(XorDecode("A", "zz"), std::string(1, ' ' ^ 'A'));
  EXPECT_EQ(XorDecode("", "41a"), "A");
  EXPECT_EQ(XorDecode("", "4A"), "J");
  EXPECT_EQ(XorDecode("", "4g41"), " A");
}

TEST(DateUtil, FourDigitYearsAreNotedFromTheShortDateFormat) {
  EXPECT_TRUE(HasFourDigitYear(L"dd/MM/yyyy"));
  EXPECT_TRUE(HasFourDigitYear(L"YYYY-MM-DD"));
  EXPECT_FALSE(HasFourDigitYear(L"d/M/yy"));
  EXPECT_FALSE(HasFourDigitYear(L""));
}

TEST(AppUtils, DefaultKeyAndIniName) {
  const std::wstring exe = ApplicationExeName();
  ASSERT_FALSE(exe.empty());
  const std::wstring program = exe.substr(0, exe.find_last_of(L'.'));
  EXPECT_EQ(GetDefaultIniRegKey(), L"Software\\" + program);
  AppDefaults().DefaultCompany = L"Kelpfin";
  EXPECT_EQ(GetDefaultIniRegKey(), L"Software\\Kelpfin\\" + program);
  EXPECT_EQ(GetDefaultIniName(), program + L".INI");
  AppDefaults().DefaultIniNameProc = [] { return std::wstring(L"custom.ini"); };
  EXPECT_EQ(GetDefaultIniName(), L"custom.ini");
  AppDefaults() = {};
}

}  // namespace
}  // namespace ux
