// Light stand-ins for the main window's stored components, named as the program names them:
// docks with a width, dockable panels with a dock reference and position, recent-file lists,
// dialogs with a file type index; a component with a property of every other kind, and a grid
// with a collection of columns and a variant.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/collection.h"
#include "ui/component.h"
#include "ui/properties.h"
#include "ui/strings.h"

namespace ui::test {

template <std::size_t N>
void Publish(std::vector<const PropInfo*>& out, const PropInfo (&props)[N]) {
  for (const PropInfo& prop : props) out.push_back(&prop);
}

class TStandInForm : public TComponent {
 public:
  explicit TStandInForm(TComponent* owner, std::wstring_view className = L"TMainForm")
      : TComponent(owner), className_(className) {}
  std::wstring_view ClassName() const override { return className_; }

 private:
  std::wstring className_;
};

// A component with one integer property named `Prop`.
template <const wchar_t* Prop, int Initial>
class TIntHolder : public TComponent {
 public:
  using TComponent::TComponent;
  void GetPublishedProps(std::vector<const PropInfo*>& out) const override {
    TComponent::GetPublishedProps(out);
    static constexpr PropInfo kProps[] = {
        IntProp<TIntHolder, &TIntHolder::Value, &TIntHolder::SetValue>(Prop)};
    Publish(out, kProps);
  }
  int Value() const { return value_; }
  void SetValue(int value) { value_ = value; }

 private:
  int value_ = Initial;
};

inline constexpr wchar_t kWidth[] = L"Width";
inline constexpr wchar_t kFileTypeIndex[] = L"FileTypeIndex";

class TDock : public TIntHolder<kWidth, 0> {
 public:
  using TIntHolder::TIntHolder;
  std::wstring_view ClassName() const override { return L"TTBDock"; }
  int Width() const { return Value(); }
  void SetWidth(int width) { SetValue(width); }
};

class TPanel : public TComponent {
 public:
  using TComponent::TComponent;
  void GetPublishedProps(std::vector<const PropInfo*>& out) const override {
    TComponent::GetPublishedProps(out);
    static constexpr PropInfo kProps[] = {
        RefProp<TPanel, TDock, &TPanel::CurrentDock, &TPanel::SetCurrentDock>(L"CurrentDock"),
        IntProp<TPanel, &TPanel::DockPos, &TPanel::SetDockPos>(L"DockPos")};
    Publish(out, kProps);
  }
  TDock* CurrentDock() const { return dock_; }
  void SetCurrentDock(TDock* dock) { dock_ = dock; }
  int DockPos() const { return dockPos_; }
  void SetDockPos(int dockPos) { dockPos_ = dockPos; }

 private:
  TDock* dock_ = nullptr;
  int dockPos_ = 0;
};

class TMruList : public TComponent {
 public:
  using TComponent::TComponent;
  void GetPublishedProps(std::vector<const PropInfo*>& out) const override {
    TComponent::GetPublishedProps(out);
    static constexpr PropInfo kProps[] = {StringsProp<TMruList, &TMruList::Items>(L"Items")};
    Publish(out, kProps);
  }
  TStringList* Items() const { return &items_; }

