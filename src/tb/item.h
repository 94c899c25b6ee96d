// Items: the tree of commands, submenus, separators and groups that menus and toolbars show.
//   TTBCustomItem (a component): Caption ("&" marks the accelerator, text after a tab is the
//   shortcut text), Checked, Enabled, Visible, ShortCut, ImageIndex, GroupIndex/RadioItem/
//   AutoCheck, DisplayMode, Options with inheritance (InheritOptions, MaskOptions,
//   EffectiveOptions), LinkSubitems (show another item's sub-items), Action, OnClick/OnPopup/
//   OnSelect. The item owns its sub-items: Count/Items/Add/Insert/Delete/Remove/IndexOf/
//   ContainsItem/Clear/Move; list errors raise ETBItemError and leave the list unchanged.
//   Every change reaches the registered handlers (RegisterNotification), relayed through
//   embedded groups and the items that link to this one.
//   Click runs the click rules; PostClick queues it for after the current message (see
//   DeferredClickPort); IsShortCut(key) finds and clicks the item with that shortcut.
//   Kinds: TTBRootItem, TTBGroupItem (embedded group), TTBSeparatorItem, TTBControlItem.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rtl/exceptions.h"
#include "tb/consts.h"
#include "tb/deferred_click.h"
#include "tb/geometry.h"
#include "ui/actions.h"
#include "ui/component.h"
#include "ui/custom_image_list.h"
#include "ui/properties.h"
#include "ui/shortcut.h"

