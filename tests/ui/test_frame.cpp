// The editor frame: record indices in the tree, grid cell styles and the in-place editing flow.
#include "binfile/Convert.h"
#include "tests/support/TestSupport.h"
#include "ui/EditorFrame.h"

#include <QHeaderView>
#include <QtTest>

namespace {

// A frame with a number row and a drop-down row, recording the editor operations it sees.
class TFrameWin : public TEditorWin {
public:
  TFrameWin()
  {
    StringTree->SetHeaderSections({"Item", "Data"});
    NumberRow = StringTree->Add(nullptr, "Count");
    ComboRow = StringTree->Add(nullptr, "Style");
    PlainRow = StringTree->Add(nullptr, "Name");
    StringTree->SetCellStyle(NumberRow, sftNumber);
    StringTree->SetCellStyle(ComboRow, sftText);
    TreeEdit = new TElTreeInplaceAdvancedEdit(StringTree);
    TreeEdit->OnBeforeOperation = [this](bool& def) {
      def = true;
      TreeEdit->SetMaxLength(5);
      Log << "before";
    };
    TreeEdit->OnValidateResult = [this](bool& valid) {
      Log << "validate:" + TreeEdit->GetText();
      if (TreeEdit->GetText() == "boom")
        StrToFloat32("boom");
      valid = TreeEdit->GetText() != "bad";
      if (!valid)
        TreeEdit->SetText(TElTree::GetColText(StringTree->GetSelected()));
    };
    Combo = new TElTreeInplaceTreeComboEdit(StringTree);
    Combo->OnBeforeOperation = [this](bool& def) {
      def = true;
      Combo->SetReadOnly(true);
      Combo->ClearItems();
      for (const char* name : {"Pistol", "Rifle", "Swing"})
        Combo->AddItem(name);
    };
    Combo->OnValidateResult = [](bool& valid) { valid = true; };
    Combo->OnAfterOperation = [this](bool& accepted, bool& def) {
      accepted = def = true;
      Log << "after:" + Combo->GetText();
    };
  }
  void LoadFile(const std::string& path) override { FileName = path; }
  void SaveFile() override {}

  QTreeWidgetItem* NumberRow;
  QTreeWidgetItem* ComboRow;
  QTreeWidgetItem* PlainRow;
  TElTreeInplaceAdvancedEdit* TreeEdit;
  TElTreeInplaceTreeComboEdit* Combo;
  QStringList Log;
};

// Types into the open line editor and confirms with Enter.
void TypeAndConfirm(TFrameWin& win, const QString& text)
{
  QLineEdit* editor = win.TreeEdit->Editor();
  QVERIFY(editor);
  editor->selectAll();
  QTest::keyClicks(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the view commits a confirmed edit from the event loop
}

}  // namespace

class TestFrame : public QObject {
  Q_OBJECT

private slots:
  void recordIndexIsTrimmedDecimalText_data()
  {
    QTest::addColumn<QString>("colText");
    QTest::addColumn<int>("index");
    QTest::newRow("plain") << "12" << 12;
    QTest::newRow("line break after") << "7\r\n" << 7;
    QTest::newRow("blanks") << "  3 " << 3;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("not a number") << "x1" << -1;
  }
  void recordIndexIsTrimmedDecimalText()
  {
    QFETCH(QString, colText);
    QFETCH(int, index);
    TElTree tree;
    QTreeWidgetItem* item = tree.Add(nullptr, "item");
    TElTree::SetColText(item, colText);
    QCOMPARE(TElTree::RecordIndexOf(item).value_or(-1), index);
    QVERIFY(!TElTree::RecordIndexOf(nullptr));
  }

  void treeOrderSelectionAndItemAtY()
  {
    TFrameWin win;
    win.resize(500, 300);
    win.show();
    TElTree* tree = win.ObjectTree;
    QTreeWidgetItem* top = tree->Add(nullptr, "Objects");
    QTreeWidgetItem* a = tree->AddRecord(top, "a", 0);
    QTreeWidgetItem* b = tree->AddRecord(nullptr, "b", 1);
    tree->expandAll();
    QCOMPARE(tree->GetCount(), 3);
    QCOMPARE(tree->GetItem(1), a);
    QCOMPARE(tree->GetItem(2), b);
    QCOMPARE(tree->GetItem(3), nullptr);
    QVERIFY(tree->header()->isHidden());

    QList<QTreeWidgetItem*> changes;
    connect(tree, &TElTree::ItemSelectedChange, [&](QTreeWidgetItem* item) { changes << item; });
    tree->Select(b);
    QCOMPARE(tree->GetSelected(), b);
    QCOMPARE(tree->GetFocused(), b);
    QCOMPARE(changes, QList<QTreeWidgetItem*>{b});

    const QRect rect = tree->visualItemRect(a);
    QCOMPARE(tree->GetItemAtY(rect.center().y()), a);
    QCOMPARE(tree->GetItemAtY(tree->viewport()->height() - 2), nullptr);
  }

