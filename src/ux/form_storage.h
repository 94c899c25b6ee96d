// A form placement that also keeps listed component properties ("<component>.<property>"
// entries of StoredProps) and named values.
#pragma once

#include "ui/strings.h"
#include "ux/form_placement.h"
#include "ux/stored_values.h"

namespace ux {

class TFormStorage : public TFormPlacement {
 public:
  explicit TFormStorage(ui::TComponent* owner);

  std::wstring_view ClassName() const override { return L"TFormStorage"; }

  // Entries "<component>.<property>"; once loaded, each entry's object is its component.
  ui::TStringList& StoredProps() { return storedProps_; }
  TStoredValues& StoredValues() { return storedValues_; }

  void Loaded() override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;

 protected:
  void SavePlacement() override;
  void RestorePlacement() override;
  virtual void SaveProperties();
  // Errors are ignored: a property that cannot be restored keeps its value.
  virtual void RestoreProperties();

 private:
  ui::TStringList storedProps_;
  TStoredValues storedValues_;
};

}  // namespace ux
