// Light stand-ins for the main window's stored components: docks with a width, dockable panels
// with a dock reference and position, recent-file lists with their lines, dialogs with a file
// type index, a component with an enumeration, a set and a text, and a grid with a collection of
// columns and a variant.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/collection.h"
#include "ui/component.h"
#include "ui/properties.h"
#include "ui/strings.h"

namespace ux::test {

class TStandInForm : public ui::TComponent {
 public:
  explicit TStandInForm(ui::TComponent* owner, std::wstring_view className = L"TMainForm")
      : ui::TComponent(owner), className_(className) {}
  std::wstring_view ClassName() const override { return className_; }

 private:
  std::wstring className_;
};

class TDock : public ui::TComponent {
 public:
  using ui::TComponent::TComponent;
  std::wstring_view ClassName() const override { return L"TTBDock"; }
  int Width() const { return width_; }
  void SetWidth(int width) { width_ = width; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override {
    ui::TComponent::GetPublishedProps(out);
    static constexpr ui::PropInfo kWidth =
        ui::IntProp<TDock, &TDock::Width, &TDock::SetWidth>(L"Width");
    out.push_back(&kWidth);
  }

 private:
  int width_ = 0;
};

class TPanel : public ui::TComponent {
 public:
  using ui::TComponent::TComponent;
  std::wstring_view ClassName() const override { return L"TSkBarDockablePanel"; }
  TDock* CurrentDock() const { return dock_; }
  void SetCurrentDock(TDock* dock) { dock_ = dock; }
  int DockPos() const { return dockPos_; }
  void SetDockPos(int dockPos) { dockPos_ = dockPos; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override {
    ui::TComponent::GetPublishedProps(out);
    static constexpr ui::PropInfo kProps[] = {
        ui::RefProp<TPanel, TDock, &TPanel::CurrentDock, &TPanel::SetCurrentDock>(L"CurrentDock"),
        ui::IntProp<TPanel, &TPanel::DockPos, &TPanel::SetDockPos>(L"DockPos"),
    };
    for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
  }

 private:
  TDock* dock_ = nullptr;
  int dockPos_ = 0;
};

class TMruList : public ui::TComponent {
 public:
  using ui::TComponent::TComponent;
  std::wstring_view ClassName() const override { return L"TTBMRUList"; }
  ui::TStringList* Items() const { return &items_; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override {
    ui::TComponent::GetPublishedProps(out);
    static constexpr ui::PropInfo kItems = ui::StringsProp<TMruList, &TMruList::Items>(L"Items");
    out.push_back(&kItems);
  }

 private:
  mutable ui::TStringList items_;
};

class TDialog : public ui::TComponent {
 public:
  using ui::TComponent::TComponent;
  std::wstring_view ClassName() const override { return L"TOpenDialog"; }
  int FileTypeIndex() const { return index_; }
  void SetFileTypeIndex(int index) { index_ = index; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override {
    ui::TComponent::GetPublishedProps(out);
    static constexpr ui::PropInfo kIndex =
        ui::IntProp<TDialog, &TDialog::FileTypeIndex, &TDialog::SetFileTypeIndex>(L"FileTypeIndex");
    out.push_back(&kIndex);
  }

 private:
  int index_ = 1;
};

enum class TColorName { clRed, clGreen, clBlue };

class TStyled : public ui::TComponent {
 public:
  using ui::TComponent::TComponent;
  std::wstring_view ClassName() const override { return L"TStyled"; }
  TColorName Color() const { return color_; }
  void SetColor(TColorName color) { color_ = color; }
  std::uint32_t Colors() const { return colors_; }
  void SetColors(std::uint32_t colors) { colors_ = colors; }
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& caption) { caption_ = caption; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override {
    ui::TComponent::GetPublishedProps(out);
    static constexpr std::wstring_view kNames[] = {L"clRed", L"clGreen", L"clBlue"};
    static constexpr ui::EnumNames kEnum{kNames};
    static constexpr ui::PropInfo kProps[] = {
        ui::EnumProp<TStyled, &TStyled::Color, &TStyled::SetColor>(L"Color", kEnum),
        ui::SetProp<TStyled, &TStyled::Colors, &TStyled::SetColors>(L"Colors", kEnum),
        ui::StringProp<TStyled, &TStyled::Caption, &TStyled::SetCaption>(L"Caption"),
    };
    for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
  }

 private:
  TColorName color_ = TColorName::clRed;
  std::uint32_t colors_ = 0;
  std::wstring caption_;
};

// A grid whose columns are a collection, with a variant hint.
class TColumn : public ui::TCollectionItem {
 public:
  using ui::TCollectionItem::TCollectionItem;
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override {
    static constexpr ui::PropInfo kProps[] = {
        ui::StringProp<TColumn, &TColumn::Caption, &TColumn::SetCaption>(L"Caption"),
        ui::FloatProp<TColumn, &TColumn::Width, &TColumn::SetWidth>(L"Width")};
    for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
  }
  const std::wstring& Caption() const { return caption; }
  void SetCaption(const std::wstring& text) { caption = text; }
  double Width() const { return width; }
  void SetWidth(double value) { width = value; }
  std::wstring caption;
  double width = 1;
};

class TColumns : public ui::TCollection {
 public:
  TColumns() : ui::TCollection([](ui::TCollection& c) { return std::make_unique<TColumn>(c); }) {}
  TColumn& Column(int i) const { return static_cast<TColumn&>(Items(i)); }
  int updates = 0;

