#pragma once
#include "ui/EditorFrame.h"
#include "weapons/WeaponsFile.h"

#include <string>

// Editor window for one predmety.def: lists the weapons by name, shows the selected
// weapon's ten values in the grid, takes edits through the number editor and the
// drop-down list, and saves them back into the file in place.
class TWeaponsWin : public TEditorWin {
  Q_OBJECT
public:
  explicit TWeaponsWin(QWidget* parent = nullptr);
  ~TWeaponsWin() override;

  void LoadFile(const std::string& path) override;
  void SaveFile() override;

  // The file's records, offset tables and accessor.
  TWeaponsFile WeaponsFile;

  TElTreeInplaceAdvancedEdit* TreeEdit;
  TElTreeInplaceTreeComboEdit* TreeComboEdit;

  void ReadRecords();
  void BuildObjectTree();
  // The record at a record index, or null when there is none.
  WeaponRecord* RecordAt(int index);
  void ShowRecord(const WeaponRecord& record);
  // Applies an entry to every record named like `record`; sets Modified when one changed.
  void ApplyValue(WeaponRecord& record, const std::string& label, const std::string& text);

  void FormCreate();
  void ObjectTreeItemSelectedChange(QTreeWidgetItem* item);
  void TreeEditBeforeOperation(bool& DefaultConversion);
  void TreeEditValidateResult(bool& InputValid);
  void TreeComboEditBeforeOperation(bool& DefaultConversion);
  void TreeComboEditValidateResult(bool& InputValid);
  void TreeComboEditAfterOperation(bool& Accepted, bool& DefaultConversion);

protected:
  void FormClose() override;

private:
  // The record of ObjectTree's selected item, or null when none is selected.
  WeaponRecord* SelectedRecord();
  // The grid row being edited: the selected row, else the focused one.
  QTreeWidgetItem* SelectedRow() const;
};
