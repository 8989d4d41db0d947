#include "WeaponsWinTest.h"

#include "WeaponsFixtures.h"
#include "weapons/Weapons.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QtTest>

#include <cstdio>

using namespace WeaponsFixtures;

namespace {

const QStringList SoundNames = {"None",           "Knuckleduster/Bottle", "Knife/Crowbar",   "Bat",
                                "Colt Detective", "Magnum",               "M&P",             "Colt 1911",
                                "Thompson",       "Pump shotgun",         "Saw off shotgun", "M1903 Springfield",
                                "Mosin-Nagant Rifle"};
const QStringList HoldingNames = {"Item", "Handgun", "Sniper", "Rifle", "Throwing", "Over Fist", "In Hand", "Swing"};

enum Row { ObjectRow, RoundsPerClipRow, TotalRoundsRow, RangeRow, DamageRow, ReloadRateMSRow = 6, SoundTypeRow = 8, HoldingTypeRow = 9 };

// A weapons window opened on a file the way the main window opens it, shown and active.
struct TOpenWindow {
  TRecordingDialogs dialogs;  // first: no message box may block a test
  TScratchDir dir;
  std::string path;
  QPointer<TWeaponsWin> win = new TWeaponsWin();

  explicit TOpenWindow(const std::string& bytes, const std::string& name = "predmety.def")
  {
    path = bytes.empty() && name == "missing" ? dir.Path(name) : dir.Write(name, bytes);
    win->SetCaption(QString::fromStdString("Weapons Editor - " + path));
    win->LoadFile(path);
    win->show();
    win->activateWindow();
    if (!QTest::qWaitForWindowActive(win))
      qWarning("weapons window did not become active");
  }
  ~TOpenWindow() { delete win.data(); }

  WeaponRecord& Record(int index) { return win->WeaponsFile.Records[size_t(index)]; }
  QTreeWidgetItem* Row(int row) const { return win->StringTree->GetItem(row); }
  QString Cell(int row) const { return TElTree::GetColText(Row(row)); }
  std::string Bytes() const { return TScratchDir::Read(path); }

  QTreeWidgetItem* ItemOf(int record) const
  {
    for (int i = 0; i < win->ObjectTree->GetCount(); ++i)
      if (TElTree::RecordIndexOf(win->ObjectTree->GetItem(i)) == record)
        return win->ObjectTree->GetItem(i);
    return nullptr;
  }
  void Show(int record) { win->ObjectTree->Select(ItemOf(record)); }

  // Opens the number editor on a row, replaces its text by `text` and presses Enter.
  QLineEdit* OpenNumberEditor(int row)
  {
    win->StringTree->EditCell(Row(row));
    return win->StringTree->findChild<QLineEdit*>("TreeEditEditor");
  }
  bool EnterNumber(int row, const QString& text)
  {
    QLineEdit* edit = OpenNumberEditor(row);
    if (!edit || edit != win->TreeEdit->Editor())
      return false;
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);  // the user empties the editor
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    return QTest::qWaitFor([&] { return !win->TreeEdit->Editor(); });
  }

  QComboBox* OpenDropDown(int row)
  {
    win->StringTree->EditCell(Row(row));
    QComboBox* combo = win->StringTree->findChild<QComboBox*>("TreeComboEditEditor");
    return combo == win->TreeComboEdit->Editor() ? combo : nullptr;
  }
  static QStringList Entries(const QComboBox* combo)
  {
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
      entries << combo->itemText(i);
    return entries;
  }
  bool ConfirmDropDown(QComboBox* combo)
  {
    QTest::keyClick(combo, Qt::Key_Return);
    return QTest::qWaitFor([&] { return !win->TreeComboEdit->Editor(); });
  }
};

std::string AllUnnamedFile()
{
  std::vector<Samples::TWeaponFields> records(35);
  for (auto& r : records) {
    r.Object = "obj";
    r.RoundsPerClip = 4;
    r.SoundType = 66;
  }
  return Samples::WeaponsFileBytes(records);
}

}  // namespace