  void styledCellsAndCheckBoxes()
  {
    TFrameWin win;
    QCOMPARE(win.NumberRow->font(TElTree::DataColumn).family(), QString("Arial"));
    QCOMPARE(win.NumberRow->foreground(TElTree::DataColumn).color(), win.StringTree->palette().color(QPalette::Highlight));
    QCOMPARE(win.StringTree->CellType(win.NumberRow), std::optional<TElFieldType>(sftNumber));
    QVERIFY(!win.StringTree->CellType(win.PlainRow));

    QTreeWidgetItem* boxRow = win.StringTree->Add(nullptr, "Roof");
    TElCellCheckBox* box = win.StringTree->SetCellCheckBox(boxRow);
    QCOMPARE(win.StringTree->CellCheckBox(boxRow), box);
    int clicks = 0;
    box->OnClick = [&](QObject* sender) {
      QCOMPARE(sender, box);
      ++clicks;
    };
    box->SetChecked(true);  // from code: no click
    QCOMPARE(clicks, 0);
    box->click();
    QCOMPARE(clicks, 1);
    QVERIFY(!box->GetChecked());
  }

  void acceptedEditWritesTheCell()
  {
    TFrameWin win;
    win.show();
    TElTree::SetColText(win.NumberRow, "10");
    win.StringTree->EditCell(win.NumberRow);
    QLineEdit* editor = win.StringTree->findChild<QLineEdit*>("TreeEditEditor");
    QVERIFY(editor);
    QCOMPARE(editor->text(), QString("10"));
    QCOMPARE(editor->maxLength(), 5);
    TypeAndConfirm(win, "123456");  // the sixth character cannot be typed
    QCOMPARE(TElTree::GetColText(win.NumberRow), QString("12345"));
    QCOMPARE(win.Log, (QStringList{"before", "validate:12345"}));
  }

  void refusedEditKeepsTheCell()
  {
    TFrameWin win;
    win.show();
    TElTree::SetColText(win.NumberRow, "10");
    win.StringTree->EditCell(win.NumberRow);
    TypeAndConfirm(win, "bad");
    QCOMPARE(TElTree::GetColText(win.NumberRow), QString("10"));
  }

  void conversionErrorIsReportedNotThrown()
  {
    TRecordingDialogs dialogs;
    TFrameWin win;
    win.show();
    TElTree::SetColText(win.NumberRow, "10");
    win.StringTree->EditCell(win.NumberRow);
    TypeAndConfirm(win, "boom");
    QCOMPARE(dialogs.Messages, QStringList{"'boom' is not a valid floating point value"});
    QCOMPARE(TElTree::GetColText(win.NumberRow), QString("10"));
  }

  void leavingTheEditorConfirms()
  {
    TFrameWin win;
    win.show();
    QApplication::setActiveWindow(&win);
    QVERIFY(QTest::qWaitForWindowActive(&win));
    TElTree::SetColText(win.NumberRow, "1");
    win.StringTree->EditCell(win.NumberRow);
    QLineEdit* editor = win.StringTree->findChild<QLineEdit*>("TreeEditEditor");
    QVERIFY(editor);
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, "42");
    win.ObjectTree->setEnabled(true);
    win.ObjectTree->setFocus();  // focus leaves the editor
    QTRY_COMPARE(TElTree::GetColText(win.NumberRow), QString("42"));
  }

  void untouchedEditorChangesNothing()
  {
    // A cell may show a shortened form of its value; leaving the editor untouched must not store it.
    TFrameWin win;
    win.show();
    TElTree::SetColText(win.NumberRow, "35");
    win.StringTree->EditCell(win.NumberRow);
    QLineEdit* editor = win.StringTree->findChild<QLineEdit*>("TreeEditEditor");
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(win.Log, QStringList{"before"});
    // Retyping the same text is an entry.
    win.StringTree->EditCell(win.NumberRow);
    TypeAndConfirm(win, "35");
    QCOMPARE(win.Log.last(), QString("validate:35"));
  }

  void plainRowOpensNoEditor()
  {
    TFrameWin win;
    win.show();
    win.StringTree->EditCell(win.PlainRow);
    QVERIFY(!win.StringTree->findChild<QLineEdit*>("TreeEditEditor"));
  }

  void dropDownKeepsAnUnknownValue_data()
  {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<int>("pick");  // -1: confirm without picking
    QTest::addColumn<QString>("expected");
    QTest::newRow("listed name kept") << "Rifle" << -1 << "Rifle";
    QTest::newRow("unknown value kept") << "64" << -1 << "64";
    QTest::newRow("pick a name") << "64" << 3 << "Swing";
  }
  void dropDownKeepsAnUnknownValue()
  {
    QFETCH(QString, cell);
    QFETCH(int, pick);
    QFETCH(QString, expected);
    TFrameWin win;
    win.show();
    TElTree::SetColText(win.ComboRow, cell);
    win.StringTree->EditCell(win.ComboRow);
    QComboBox* combo = win.StringTree->findChild<QComboBox*>("TreeComboEditEditor");
    QVERIFY(combo);
    QVERIFY(!combo->isEditable());
    QCOMPARE(combo->currentText(), cell);
    if (pick >= 0)
      combo->setCurrentIndex(pick);
    QTest::keyClick(combo, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(TElTree::GetColText(win.ComboRow), expected);
    QCOMPARE(win.Log.last(), "after:" + expected);
  }
};

QTEST_MAIN(TestFrame)
#include "test_frame.moc"