namespace tb {

// Called for each child of a component, in order, when it is streamed.
using TGetChildProc = std::function<void(ui::TComponent* child)>;

class TTBCustomItem;
class TTBItemViewer;
class TTBView;

// Item list errors; what() is the framework's text (tb/consts.h).
class ETBItemError : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

using TTBItemOptions = std::uint16_t;
inline constexpr TTBItemOptions tboDefault = 1 << 0;
inline constexpr TTBItemOptions tboDropdownArrow = 1 << 1;
inline constexpr TTBItemOptions tboImageAboveCaption = 1 << 2;
inline constexpr TTBItemOptions tboLongHintInMenuOnly = 1 << 3;
inline constexpr TTBItemOptions tboNoAutoHint = 1 << 4;
inline constexpr TTBItemOptions tboNoRotation = 1 << 5;
inline constexpr TTBItemOptions tboSameWidth = 1 << 6;
inline constexpr TTBItemOptions tboShowHint = 1 << 7;
inline constexpr TTBItemOptions tboToolbarStyle = 1 << 8;
inline constexpr TTBItemOptions tboToolbarSize = 1 << 9;
// The option names, bit by bit, of the published "Options" and "MaskOptions".
extern const ui::EnumNames TBItemOptionNames;

using TTBItemStyle = std::uint16_t;
inline constexpr TTBItemStyle tbisSubmenu = 1 << 0;
inline constexpr TTBItemStyle tbisSelectable = 1 << 1;
inline constexpr TTBItemStyle tbisSeparator = 1 << 2;
inline constexpr TTBItemStyle tbisEmbeddedGroup = 1 << 3;
inline constexpr TTBItemStyle tbisClicksTransparent = 1 << 4;
inline constexpr TTBItemStyle tbisCombo = 1 << 5;
inline constexpr TTBItemStyle tbisNoAutoOpen = 1 << 6;
inline constexpr TTBItemStyle tbisSubitemsEditable = 1 << 7;
inline constexpr TTBItemStyle tbisNoLineBreak = 1 << 8;
inline constexpr TTBItemStyle tbisRightAlign = 1 << 9;
inline constexpr TTBItemStyle tbisDontSelectFirst = 1 << 10;
inline constexpr TTBItemStyle tbisRedrawOnSelChange = 1 << 11;
inline constexpr TTBItemStyle tbisRedrawOnMouseOverChange = 1 << 12;

enum class TTBItemDisplayMode : std::uint8_t {
  nbdmDefault,
  nbdmTextOnly,
  nbdmTextOnlyInMenus,
  nbdmImageAndText
};

enum class TTBItemChangedAction : std::uint8_t {
  tbicInserted,
  tbicDeleting,
  tbicSubitemsChanged,
  tbicSubitemsBeginUpdate,
  tbicSubitemsEndUpdate,
  tbicInvalidate,
  tbicInvalidateAndResize,
  tbicRecreateItemViewers,
  tbicNameChanged,
  tbicSubMenuImagesChanged
};

// A change handler: a plain function and its object, so that two registrations of the same
// handler compare equal.
struct TTBItemChangedProc {
  using Fn = void (*)(void* self, TTBCustomItem* sender, bool relayed, TTBItemChangedAction action,
                      int index, TTBCustomItem* item);
  Fn fn = nullptr;
  void* self = nullptr;
  bool operator==(const TTBItemChangedProc&) const = default;
};
// The handler that calls `Method` on `self`.
template <auto Method, class C>
TTBItemChangedProc ChangedProc(C* self) {
  return {[](void* s, TTBCustomItem* sender, bool relayed, TTBItemChangedAction action, int index,
             TTBCustomItem* item) {
            (static_cast<C*>(s)->*Method)(sender, relayed, action, index, item);
          },
          self};
}

enum class TTBDoneAction : std::uint8_t {
  tbdaNone,
  tbdaCancel,
  tbdaClickItem,
  tbdaOpenSystemMenu,
  tbdaHelpContext
};

// How a modal menu loop ended.
struct TTBDoneActionData {
  TTBDoneAction doneAction = TTBDoneAction::tbdaNone;
  TTBCustomItem* clickItem = nullptr;
  bool sound = false;
  std::uintptr_t wnd = 0;
  std::uint32_t key = 0;
  std::uint32_t contextId = 0;
};

enum class TTBPopupAlignment : std::uint8_t { tbpaLeft, tbpaRight, tbpaCenter };

// A popup window as the views see it: it owns the view of its item's sub-items.
class TTBPopupWindowBase {
 public:
  virtual ~TTBPopupWindowBase() = default;
  virtual TTBView& View() = 0;
};

struct TTBPopupRequest {
  TTBView* parentView = nullptr;
  TTBItemViewer* parentViewer = nullptr;
  bool positionAsSubmenu = false;
  bool selectFirstItem = false;
  bool customizing = false;
  TPoint popupPoint;
  TTBPopupAlignment alignment = TTBPopupAlignment::tbpaLeft;
};

// Makes and places the popup window of `item` (the Windows side, or a test's fake).
using TTBPopupFactory = TTBPopupWindowBase* (*)(TTBCustomItem& item,
                                                const TTBPopupRequest& request);
void SetPopupFactory(TTBPopupFactory factory);
TTBPopupFactory PopupFactory();

// Runs a whole popup-menu loop over an item's sub-items at a screen point and answers the
// clicked item (the Windows side).
using TTBPopupMenuLoop = TTBCustomItem* (*)(TTBCustomItem& item, int x, int y,
                                            bool trackRightButton, TTBPopupAlignment alignment,
                                            bool returnClickedItemOnly);
void SetPopupMenuLoop(TTBPopupMenuLoop loop);
TTBPopupMenuLoop PopupMenuLoop();

// A component that holds an item tree (toolbars, popup menus).
class ITBItemContainer {
 public:
  virtual TTBCustomItem* GetItems() = 0;

 protected:
  ~ITBItemContainer() = default;
};

using TTBPopupEvent = std::function<void(TTBCustomItem* sender, bool fromLink)>;
using TTBSelectEvent =
    std::function<void(TTBCustomItem* sender, TTBItemViewer* viewer, bool selecting)>;

// An image-list change link that remembers the image size it last saw.
class TTBImageChangeLink : public ui::TChangeLink {
 public:
  int lastWidth = 0, lastHeight = 0;
};

// The item's link to its action: a property follows the action while both hold the same value.
class TTBCustomItemActionLink : public ui::TActionLink {
 public:
  TTBCustomItemActionLink(ui::TActionLinkClient& client, TTBCustomItem& item)
      : ui::TActionLink(client), item_(item) {}
  bool IsCaptionLinked() const override;
  bool IsCheckedLinked() const override;
  bool IsEnabledLinked() const override;
  bool IsHelpContextLinked() const override;
  bool IsHintLinked() const override;
  bool IsImageIndexLinked() const override;
  bool IsShortCutLinked() const override;
  bool IsVisibleLinked() const override;
  bool IsAutoCheckLinked() const override;
  bool IsOnExecuteLinked() const override;