void TWeaponsWinTest::loadListsNamedRecordsAndShowsTheFirst()
{
  TRecordingProgress progress;
  TWeaponsWin fresh;
  QCOMPARE(fresh.objectName(), QString("WeaponsWin"));
  QCOMPARE(fresh.Caption(), QString("Weapons Editor"));
  QCOMPARE(fresh.size(), QSize(729, 450));
  QVERIFY(!fresh.ObjectTree->isEnabled());
  QVERIFY(fresh.FileName.empty());
  QVERIFY(!fresh.Modified);

  TOpenWindow w(DemoFile());
  TWeaponsWin* win = w.win;
  QVERIFY(w.dialogs.Messages.isEmpty());
  QCOMPARE(win->FileName, w.path);
  QVERIFY(win->Caption().startsWith("W"));
  QVERIFY(win->ObjectTree->isEnabled());
  QVERIFY(win->StringTree->isEnabled());

  // Progress: reading, then building the tree.
  const auto& calls = progress.Calls;
  QCOMPARE(calls.front(), std::string("show"));
  QCOMPARE(calls[1], std::string("caption:Reading Objects"));
  QCOMPARE(calls[2], std::string("status:Pocket Revolver"));
  QVERIFY(std::find(calls.begin(), calls.end(), "caption:Building Tree") != calls.end());
  QCOMPARE(calls.back(), std::string("hide"));

  // A flat tree of the named records, each carrying its record index.
  const std::vector<Samples::TWeaponFields> demo = DemoRecords();
  QCOMPARE(win->ObjectTree->GetCount(), 34);
  QCOMPARE(win->ObjectTree->topLevelItemCount(), 34);
  int item = 0;
  for (int i = 0; i < 35; ++i) {
    if (demo[i].Name.empty())
      continue;
    QTreeWidgetItem* node = win->ObjectTree->GetItem(item++);
    QCOMPARE(TElTree::GetText(node), QString::fromLatin1(demo[i].Name.substr(0, 36).c_str()));
    QCOMPARE(TElTree::RecordIndexOf(node), std::optional<int>(i));
  }
  QVERIFY(w.ItemOf(BoltRifle) != w.ItemOf(SharedBoltRifle));

  // The grid: ten preset rows, the first record shown.
  QCOMPARE(win->StringTree->headerItem()->text(0), QString("Item"));
  QCOMPARE(win->StringTree->headerItem()->text(1), QString("Data"));
  QCOMPARE(win->StringTree->GetCount(), 10);
  QCOMPARE(win->ObjectTree->GetSelected(), win->ObjectTree->GetFirstNode());
  const QStringList labels = {"Object", "RoundsPerClip", "TotalRounds", "Range",     "Damage",
                              "BurstRateMS", "ReloadRateMS", "RecoilStyle", "SoundType", "HoldingType"};
  const QStringList shown = {"wpn_pocketrev", "6", "36", "25", "30", "400", "2500", "1", "Colt Detective", "Handgun"};
  for (int row = 0; row < 10; ++row) {
    QCOMPARE(TElTree::GetText(w.Row(row)), labels[row]);
    QCOMPARE(w.Cell(row), shown[row]);
    QCOMPARE(win->StringTree->CellType(w.Row(row)), std::optional<TElFieldType>(row >= 8 ? sftText : sftNumber));
  }

  // Another selection shows that record.
  w.Show(HeavyRevolver);
  QCOMPARE(w.Cell(RangeRow), QString("35"));
  QCOMPARE(w.Cell(SoundTypeRow), QString("Magnum"));
}

