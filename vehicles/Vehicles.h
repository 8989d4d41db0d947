#pragma once
#include "ui/EditorFrame.h"
#include "vehicles/VehiclesFile.h"

#include <string>

// Editor window for one vehicles.bin: the vehicles on the left, the selected vehicle's values
// in the grid on the right, edited in place; a vehicle dragged onto another gives it its values.
class TVehiclesWin : public TEditorWin {
  Q_OBJECT
public:
  explicit TVehiclesWin(QWidget* parent = nullptr);
  ~TVehiclesWin() override;

  void LoadFile(const std::string& path) override;
  void SaveFile() override;

  void BuildObjectTree();
  void ShowRecord(const VehicleRecord& record);
  // Applies an entry for a row to the record at `index` (and all of its name) with the
  // check boxes' states; sets Modified when anything changed.
  void ApplyValue(int index, const std::string& caption, const std::string& entry);
  // The record index of ObjectTree's selected item, or -1 when no record is selected.
  int SelectedRecord() const;
  // The grid row with this caption, or null.
  QTreeWidgetItem* Row(const QString& caption) const;

  void ObjectTreeItemSelectedChange(QTreeWidgetItem* item);
  void TreeEditBeforeOperation(QObject* sender, bool& DefaultConversion);
  void TreeEditValidateResult(QObject* sender, bool& InputValid);
  void CheckBoxClick(QObject* sender);
  void ObjectTreeDragOver(QObject* source, QPoint pos, bool& Accept);
  void ObjectTreeDragDrop(QObject* source, QPoint pos);

  TVehiclesFile Vehicles;
  TElTreeInplaceAdvancedEdit* TreeEdit;
  TElTreeInplaceCheckBox* TreeCheckBox;
  TElCellCheckBox* RWDCheckBox = nullptr;
  TElCellCheckBox* FWDCheckBox = nullptr;
  TElCellCheckBox* FourWheelTurningCheckBox = nullptr;
  TElCellCheckBox* RoofCheckBox = nullptr;

protected:
  void FormClose() override;

private:
  void FormCreate();
  // Writes every record; tells the user the outcome and clears Modified on success.
  bool SaveRecords();
  TCheckBoxStates CheckBoxStates() const;
};