 private:
  TTBCustomItem& item_;
};

class TTBCustomItem : public ui::TComponent,
                      private ui::TActionLinkClient,
                      private TTBDeferredTarget {
 public:
  explicit TTBCustomItem(ui::TComponent* owner);
  ~TTBCustomItem() override;

  std::wstring_view ClassName() const override { return L"TTBCustomItem"; }
  void BeforeDestruction() noexcept override;
  void Loaded() override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;
  void SetName(const std::wstring& name) override;

  // The sub-item list.
  int Count() const { return static_cast<int>(items_.size()); }
  TTBCustomItem* Items(int index) const;
  void Add(TTBCustomItem* item) { Insert(Count(), item); }
  void Insert(int newIndex, TTBCustomItem* item);
  void Delete(int index);
  void Remove(TTBCustomItem* item);
  int IndexOf(const TTBCustomItem* item) const;
  bool ContainsItem(const TTBCustomItem* item) const;
  void Clear();
  void Move(int curIndex, int newIndex);
  void ViewBeginUpdate();
  void ViewEndUpdate();
  TTBCustomItem* Parent() const { return parent_; }

  void RegisterNotification(TTBItemChangedProc proc);
  void UnregisterNotification(TTBItemChangedProc proc);
  // Notifies the handlers of this item (and relays, see the file comment).
  void Notify(TTBItemChangedAction action, int index, TTBCustomItem* item);

  // Virtual operations.
  virtual void Change(bool needResize);
  virtual TTBPopupWindowBase* CreatePopup(const TTBPopupRequest& request);
  virtual void DoPopup(TTBCustomItem* sender, bool fromLink);
  virtual void EnabledChanged();
  virtual TTBView* GetChevronParentView() { return nullptr; }
  virtual bool ViewerQuery(TTBItemViewer& /*viewer*/) { return false; }
  virtual void Click();
  virtual void InitiateAction();
  // The viewer made for this item in `view` (the base viewer by default).
  virtual std::unique_ptr<TTBItemViewer> CreateViewer(TTBView& view, int groupLevel);

  TTBItemStyle GetItemStyle() const { return itemStyle_; }
  // Queues Click for after the current message.
  void PostClick();
  std::wstring GetShortCutText() const;
  // Finds the item with shortcut `key` in this tree and clicks it; true when one was clicked.
  bool IsShortCut(ui::TShortCut key);
  // Shows the sub-items as a popup menu at a screen point and answers the clicked item, whose
  // click is posted unless only the item is wanted (null: none, or no popup loop installed).
  TTBCustomItem* Popup(int x, int y, bool trackRightButton,
                       TTBPopupAlignment alignment = TTBPopupAlignment::tbpaLeft,
                       bool returnClickedItemOnly = false);

  // Properties.
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool autoCheck) { autoCheck_ = autoCheck; }
  TTBItemDisplayMode DisplayMode() const { return displayMode_; }
  void SetDisplayMode(TTBItemDisplayMode mode);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int groupIndex);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool radioItem);
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int helpContext) { helpContext_ = helpContext; }
  const std::wstring& Hint() const { return hint_; }
  void SetHint(const std::wstring& hint) { hint_ = hint; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int imageIndex);
  ui::TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(ui::TShortCut shortCut) { shortCut_ = shortCut; }
  TTBItemOptions Options() const { return options_; }
  void SetOptions(TTBItemOptions options);
  TTBItemOptions MaskOptions() const { return maskOptions_; }
  void SetMaskOptions(TTBItemOptions options);
  bool InheritOptions() const { return inheritOptions_; }
  void SetInheritOptions(bool inherit);
  TTBItemOptions EffectiveOptions() const { return effectiveOptions_; }
  TTBCustomItem* LinkSubitems() const { return linkSubitems_; }
  void SetLinkSubitems(TTBCustomItem* target);
  ui::TAction* Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }
  void SetAction(ui::TAction* action);
  const TTBCustomItemActionLink* ActionLink() const { return actionLink_.get(); }
  ui::TCustomImageList* Images() const { return images_; }
  void SetImages(ui::TCustomImageList* images);
  ui::TCustomImageList* SubMenuImages() const { return subMenuImages_; }
  void SetSubMenuImages(ui::TCustomImageList* images);
  // The component that holds this root item (a toolbar, a popup menu).
  ui::TComponent* ParentComponent() const { return parentComponent_; }
  void SetParentComponentRef(ui::TComponent* component) { parentComponent_ = component; }
  // The parent's holding component when it has one, else the parent.
  ui::TComponent* GetParentComponent() const;
  // Moves the item under `component`: an item, or a holder of an item tree (ITBItemContainer);
  // any other component raises ETBItemError naming its class.
  void SetParentComponent(ui::TComponent* component);
  // Streaming: an item always has a parent component; its children are its sub-items, in
  // order, and a child's order is its index (a component that is no sub-item is left alone).
  bool HasParent() const { return true; }
  void GetChildren(const TGetChildProc& proc) const;
  void SetChildOrder(ui::TComponent* child, int order);

  ui::TNotifyEvent OnClick() const { return onClick_; }
  void SetOnClick(ui::TNotifyEvent handler);
  // OnClick holds the linked action's execute handler.
  bool OnClickFromAction() const { return onClickFromAction_; }
  TTBPopupEvent OnPopup;

  // Whether a property is written when the item is stored: not while it follows the action.
  bool IsAutoCheckStored() const { return IsUnlinked(&ui::TActionLink::IsAutoCheckLinked); }
  bool IsCaptionStored() const { return IsUnlinked(&ui::TActionLink::IsCaptionLinked); }
  bool IsCheckedStored() const { return IsUnlinked(&ui::TActionLink::IsCheckedLinked); }
  bool IsEnabledStored() const { return IsUnlinked(&ui::TActionLink::IsEnabledLinked); }
  bool IsHelpContextStored() const { return IsUnlinked(&ui::TActionLink::IsHelpContextLinked); }
  bool IsHintStored() const { return IsUnlinked(&ui::TActionLink::IsHintLinked); }
  bool IsImageIndexStored() const { return IsUnlinked(&ui::TActionLink::IsImageIndexLinked); }
  bool IsShortCutStored() const { return IsUnlinked(&ui::TActionLink::IsShortCutLinked); }
  bool IsVisibleStored() const { return IsUnlinked(&ui::TActionLink::IsVisibleLinked); }
  bool IsOnClickStored() const { return IsUnlinked(&ui::TActionLink::IsOnExecuteLinked); }
  TTBSelectEvent OnSelect;

 protected:
  void SetItemStyle(TTBItemStyle style) { itemStyle_ = style; }
  // Copies the action's state into the item (only defaults when checkDefaults).
  void ActionChange(ui::TAction& action, bool checkDefaults) override;

 private:
  struct TItemChangedNotificationData {
    TTBItemChangedProc proc;
    int refCount = 0;
  };
  void DeferredClick(std::uintptr_t flag) override;
  void RelayNotify(TTBItemChangedAction action, int index, TTBCustomItem* item,
                   TTBCustomItem* sender, int depth);
  void CallHandlers(TTBCustomItem* sender, TTBItemChangedAction action, int index,
                    TTBCustomItem* item);
  bool IsUnlinked(bool (ui::TActionLink::*linked)() const) const {
    return !actionLink_ || !(actionLink_.get()->*linked)();
  }
  void RecalcOptions();
  void TurnSiblingsOff();
  // Registers `link` with `list` (made on first use; freed when the list is removed).
  void LinkImages(ui::TCustomImageList* list, std::unique_ptr<TTBImageChangeLink>& link,
                  bool subMenu);
  void Detach() noexcept;
  [[noreturn]] static void IndexError();

  std::wstring caption_;
  std::wstring hint_;
  bool autoCheck_ = false;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool radioItem_ = false;
  bool inheritOptions_ = true;
  bool detached_ = false;
  TTBItemDisplayMode displayMode_ = TTBItemDisplayMode::nbdmDefault;
  TTBItemOptions effectiveOptions_ = 0;
  TTBItemOptions maskOptions_ = 0;
  TTBItemOptions options_ = 0;
  TTBItemStyle itemStyle_ = tbisSelectable | tbisRedrawOnSelChange | tbisRedrawOnMouseOverChange;
  int groupIndex_ = 0;
  int helpContext_ = 0;
  int imageIndex_ = -1;
  ui::TShortCut shortCut_ = ui::scNone;
  std::vector<TTBCustomItem*> items_;
  std::vector<TTBCustomItem*> linkParents_;
  // Shared so that a walk keeps the list alive while a handler unregisters.
  std::shared_ptr<std::vector<TItemChangedNotificationData>> notifyList_;
  TTBCustomItem* parent_ = nullptr;
  TTBCustomItem* linkSubitems_ = nullptr;
  ui::TComponent* parentComponent_ = nullptr;
  std::unique_ptr<TTBCustomItemActionLink> actionLink_;
  ui::TCustomImageList* images_ = nullptr;
  ui::TCustomImageList* subMenuImages_ = nullptr;
  std::unique_ptr<TTBImageChangeLink> imagesLink_;
  std::unique_ptr<TTBImageChangeLink> subMenuImagesLink_;
  ui::TNotifyEvent onClick_;
  // OnClick holds the action's execute handler (copied by ActionChange).
  bool onClickFromAction_ = false;
};

