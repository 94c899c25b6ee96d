// Turns published properties of components into named text values and back. It knows no
// registry or INI file: it reads, writes and erases sections through three events.
//
// Value names: a stored component's property is "<component>_<property>" in `Section`; a string
// list goes to the sub-section "<Section>.<value name>" as "Count" and "Item0".."Item<n-1>"; a
// collection writes "<value name>.Count" in `Section` and each item's properties to that
// sub-section as "Item<i>_<property>"; a component reference is the component's name
// ("<owner>.<name>" for another owner, "(null)" for none); other objects (string lists and
// collections too) store their own properties under "<value name><property>".
// Variants, like strings, are written even when empty and always read: an empty variant is what
// a property holds before its first load.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ui/component.h"
#include "ui/properties.h"
#include "ui/strings.h"

namespace ux {

using TReadStrEvent = std::function<std::wstring(
    const std::wstring& section, const std::wstring& item, const std::wstring& def)>;
using TWriteStrEvent = std::function<void(const std::wstring& section, const std::wstring& item,
                                          const std::wstring& value)>;
using TEraseSectEvent = std::function<void(const std::wstring& section)>;
// Finds a top-level owner (a form or data module) by name, for "<owner>.<name>" references.
using TFindOwnerEvent = std::function<ui::TComponent*(std::wstring_view name)>;

// The most lines a stored string list may bring back; a damaged "Count" reads no further.
inline constexpr int kMaxStoredLines = 4096;
// The most items a stored collection may be given. Items are made even when nothing is stored
// for them and are all written at the next save, so a damaged count beyond this keeps the
// items there are.
inline constexpr int kMaxStoredItems = 256;

class TPropsStorage {
 public:
  TPropsStorage();
  virtual ~TPropsStorage() = default;

  ui::TPersistent* AObject() const { return object_; }
  void SetAObject(ui::TPersistent* object) { object_ = object; }
  const std::wstring& Prefix() const { return prefix_; }
  void SetPrefix(std::wstring prefix) { prefix_ = std::move(prefix); }
  const std::wstring& Section() const { return section_; }
  void SetSection(std::wstring section) { section_ = std::move(section); }

  TReadStrEvent OnReadString;
  TWriteStrEvent OnWriteString;
  TEraseSectEvent OnEraseSection;
  // Defaults to the application's forms and data modules.
  TFindOwnerEvent OnFindOwner;

  // One property of AObject; none does nothing. A load never raises: a failed one leaves the
  // property as it was.
  void StoreAnyProperty(const ui::PropInfo* prop);
  void LoadAnyProperty(const ui::PropInfo* prop);
  // The properties named in `propList`, looked up in AObject's properties.
  void StoreProperties(const ui::TStrings& propList);
  void LoadProperties(const ui::TStrings& propList);
  // Each "<component>.<property>" entry of `storedList` (the entry's object being the component)
  // for components owned by `component`.
  void StoreObjectsProps(ui::TComponent* component, ui::TStrings& storedList);
  void LoadObjectsProps(ui::TComponent* component, ui::TStrings& storedList);

 protected:
  virtual std::wstring ReadString(const std::wstring& section, const std::wstring& item,
                                  const std::wstring& def);
  virtual void WriteString(const std::wstring& section, const std::wstring& item,
                           const std::wstring& value);
  virtual void EraseSection(const std::wstring& section);
  virtual std::wstring GetItemName(std::wstring_view propName) const;
  virtual std::unique_ptr<TPropsStorage> CreateStorage() const;

 private:
  enum class Direction { Store, Load };
  void ForEachStoredProp(ui::TComponent* component, ui::TStrings& storedList, Direction direction);
  std::unique_ptr<TPropsStorage> NestedStorage(ui::TPersistent* object, std::wstring prefix) const;
  std::wstring ReferenceText(const ui::TComponent& referenced) const;
  void StoreClassProperty(const ui::PropInfo& prop);
  void LoadCharacter(const ui::PropInfo& prop, const std::wstring& text);
  void LoadClassProperty(const ui::PropInfo& prop, const std::wstring& text);
  void StoreStrings(const ui::TStrings& lines, const std::wstring& valueName);
  void LoadStrings(ui::TStrings& lines, const std::wstring& valueName);
  void StoreCollection(const ui::TCollection& collection, const std::wstring& valueName);
  void LoadCollection(ui::TCollection& collection, const std::wstring& valueName);
  // The nested storage of collection item `index` in the sub-section.
  std::unique_ptr<TPropsStorage> ItemStorage(ui::TPersistent* item, const std::wstring& valueName,
                                             int index) const;
  void LoadReference(const ui::PropInfo& prop, const std::wstring& text);

  ui::TPersistent* object_ = nullptr;
  ui::TComponent* owner_ = nullptr;
  std::wstring prefix_;
  std::wstring section_;
};

// "<component>.<property>" split at the first "." with both parts trimmed; true only when both
// parts are non-empty.
bool ParseStoredItem(std::wstring_view item, std::wstring& compName, std::wstring& propName);
// "<component>.<property>", or empty text when either is empty.
std::wstring CreateStoredItem(std::wstring_view compName, std::wstring_view propName);
// Walks the list last to first and drops entries that do not parse. From the form: each entry's
// object becomes `component`'s component of that name (entries naming none are dropped).
// Otherwise each entry's text is rebuilt from its object's current name (entries without object
// are dropped).
void UpdateStoredList(ui::TComponent* component, ui::TStrings& storedList, bool fromForm);

// The component a stored-list entry points at.
ui::TComponent* StoredComponent(const ui::TStrings& storedList, int index);
void SetStoredComponent(ui::TStrings& storedList, int index, ui::TComponent* component);

// The application's top-level owner named `name` (regardless of case), or none.
ui::TComponent* FindGlobalOwner(std::wstring_view name);

}  // namespace ux
