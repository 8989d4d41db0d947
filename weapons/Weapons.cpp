#include "weapons/Weapons.h"

#include "binfile/Progress.h"
#include "ui/Dialogs.h"

#include <QHeaderView>

namespace {

// Game text is 8-bit: every byte crosses as one Latin-1 character.
QString ToQ(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }
std::string FromQ(const QString& text) { return text.toLatin1().toStdString(); }

std::string Trim(const std::string& text)
{
  const char* blanks = " \t\r\n\v\f";
  const auto first = text.find_first_not_of(blanks);
  if (first == std::string::npos)
    return std::string();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

TWeaponsWin::TWeaponsWin(QWidget* parent) : TEditorWin(parent)
{
  setObjectName("WeaponsWin");
  SetCaption("Weapons Editor");
  resize(729, 450);

  ObjectTree->setRootIsDecorated(true);
  ObjectTree->setSortingEnabled(false);
  connect(ObjectTree, &TElTree::ItemSelectedChange, this, &TWeaponsWin::ObjectTreeItemSelectedChange);

  StringTree->SetHeaderSections({"Item", "Data"});
  StringTree->setRootIsDecorated(false);
  for (const char* label : TWeaponsFile::RowLabels)
    StringTree->Add(nullptr, QString::fromLatin1(label));
  StringTree->header()->resizeSection(TElTree::MainColumn, 160);
  SplitterH->setSizes({249, 729 - 249 - 5});

  TreeEdit = new TElTreeInplaceAdvancedEdit(StringTree);
  TreeEdit->setObjectName("TreeEdit");
  TreeEdit->OnBeforeOperation = [this](bool& d) { TreeEditBeforeOperation(d); };
  TreeEdit->OnValidateResult = [this](bool& v) { TreeEditValidateResult(v); };

  TreeComboEdit = new TElTreeInplaceTreeComboEdit(StringTree);
  TreeComboEdit->setObjectName("TreeComboEdit");
  TreeComboEdit->OnBeforeOperation = [this](bool& d) { TreeComboEditBeforeOperation(d); };
  TreeComboEdit->OnValidateResult = [this](bool& v) { TreeComboEditValidateResult(v); };
  TreeComboEdit->OnAfterOperation = [this](bool& a, bool& d) { TreeComboEditAfterOperation(a, d); };

  FormCreate();
}

TWeaponsWin::~TWeaponsWin() = default;

void TWeaponsWin::FormCreate()
{
  // Rows 8 and 9 open the drop-down list, rows 0 to 7 the number editor.
  for (int row = 0; row < static_cast<int>(TWeaponsFile::RowLabels.size()); ++row)
    StringTree->SetCellStyle(StringTree->GetItem(row), row >= 8 ? sftText : sftNumber);
}

void TWeaponsWin::FormClose() { WeaponsFile.Close(); }

void TWeaponsWin::LoadFile(const std::string& path)
{
  FileName = path;
  WeaponsFile.Open(path);
  TProgress& progress = Progress();
  progress.Show();
  progress.SetCaption("Reading Objects");
  ReadRecords();
  progress.SetCaption("Building Tree");
  BuildObjectTree();
  progress.Hide();
  ObjectTree->setEnabled(true);
  StringTree->setEnabled(true);
  if (ObjectTree->GetCount() > 0)
    ObjectTree->Select(ObjectTree->GetFirstNode());
  const std::string warning = WeaponsFile.LoadWarning();
  if (!warning.empty())
    ShowMessage(ToQ(warning));
}

void TWeaponsWin::ReadRecords() { WeaponsFile.ReadRecords(); }

void TWeaponsWin::BuildObjectTree()
{
  ObjectTree->BeginUpdate();
  for (int i = 0; i < static_cast<int>(WeaponsFile.Records.size()); ++i) {
    const std::string& name = WeaponsFile.Records[static_cast<size_t>(i)].Name;
    if (name.empty())
      continue;
    Progress().SetStatus(name);
    ObjectTree->AddRecord(nullptr, ToQ(name), i);
  }
  ObjectTree->EndUpdate();
}

WeaponRecord* TWeaponsWin::RecordAt(int index) { return WeaponsFile.RecordAt(index); }

void TWeaponsWin::ShowRecord(const WeaponRecord& record)
{
  StringTree->BeginUpdate();
  for (int row = 0; row < static_cast<int>(TWeaponsFile::RowLabels.size()); ++row)
    TElTree::SetColText(StringTree->GetItem(row), ToQ(TWeaponsFile::RowText(record, row)));
  StringTree->EndUpdate();
  StringTree->Update();
}

void TWeaponsWin::ApplyValue(WeaponRecord& record, const std::string& label, const std::string& text)
{
  if (WeaponsFile.ApplyValue(record, label, text))
    Modified = true;
}

void TWeaponsWin::SaveFile()
{
  if (WeaponsFile.SaveRecords()) {
    Modified = false;
    ShowMessage("Weapon File Saved");
  } else {
    ShowMessage("Unable to Save Changes, Try saving again");
  }
}

WeaponRecord* TWeaponsWin::SelectedRecord()
{
  const std::optional<int> index = TElTree::RecordIndexOf(ObjectTree->GetSelected());
  return index ? RecordAt(*index) : nullptr;
}

QTreeWidgetItem* TWeaponsWin::SelectedRow() const
{
  QTreeWidgetItem* row = StringTree->GetSelected();
  return row ? row : StringTree->GetFocused();
}

void TWeaponsWin::ObjectTreeItemSelectedChange(QTreeWidgetItem* item)
{
  const std::optional<int> index = TElTree::RecordIndexOf(item);
  if (WeaponRecord* record = index ? RecordAt(*index) : nullptr)
    ShowRecord(*record);
}

void TWeaponsWin::TreeEditBeforeOperation(bool& DefaultConversion)
{
  DefaultConversion = true;
  const QTreeWidgetItem* row = SelectedRow();
  TreeEdit->SetMaxLength(TElTree::GetText(row).trimmed() == "Object" ? 16 : 5);
}

void TWeaponsWin::TreeEditValidateResult(bool& InputValid)
{
  QTreeWidgetItem* row = SelectedRow();
  const std::string text = Trim(FromQ(TreeEdit->GetText()));
  const std::string current = Trim(FromQ(TElTree::GetColText(row)));
  const std::string label = Trim(FromQ(TElTree::GetText(row)));
  WeaponRecord* record = SelectedRecord();
  if (record && row && TWeaponsFile::AcceptsInput(label, text)) {
    ApplyValue(*record, label, text);
    InputValid = true;
  } else {
    TreeEdit->SetText(ToQ(current));
    InputValid = false;
  }
}

void TWeaponsWin::TreeComboEditBeforeOperation(bool& DefaultConversion)
{
  DefaultConversion = true;
  TreeComboEdit->SetShowLines(true);
  TreeComboEdit->SetReadOnly(true);
  TreeComboEdit->ClearItems();
  const QString label = TElTree::GetText(SelectedRow()).trimmed();
  if (label == "HoldingType") {
    for (const TValueName& pair : HoldingTypeTable)
      TreeComboEdit->AddItem(QString::fromLatin1(pair.Name));
  } else if (label == "SoundType") {
    for (const TValueName& pair : SoundTypeTable)
      TreeComboEdit->AddItem(QString::fromLatin1(pair.Name));
  }
}

void TWeaponsWin::TreeComboEditValidateResult(bool& InputValid)
{
  // Tree paths in the list may come back with a leading separator.
  const QString text = TreeComboEdit->GetText();
  if (text.startsWith('\\'))
    TreeComboEdit->SetText(text.mid(1));
  // With no record shown there is nothing to change: the cell keeps its text.
  InputValid = SelectedRecord() != nullptr;
}

void TWeaponsWin::TreeComboEditAfterOperation(bool& Accepted, bool& DefaultConversion)
{
  Accepted = true;
  DefaultConversion = true;
  const std::string text = Trim(FromQ(TreeComboEdit->GetText()));
  const std::string label = Trim(FromQ(TElTree::GetText(SelectedRow())));
  if (WeaponRecord* record = SelectedRecord())
    ApplyValue(*record, label, text);
}