 protected:
  void Update() override { ++updates; }
};

class TGrid : public ui::TComponent {
 public:
  using ui::TComponent::TComponent;
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override {
    static constexpr ui::PropInfo kProps[] = {
        ui::CollectionProp<TGrid, &TGrid::ColumnsObject>(L"Columns"),
        ui::VariantProp<TGrid, &TGrid::Hint, &TGrid::SetHint>(L"Hint")};
    for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
  }
  TColumns* ColumnsObject() const { return &columns; }
  const ui::TVariant& Hint() const { return hint; }
  void SetHint(const ui::TVariant& value) { hint = value; }
  mutable TColumns columns;
  ui::TVariant hint;
};

// The main window's stored components, named as the program names them, in a form "TMainForm".
struct MainFormFixture {
  ui::Owned<TStandInForm> form = ui::New<TStandInForm>();
  TMruList* mruList = ui::Create<TMruList>(*form);
  TDialog* openDialog = ui::Create<TDialog>(*form);
  TDialog* saveDialog = ui::Create<TDialog>(*form);
  TDock* rightDock = ui::Create<TDock>(*form);
  TDock* leftDock = ui::Create<TDock>(*form);
  TPanel* fileListPanel = ui::Create<TPanel>(*form);
  TPanel* folderPanel = ui::Create<TPanel>(*form);
  TMruList* mruFolders = ui::Create<TMruList>(*form);
  TStyled* styled = ui::Create<TStyled>(*form);
  TGrid* grid = ui::Create<TGrid>(*form);

  MainFormFixture() {
    mruList->SetName(L"MRUList");
    openDialog->SetName(L"NewFileOpenDialog");
    saveDialog->SetName(L"NewFileSaveDialog");
    rightDock->SetName(L"RightMultiDock");
    leftDock->SetName(L"LeftMultiDock");
    fileListPanel->SetName(L"FileListPanel");
    folderPanel->SetName(L"FolderBrowserPanel");
    mruFolders->SetName(L"MRUListFolders");
    styled->SetName(L"Styled");
    grid->SetName(L"Grid");
  }

  static std::vector<std::wstring> StoredProps() {
    return {L"MRUList.Items",
            L"NewFileOpenDialog.FileTypeIndex",
            L"NewFileSaveDialog.FileTypeIndex",
            L"FileListPanel.CurrentDock",
            L"FileListPanel.DockPos",
            L"FolderBrowserPanel.CurrentDock",
            L"FolderBrowserPanel.DockPos",
            L"RightMultiDock.Width",
            L"LeftMultiDock.Width",
            L"MRUListFolders.Items"};
  }
};

}  // namespace ux::test