 private:
  mutable TStringList items_;
};

class TDialog : public TIntHolder<kFileTypeIndex, 1> {
 public:
  using TIntHolder::TIntHolder;
  int FileTypeIndex() const { return Value(); }
  void SetFileTypeIndex(int index) { SetValue(index); }
};

enum class TColorName { clRed, clGreen, clBlue };
inline constexpr std::wstring_view kColorNames[] = {L"clRed", L"clGreen", L"clBlue"};
inline constexpr EnumNames kColors{kColorNames};

// Getters and setters of a stand-in's fields, for the property tables.
template <class Self>
struct Fields {
  template <auto F>
  auto Get() const {
    return static_cast<const Self*>(this)->*F;
  }
  template <auto F>
  void Set(std::remove_cvref_t<decltype(std::declval<Self&>().*F)> value) {
    static_cast<Self*>(this)->*F = value;
  }
};

// One property of every remaining kind; "TAG" redefines the inherited "Tag" (twice the value).
class TStyled : public TComponent, public Fields<TStyled> {
 public:
  using TComponent::TComponent;
  void GetPublishedProps(std::vector<const PropInfo*>& out) const override {
    TComponent::GetPublishedProps(out);
    using C = TStyled;
    static constexpr PropInfo kProps[] = {
        EnumProp<C, &C::Get<&C::color>, &C::Set<&C::color>>(L"Color", kColors),
        SetProp<C, &C::Get<&C::colors>, &C::Set<&C::colors>>(L"Colors", kColors),
        StringProp<C, &C::Get<&C::caption>, &C::Set<&C::caption>>(L"Caption"),
        Int64Prop<C, &C::Get<&C::big>, &C::Set<&C::big>>(L"Big"),
        WCharProp<C, &C::Get<&C::mark>, &C::Set<&C::mark>>(L"Mark"),
        FloatProp<C, &C::Get<&C::ratio>, &C::Set<&C::ratio>>(L"Ratio"),
        FloatProp<C, &C::Get<&C::scale>, &C::Set<&C::scale>>(L"Scale"),
        FloatProp<C, &C::Get<&C::price>, &C::Set<&C::price>>(L"Price", TFloatType::ftCurr),
        FloatProp<C, &C::Get<&C::price>, &C::Set<&C::price>>(L"Count", TFloatType::ftComp),
        IntProp<C, &C::Get<&C::level>, &C::SetLevelTwice>(L"TAG")};
    Publish(out, kProps);
  }
  void SetLevelTwice(int value) { level = 2 * value; }

  TColorName color = TColorName::clRed;
  std::uint32_t colors = 0;
  std::wstring caption;
  std::int64_t big = 0;
  wchar_t mark = L'-';
  double ratio = 0.5;
  float scale = 1;
  long double price = 0;
  int level = 0;
};

class TColumn : public TCollectionItem, public Fields<TColumn> {
 public:
  using TCollectionItem::TCollectionItem;
  void GetPublishedProps(std::vector<const PropInfo*>& out) const override {
    using C = TColumn;
    static constexpr PropInfo kProps[] = {
        StringProp<C, &C::Get<&C::caption>, &C::Set<&C::caption>>(L"Caption"),
        FloatProp<C, &C::Get<&C::width>, &C::Set<&C::width>>(L"Width")};
    Publish(out, kProps);
  }
  std::wstring caption;
  double width = 1;
};

// Counts the ends of its update brackets.
class TColumns : public TCollection {
 public:
  TColumns() : TCollection([](TCollection& c) { return std::make_unique<TColumn>(c); }) {}
  TColumn& Column(int i) const { return static_cast<TColumn&>(Items(i)); }
  int updates = 0;

 protected:
  void Update() override { ++updates; }
};

class TGrid : public TComponent, public Fields<TGrid> {
 public:
  using TComponent::TComponent;
  void GetPublishedProps(std::vector<const PropInfo*>& out) const override {
    static constexpr PropInfo kProps[] = {
        CollectionProp<TGrid, &TGrid::ColumnsObject>(L"Columns"),
        VariantProp<TGrid, &TGrid::Get<&TGrid::hint>, &TGrid::Set<&TGrid::hint>>(L"Hint")};
    Publish(out, kProps);
  }
  TColumns* ColumnsObject() const { return &columns; }
  mutable TColumns columns;
  TVariant hint;
};

// The main window's stored components, named as the program names them, in a form "TMainForm".
struct MainFormFixture {
  Owned<TStandInForm> form = New<TStandInForm>();
  TMruList* mruList = Named<TMruList>(L"MRUList");
  TDialog* openDialog = Named<TDialog>(L"NewFileOpenDialog");
  TDialog* saveDialog = Named<TDialog>(L"NewFileSaveDialog");
  TDock* rightDock = Named<TDock>(L"RightMultiDock");
  TDock* leftDock = Named<TDock>(L"LeftMultiDock");
  TPanel* fileListPanel = Named<TPanel>(L"FileListPanel");
  TPanel* folderPanel = Named<TPanel>(L"FolderBrowserPanel");
  TMruList* mruFolders = Named<TMruList>(L"MRUListFolders");
  TStyled* styled = Named<TStyled>(L"Styled");
  TGrid* grid = Named<TGrid>(L"Grid");

  template <class T>
  T* Named(const wchar_t* name) {
    T* component = Create<T>(*form);
    component->SetName(name);
    return component;
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

}  // namespace ui::test
