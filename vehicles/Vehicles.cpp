#include "vehicles/Vehicles.h"

#include "binfile/Progress.h"
#include "ui/Dialogs.h"
#include "ui/ErrorReport.h"

#include <QTimer>

namespace {

QString Latin1(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<int>(text.size())); }

std::string Latin1(const QString& text)
{
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Entries are at most this many characters long.
constexpr int EntryLength = 5;

}  // namespace

TVehiclesWin::TVehiclesWin(QWidget* parent) : TEditorWin(parent)
{
  setObjectName("VehiclesWin");
  SetCaption("Vehicles Editor");
  resize(613, 395);

  ObjectTree->setRootIsDecorated(false);
  ObjectTree->setDragEnabled(true);
  ObjectTree->setDragDropMode(QAbstractItemView::DragDrop);
  connect(ObjectTree, &TElTree::ItemSelectedChange, this,
          [this](QTreeWidgetItem* item) { ObjectTreeItemSelectedChange(item); });
  ObjectTree->OnDragOver = [this](QObject* source, QPoint pos, bool& accept) {
    ObjectTreeDragOver(source, pos, accept);
  };
  // The copy asks a question and rebuilds the tree: it runs once the drag has ended.
  ObjectTree->OnDragDrop = [this](QObject*, QPoint pos) {
    QTimer::singleShot(0, this, [this, pos] { Guarded([&] { ObjectTreeDragDrop(nullptr, pos); }); });
  };

  StringTree->SetHeaderSections({"Item", "Data"});
  StringTree->setRootIsDecorated(false);
  StringTree->setEnabled(false);
  StringTree->BeginUpdate();
  for (const TVehicleRow& row : VehicleRows)
    StringTree->Add(nullptr, QString::fromLatin1(row.Caption));
  StringTree->EndUpdate();
  StringTree->setColumnWidth(TElTree::MainColumn, 140);

  TreeEdit = new TElTreeInplaceAdvancedEdit(StringTree);
  TreeEdit->setObjectName("TreeEdit");
  TreeEdit->OnBeforeOperation = [this](bool& defaultConversion) { TreeEditBeforeOperation(TreeEdit, defaultConversion); };
  TreeEdit->OnValidateResult = [this](bool& inputValid) { TreeEditValidateResult(TreeEdit, inputValid); };
  TreeCheckBox = new TElTreeInplaceCheckBox(StringTree);
  TreeCheckBox->setObjectName("TreeCheckBox");

  SplitterH->setSizes({249, 613 - 249 - 5});
  FormCreate();
}

TVehiclesWin::~TVehiclesWin()
{
  // The frame unbinds the trees and in-place editors; the cell check boxes are this window's.
  for (TElCellCheckBox* box : {RWDCheckBox, FWDCheckBox, FourWheelTurningCheckBox, RoofCheckBox})
    box->OnClick = nullptr;
}

void TVehiclesWin::FormCreate()
{
  TElCellCheckBox** boxes[] = {&RWDCheckBox, &FWDCheckBox, &FourWheelTurningCheckBox, &RoofCheckBox};
  const char* names[] = {"RWD", "FWD", "FourWheelTurning", "Roof"};
  for (int i = 0; i < 4; ++i) {
    TElCellCheckBox* box = StringTree->SetCellCheckBox(Row(QString::fromLatin1(names[i])));
    box->setObjectName(QString::fromLatin1(names[i]) + "CheckBox");
    box->SetBorderWidth(1);
    box->OnClick = [this](QObject* sender) { CheckBoxClick(sender); };
    *boxes[i] = box;
  }
  for (const TVehicleRow& row : VehicleRows)
    if (row.Form == TRowForm::Whole || row.Form == TRowForm::G7)
      StringTree->SetCellStyle(Row(QString::fromLatin1(row.Caption)), sftNumber);
}

QTreeWidgetItem* TVehiclesWin::Row(const QString& caption) const
{
  for (int i = 0; i < StringTree->topLevelItemCount(); ++i)
    if (TElTree::GetText(StringTree->topLevelItem(i)) == caption)
      return StringTree->topLevelItem(i);
  return nullptr;
}

void TVehiclesWin::LoadFile(const std::string& path)
{
  FileName = path;
  const std::string problem = Vehicles.Load(path);
  TProgress& progress = Progress();
  progress.SetCaption("Building Tree");
  BuildObjectTree();
  progress.Hide();
  ObjectTree->setEnabled(true);
  StringTree->setEnabled(true);
  ObjectTree->Select(ObjectTree->GetFirstNode());
  if (!problem.empty())
    ShowMessage(Latin1(problem));
}

void TVehiclesWin::BuildObjectTree()
{
  TProgress& progress = Progress();
  ObjectTree->BeginUpdate();
  ObjectTree->ClearItems();
  for (int index = 0; index < Vehicles.Count(); ++index) {
    const std::string text = VehicleDisplayName(Vehicles.Records[static_cast<size_t>(index)].Name);
    progress.SetCaption("Building Tree");
    if (text.empty())
      continue;
    progress.SetStatus(text);
    ObjectTree->AddRecord(nullptr, Latin1(text), index);
  }
  ObjectTree->EndUpdate();
}