void TWeaponsWinTest::numberEditThroughTheEditor()
{
  TOpenWindow w(DemoFile());
  QLineEdit* edit = w.OpenNumberEditor(ObjectRow);
  QVERIFY(edit);
  QCOMPARE(edit->maxLength(), 16);
  QCOMPARE(edit->text(), QString("wpn_pocketrev"));
  QTest::keyClick(edit, Qt::Key_Escape);
  QTRY_VERIFY(!w.win->TreeEdit->Editor());

  edit = w.OpenNumberEditor(RoundsPerClipRow);
  QVERIFY(edit);
  QCOMPARE(edit->maxLength(), 5);
  QCOMPARE(edit->text(), QString("6"));
  QTest::keyClick(edit, Qt::Key_Escape);
  QTRY_VERIFY(!w.win->TreeEdit->Editor());
  QVERIFY(!w.win->Modified);

  // 12.7 stores 12; the cell shows the entry until the record is shown again.
  QVERIFY(w.EnterNumber(RoundsPerClipRow, "12.7"));
  QCOMPARE(w.Record(0).RoundsPerClip, 12);
  QCOMPARE(w.Cell(RoundsPerClipRow), QString("12.7"));
  QVERIFY(w.win->Modified);
  w.Show(HeavyRevolver);
  w.Show(0);
  QCOMPARE(w.Cell(RoundsPerClipRow), QString("12"));

  // Range 35.5 shows 35: confirming 35.5 changes nothing, confirming 35 stores 35.0.
  w.win->Modified = false;
  w.Show(HeavyRevolver);
  QVERIFY(w.EnterNumber(RangeRow, "35.5"));
  QCOMPARE(w.Record(HeavyRevolver).Range, 35.5f);
  QVERIFY(!w.win->Modified);
  QVERIFY(w.EnterNumber(RangeRow, "35"));
  QCOMPARE(w.Record(HeavyRevolver).Range, 35.0f);
  QVERIFY(w.win->Modified);

  // The Object row takes any text of up to 16 characters, also an empty one.
  QVERIFY(w.EnterNumber(ObjectRow, "new-model x.i3d+extra"));
  QCOMPARE(w.Record(HeavyRevolver).Object, std::string("new-model x.i3d+"));
  QVERIFY(w.EnterNumber(ObjectRow, ""));
  QCOMPARE(w.Record(HeavyRevolver).Object, std::string());
  QCOMPARE(w.Cell(ObjectRow), QString());

  // Leaving the editor confirms the entry like Enter.
  QLineEdit* damage = w.OpenNumberEditor(DamageRow);
  QVERIFY(damage);
  damage->clear();
  QTest::keyClicks(damage, "99");
  w.win->ObjectTree->setFocus();
  QTRY_VERIFY(!w.win->TreeEdit->Editor());
  QCOMPARE(w.Record(HeavyRevolver).Damage, 99.0f);
  QVERIFY(w.dialogs.Messages.isEmpty());
}

void TWeaponsWinTest::refusedNumberEntry_data()
{
  QTest::addColumn<int>("row");
  QTest::addColumn<QString>("text");
  QTest::newRow("negative rounds") << int(RoundsPerClipRow) << "-5";
  QTest::newRow("negative range") << int(RangeRow) << "-5";
  QTest::newRow("empty total") << int(TotalRoundsRow) << "";
  QTest::newRow("blank damage") << int(DamageRow) << "   ";
  QTest::newRow("letters") << int(TotalRoundsRow) << "12a";
  QTest::newRow("exponent") << int(DamageRow) << "1e3";
}

void TWeaponsWinTest::refusedNumberEntry()
{
  QFETCH(int, row);
  QFETCH(QString, text);
  TOpenWindow w(DemoFile());
  w.Show(HeavyRevolver);
  const QString before = w.Cell(row);
  const std::vector<WeaponRecord> records = w.win->WeaponsFile.Records;
  QVERIFY(w.EnterNumber(row, text));
  QCOMPARE(w.Cell(row), before);
  QVERIFY(!w.win->Modified);
  for (int i = 0; i < 35; ++i)
    QCOMPARE(FieldOf(w.Record(i), TElTree::GetText(w.Row(row))),
             FieldOf(records[i], TElTree::GetText(w.Row(row))));
  QVERIFY(w.dialogs.Messages.isEmpty());
}

void TWeaponsWinTest::conversionErrorIsReported()
{
  TOpenWindow w(DemoFile());
  QVERIFY(w.EnterNumber(TotalRoundsRow, "."));
  QCOMPARE(w.dialogs.Messages, QStringList{"'.' is not a valid floating point value"});
  QCOMPARE(w.Record(0).TotalRounds, 36);
  QCOMPARE(w.Cell(TotalRoundsRow), QString("36"));
  QVERIFY(!w.win->Modified);

  QVERIFY(w.EnterNumber(RangeRow, "1.2."));
  QCOMPARE(w.dialogs.Messages.last(), QString("'1.2.' is not a valid floating point value"));
  QCOMPARE(w.Record(0).Range, 25.0f);
  QVERIFY(!w.win->Modified);
}