class TTBRootItem : public TTBCustomItem {
 public:
  using TTBCustomItem::TTBCustomItem;
  std::wstring_view ClassName() const override { return L"TTBRootItem"; }
};

class TTBGroupItem : public TTBCustomItem {
 public:
  explicit TTBGroupItem(ui::TComponent* owner);
  std::wstring_view ClassName() const override { return L"TTBGroupItem"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;
};

class TTBSeparatorItem : public TTBCustomItem {
 public:
  explicit TTBSeparatorItem(ui::TComponent* owner);
  std::wstring_view ClassName() const override { return L"TTBSeparatorItem"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;
  std::unique_ptr<TTBItemViewer> CreateViewer(TTBView& view, int groupLevel) override;
  bool Blank() const { return blank_; }
  void SetBlank(bool blank);

 private:
  bool blank_ = false;
};

// Hosts a control on a toolbar. The control is any component here; the Windows side sizes and
// moves it through the view's window.
class TTBControlItem : public TTBCustomItem {
 public:
  explicit TTBControlItem(ui::TComponent* owner);
  ~TTBControlItem() override;
  std::wstring_view ClassName() const override { return L"TTBControlItem"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;
  ui::TComponent* Control() const { return control_; }
  void SetControl(ui::TComponent* control);
  bool DontFreeControl() const { return dontFreeControl_; }
  void SetDontFreeControl(bool dontFree) { dontFreeControl_ = dontFree; }

 private:
  ui::TComponent* control_ = nullptr;
  bool dontFreeControl_ = false;
};

// The help command that shows a context's help in a popup window (HELP_CONTEXTPOPUP).
inline constexpr std::uint32_t kHelpContextPopup = 8;

// Carries out how a modal loop ended: the clicked item (posted unless returnClickedItemOnly),
// or nothing. The sound, the system menu and the help go to `platform`: a help context as a
// popup (HelpCommand with kHelpContextPopup) when the active form shows the context-help
// button, else as the application's help for that context.
class TTBDoneActionPlatform {
 public:
  virtual void PlayMenuCommandSound() {}
  virtual void OpenSystemMenu(std::uintptr_t /*wnd*/, std::uint32_t /*key*/) {}
  virtual bool ActiveFormShowsHelpButton() { return false; }
  virtual void HelpCommand(std::uint32_t /*command*/, std::uint32_t /*data*/) {}
  virtual void HelpContext(std::uint32_t /*contextId*/) {}

 protected:
  ~TTBDoneActionPlatform() = default;
};
TTBCustomItem* ProcessDoneAction(const TTBDoneActionData& data, bool returnClickedItemOnly,
                                 TTBDoneActionPlatform* platform);

}  // namespace tb