void TVehiclesWin::ObjectTreeItemSelectedChange(QTreeWidgetItem* item)
{
  const std::optional<int> index = TElTree::RecordIndexOf(item);
  if (const VehicleRecord* record = index ? Vehicles.RecordAt(*index) : nullptr)
    ShowRecord(*record);
}

void TVehiclesWin::ShowRecord(const VehicleRecord& record)
{
  StringTree->BeginUpdate();
  for (const TVehicleRow& row : VehicleRows)
    if (row.Form != TRowForm::CheckBox)
      TElTree::SetColText(Row(QString::fromLatin1(row.Caption)), Latin1(RowText(record, row)));
  const TCheckBoxStates states = CheckBoxStatesOf(record);
  RWDCheckBox->SetChecked(states.RWD);
  FWDCheckBox->SetChecked(states.FWD);
  FourWheelTurningCheckBox->SetChecked(states.FourWheelTurning);
  RoofCheckBox->SetChecked(states.Roof);
  StringTree->EndUpdate();
  StringTree->Update();
}

int TVehiclesWin::SelectedRecord() const
{
  const std::optional<int> index = TElTree::RecordIndexOf(ObjectTree->GetSelected());
  return index && *index >= 0 && *index < Vehicles.Count() ? *index : -1;
}

TCheckBoxStates TVehiclesWin::CheckBoxStates() const
{
  TCheckBoxStates states;
  states.RWD = RWDCheckBox->GetChecked();
  states.FWD = FWDCheckBox->GetChecked();
  states.FourWheelTurning = FourWheelTurningCheckBox->GetChecked();
  states.Roof = RoofCheckBox->GetChecked();
  return states;
}

void TVehiclesWin::ApplyValue(int index, const std::string& caption, const std::string& entry)
{
  if (Vehicles.ApplyValue(index, caption, entry, CheckBoxStates()))
    Modified = true;
}

void TVehiclesWin::TreeEditBeforeOperation(QObject*, bool& DefaultConversion)
{
  DefaultConversion = true;
  TreeEdit->SetMaxLength(EntryLength);
}

void TVehiclesWin::TreeEditValidateResult(QObject*, bool& InputValid)
{
  const int index = SelectedRecord();
  const std::string entry = Latin1(TreeEdit->GetText().trimmed());
  QTreeWidgetItem* row = StringTree->GetSelected();
  if (!row)
    row = StringTree->GetFocused();
  const QString caption = TElTree::GetText(row);
  const QString current = TElTree::GetColText(row);
  if (index >= 0 && row && !entry.empty() && TBinaryFile::IsNumericText(entry)) {
    ApplyValue(index, Latin1(caption), entry);
    InputValid = true;
    return;
  }
  TreeEdit->SetText(current.trimmed());
  InputValid = false;
}

void TVehiclesWin::CheckBoxClick(QObject* sender)
{
  const int index = SelectedRecord();
  if (index < 0) {
    // No vehicle is shown: the click changes nothing, not even the box.
    if (auto* box = qobject_cast<TElCellCheckBox*>(sender))
      box->SetChecked(!box->GetChecked());
    return;
  }
  ApplyValue(index, "Unknown", std::string());
}

bool TVehiclesWin::SaveRecords()
{
  const bool saved = Vehicles.Save();
  if (!saved) {
    ShowMessage("Unable to Save Changes, Try saving again");
    return false;
  }
  Modified = false;
  ShowMessage("Vehicle File Saved");
  return true;
}

void TVehiclesWin::SaveFile() { SaveRecords(); }

void TVehiclesWin::ObjectTreeDragOver(QObject*, QPoint, bool& Accept) { Accept = true; }

void TVehiclesWin::ObjectTreeDragDrop(QObject*, QPoint pos)
{
  QTreeWidgetItem* source = ObjectTree->GetSelected();
  QTreeWidgetItem* destination = ObjectTree->GetItemAtY(pos.y());
  const std::optional<int> from = TElTree::RecordIndexOf(source);
  const std::optional<int> to = TElTree::RecordIndexOf(destination);
  if (!from || !to)
    return;  // nothing dragged, or dropped where no vehicle lies
  const std::string problem = Vehicles.CopyProblem(*from, *to);
  if (!problem.empty()) {
    ShowMessage(Latin1(problem));
    return;
  }
  if (!ConfirmYesNo("Copy Vehicle Record " + TElTree::GetText(source) + " to " + TElTree::GetText(destination) +
                    "? This will also Save any other changes you have made."))
    return;
  // The copy carries the source's pending changes, and must not copy over unsaved ones.
  if (!SaveRecords())
    return;
  Vehicles.File.Close();
  const std::string failure = Vehicles.CopyRecordData(*from, *to);
  if (!failure.empty())
    ShowMessage(Latin1(failure));
  LoadFile(FileName);
}

void TVehiclesWin::FormClose() { Vehicles.Close(); }