void TWeaponsWinTest::longValueSurvivesTheEditor()
{
  // The editor's length limit is for typing: a longer value shown in the cell opens whole,
  // so confirming it unchanged changes nothing.
  std::vector<Samples::TWeaponFields> records = DemoRecords();
  records[0].TotalRounds = 1234567;
  TOpenWindow w(Samples::WeaponsFileBytes(records));
  QLineEdit* edit = w.OpenNumberEditor(TotalRoundsRow);
  QVERIFY(edit);
  QCOMPARE(edit->text(), QString("1234567"));
  QTest::keyClick(edit, Qt::Key_Return);
  QTRY_VERIFY(!w.win->TreeEdit->Editor());
  QCOMPARE(w.dialogs.Messages, QStringList());
  QCOMPARE(w.Record(0).TotalRounds, 1234567);
  QVERIFY(!w.win->Modified);
}

void TWeaponsWinTest::closingWithAnOpenEditor()
{
  TOpenWindow w(DemoFile());
  QLineEdit* edit = w.OpenNumberEditor(RoundsPerClipRow);
  QVERIFY(edit);
  edit->clear();
  QTest::keyClicks(edit, ".");
  delete w.win.data();
  QVERIFY(w.win.isNull());
  QCOMPARE(w.dialogs.Messages, QStringList());
}

void TWeaponsWinTest::dropDownThroughTheEditor()
{
  TOpenWindow w(DemoFile());
  QComboBox* combo = w.OpenDropDown(SoundTypeRow);
  QVERIFY(combo);
  QVERIFY(!combo->isEditable());
  QCOMPARE(TOpenWindow::Entries(combo), SoundNames);
  QCOMPARE(combo->currentText(), QString("Colt Detective"));

  // Confirming the name already shown changes nothing.
  QVERIFY(w.ConfirmDropDown(combo));
  QCOMPARE(w.Record(0).SoundType, 67);
  QVERIFY(!w.win->Modified);

  // Picking a name stores its value.
  combo = w.OpenDropDown(SoundTypeRow);
  QVERIFY(combo);
  combo->setCurrentIndex(combo->findText("Bat"));
  QVERIFY(w.ConfirmDropDown(combo));
  QCOMPARE(w.Record(0).SoundType, 66);
  QCOMPARE(w.Cell(SoundTypeRow), QString("Bat"));
  QVERIFY(w.win->Modified);

  // The holding list; leaving the editor confirms the pick.
  combo = w.OpenDropDown(HoldingTypeRow);
  QVERIFY(combo);
  QCOMPARE(TOpenWindow::Entries(combo), HoldingNames);
  QCOMPARE(combo->currentText(), QString("Handgun"));
  combo->setCurrentIndex(HoldingNames.indexOf("Swing"));
  w.win->ObjectTree->setFocus();
  QTRY_VERIFY(!w.win->TreeComboEdit->Editor());
  QCOMPARE(w.Record(0).HoldingType, 7);
  QCOMPARE(w.Cell(HoldingTypeRow), QString("Swing"));

  // The values are what the save writes.
  w.win->SaveFile();
  QCOMPARE(GetInt(w.Bytes(), 84), 66);
  QCOMPARE(GetInt(w.Bytes(), 92), 7);
  QCOMPARE(w.dialogs.Messages, QStringList{"Weapon File Saved"});
}

