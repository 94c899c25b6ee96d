#include "ux/form_storage.h"

#include "ux/props_storage.h"

namespace ux {

TFormStorage::TFormStorage(ui::TComponent* owner) : TFormPlacement(owner) {
  storedValues_.SetStorage(this);
}

void TFormStorage::Loaded() {
  TFormPlacement::Loaded();
  UpdateStoredList(Owner(), storedProps_, true);
}

void TFormStorage::Notification(ui::TComponent* component, ui::TOperation operation) {
  TFormPlacement::Notification(component, operation);
  if (operation != ui::TOperation::opRemove || Destroying() || component == this) return;
  for (int i = storedProps_.Count() - 1; i >= 0; --i)
    if (StoredComponent(storedProps_, i) == component) storedProps_.Delete(i);
}

void TFormStorage::SavePlacement() {
  TFormPlacement::SavePlacement();
  SaveProperties();
  storedValues_.SaveValues();
}

void TFormStorage::RestorePlacement() {
  TFormPlacement::RestorePlacement();
  SetRestored();
  RestoreProperties();
  storedValues_.RestoreValues();
}

void TFormStorage::SaveProperties() {
  TPropsStorage storage;
  storage.SetSection(IniSection());
  storage.OnWriteString = [this](const std::wstring& section, const std::wstring& item,
                                 const std::wstring& value) {
    DoWriteString(section, item, value);
  };
  storage.OnEraseSection = [this](const std::wstring& section) {
    if (ui::TCustomIniFile* store = IniFileObject()) store->EraseSection(section);
  };
  storage.StoreObjectsProps(Owner(), storedProps_);
}

void TFormStorage::RestoreProperties() {
  TPropsStorage storage;
  storage.SetSection(IniSection());
  storage.OnReadString = [this](const std::wstring& section, const std::wstring& item,
                                const std::wstring& def) {
    return DoReadString(section, item, def);
  };
  try {
    storage.LoadObjectsProps(Owner(), storedProps_);
  } catch (...) {  // stored properties are a convenience; the form works without them
  }
}

}  // namespace ux