void TWeaponsWinTest::unnamedValueShowsItsNumber()
{
  TOpenWindow w(DemoFile());
  // Shown after a record whose values have names: no name is left over.
  QCOMPARE(w.Cell(SoundTypeRow), QString("Colt Detective"));
  w.Show(SignalPistol);
  QCOMPARE(w.Cell(SoundTypeRow), QString("64"));
  QCOMPARE(w.Cell(HoldingTypeRow), QString("Handgun"));
  w.Show(HuntingRifle);
  QCOMPARE(w.Cell(SoundTypeRow), QString("M1903 Springfield"));
  QCOMPARE(w.Cell(HoldingTypeRow), QString("8"));

  // The list still offers the names; confirming the number keeps the value.
  QComboBox* combo = w.OpenDropDown(HoldingTypeRow);
  QVERIFY(combo);
  QCOMPARE(TOpenWindow::Entries(combo), QStringList{"8"} + HoldingNames);
  QCOMPARE(combo->currentText(), QString("8"));
  QVERIFY(w.ConfirmDropDown(combo));
  QCOMPARE(w.Record(HuntingRifle).HoldingType, 8);
  QVERIFY(!w.win->Modified);

  w.Show(SignalPistol);
  combo = w.OpenDropDown(SoundTypeRow);
  QVERIFY(combo);
  QCOMPARE(TOpenWindow::Entries(combo), QStringList{"64"} + SoundNames);
  QVERIFY(w.ConfirmDropDown(combo));
  QCOMPARE(w.Record(SignalPistol).SoundType, 64);
  QVERIFY(!w.win->Modified);

  // Picking a name replaces the unnamed value.
  combo = w.OpenDropDown(SoundTypeRow);
  QVERIFY(combo);
  combo->setCurrentIndex(combo->findText("Thompson"));
  QVERIFY(w.ConfirmDropDown(combo));
  QCOMPARE(w.Record(SignalPistol).SoundType, 71);
  QVERIFY(w.win->Modified);
  QVERIFY(w.dialogs.Messages.isEmpty());
}

void TWeaponsWinTest::leadingBackslashIsRemoved()
{
  TOpenWindow w(DemoFile());
  QComboBox* combo = w.OpenDropDown(SoundTypeRow);
  QVERIFY(combo);
  w.win->TreeComboEdit->SetText("\\Bat");
  QCOMPARE(combo->currentText(), QString("\\Bat"));
  QVERIFY(w.ConfirmDropDown(combo));
  QCOMPARE(w.Record(0).SoundType, 66);
  QCOMPARE(w.Cell(SoundTypeRow), QString("Bat"));
}

void TWeaponsWinTest::sameNameEditThroughTheEditor()
{
  TOpenWindow w(DemoFile());
  w.Show(SharedBoltRifle);
  QVERIFY(w.EnterNumber(ReloadRateMSRow, "4100"));
  QCOMPARE(w.Record(BoltRifle).ReloadRateMS, 4100);
  QCOMPARE(w.Record(SharedBoltRifle).ReloadRateMS, 4100);
  QCOMPARE(w.Record(HeavyRevolver).ReloadRateMS, 3000);
  QComboBox* combo = w.OpenDropDown(HoldingTypeRow);
  QVERIFY(combo);
  combo->setCurrentIndex(combo->findText("Rifle"));
  QVERIFY(w.ConfirmDropDown(combo));
  QCOMPARE(w.Record(BoltRifle).HoldingType, 3);
  QCOMPARE(w.Record(SharedBoltRifle).HoldingType, 3);
  w.Show(BoltRifle);
  QCOMPARE(w.Cell(ReloadRateMSRow), QString("4100"));
  QCOMPARE(w.Cell(HoldingTypeRow), QString("Rifle"));
}

void TWeaponsWinTest::noSelectedRecordChangesNothing()
{
  {
    // No record has a name: nothing is listed and nothing can be edited.
    const std::string original = AllUnnamedFile();
    TOpenWindow w(original);
    QCOMPARE(w.win->ObjectTree->GetCount(), 0);
    QVERIFY(w.dialogs.Messages.isEmpty());
    QVERIFY(w.EnterNumber(RoundsPerClipRow, "5"));
    QVERIFY(w.EnterNumber(ObjectRow, "x"));
    QComboBox* combo = w.OpenDropDown(SoundTypeRow);
    QVERIFY(combo);
    combo->setCurrentIndex(combo->findText("None"));
    QVERIFY(w.ConfirmDropDown(combo));
    QVERIFY(!w.win->Modified);
    for (int row = 0; row < 10; ++row)
      QCOMPARE(w.Cell(row), QString());
    for (int i = 0; i < 35; ++i) {
      QCOMPARE(w.Record(i).RoundsPerClip, 4);
      QCOMPARE(w.Record(i).Object, std::string("obj"));
      QCOMPARE(w.Record(i).SoundType, 66);
    }
    w.win->SaveFile();
    QCOMPARE(w.Bytes(), original);
  }
  {
    // The selection was cleared: the grid still shows a record, but edits reach none.
    TOpenWindow w(DemoFile());
    w.win->ObjectTree->clearSelection();
    QVERIFY(w.EnterNumber(RoundsPerClipRow, "5"));
    QCOMPARE(w.Record(0).RoundsPerClip, 6);
    QCOMPARE(w.Cell(RoundsPerClipRow), QString("6"));
    QVERIFY(!w.win->Modified);
  }
}

void TWeaponsWinTest::saveMessages()
{
  TRecordingProgress progress;
  const std::string original = DemoFile();
  TOpenWindow w(original);
  w.win->SaveFile();
  QCOMPARE(w.dialogs.Messages, QStringList{"Weapon File Saved"});
  QCOMPARE(w.Bytes(), original);
  QVERIFY(!w.win->Modified);
  QVERIFY(std::find(progress.Calls.begin(), progress.Calls.end(), "caption:Saving Weapon Objects") !=
          progress.Calls.end());

  QVERIFY(w.EnterNumber(TotalRoundsRow, "40"));
  QVERIFY(w.win->Modified);
  w.win->SaveFile();
  QVERIFY(!w.win->Modified);
  QCOMPARE(GetInt(w.Bytes(), 100), 40);
  QCOMPARE(DifferingBytes(original, w.Bytes()), std::vector<size_t>{100});

#ifdef Q_OS_LINUX
  // The file vanished after loading: the save says so and the changes stay pending.
  QVERIFY(w.EnterNumber(TotalRoundsRow, "41"));
  QCOMPARE(std::remove(w.path.c_str()), 0);
  w.dialogs.Messages.clear();
  w.win->SaveFile();
  QCOMPARE(w.dialogs.Messages, QStringList{"Unable to Save Changes, Try saving again"});
  QVERIFY(w.win->Modified);
  QCOMPARE(TBinaryFile::FileLength(w.path), int64_t(-1));
#endif
}

void TWeaponsWinTest::shortOrMissingFileIsReportedOnce_data()
{
  QTest::addColumn<int>("size");
  QTest::addColumn<int>("listed");
  QTest::addColumn<QString>("message");
  const QString shorter = "The file is shorter than a complete weapons file (%1 of 6580 bytes). Only the %2 "
                          "records it holds completely are listed, and only they will be saved.";
  QTest::newRow("empty") << 0 << 0 << shorter.arg(0).arg(0);
  QTest::newRow("three records and a part") << 188 * 3 + 60 << 3 << shorter.arg(624).arg(3);
  QTest::newRow("past the unnamed record") << 188 * 21 + 1 << 20 << shorter.arg(3949).arg(21);
  QTest::newRow("missing") << -1 << 0 << "The file could not be opened, so no weapons are listed.";
}

void TWeaponsWinTest::shortOrMissingFileIsReportedOnce()
{
  QFETCH(int, size);
  QFETCH(int, listed);
  QFETCH(QString, message);
  const std::string bytes = size < 0 ? std::string() : DemoFile().substr(0, size_t(size));
  TOpenWindow w(bytes, size < 0 ? "missing" : "predmety.def");
  QCOMPARE(w.dialogs.Messages, QStringList{message});
  QCOMPARE(w.win->ObjectTree->GetCount(), listed);
  QVERIFY(w.win->ObjectTree->isEnabled());
  if (listed > 0) {
    QCOMPARE(w.win->ObjectTree->GetSelected(), w.win->ObjectTree->GetFirstNode());
    QCOMPARE(w.Cell(ObjectRow), QString("wpn_pocketrev"));
  } else {
    QCOMPARE(w.Cell(ObjectRow), QString());
  }
}

void TWeaponsWinTest::screenshot()
{
  const QString dir = qEnvironmentVariable("VELKORA_SCREENSHOT_DIR");
  if (dir.isEmpty())
    QSKIP("set VELKORA_SCREENSHOT_DIR to write docs/weapons-window.png");
  TOpenWindow w(DemoFile());
  w.win->resize(729, 450);
  w.Show(HeavyRevolver);
  w.win->StringTree->Select(w.Row(RangeRow));
  QTest::qWait(50);
  QVERIFY(w.win->grab().save(QDir(dir).filePath("weapons-window.png")));
}
