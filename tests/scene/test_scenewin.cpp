// The scene editor window driven through its widgets: layout, the tree, the grid, capturing
// every edit of the script editor, saving and the re-read, and a failed save.
#include "scene/Scene2.h"
#include "tests/support/TestSupport.h"
#include "tools/samples/SceneSample.h"
#include "tools/samples/Samples.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QPointer>
#include <QTextCursor>
#include <QtTest>

#include <memory>

using Samples::TSceneBuilder;

namespace {

std::unique_ptr<TScene2Win> OpenWindow(const std::string& path, bool show = false)
{
  auto win = std::make_unique<TScene2Win>();
  win->SetCaption(QString::fromStdString("Scene2 Editor - " + path));
  win->LoadFile(path);
  if (show) {
    win->show();
    if (!QTest::qWaitForWindowExposed(win.get()))
      return nullptr;
  }
  return win;
}

QTreeWidgetItem* Child(QTreeWidgetItem* node, const QString& text)
{
  for (int i = 0; i < node->childCount(); ++i)
    if (node->child(i)->text(0) == text)
      return node->child(i);
  return nullptr;
}

QTreeWidgetItem* ItemNamed(TScene2Win& win, const QString& text)
{
  for (QTreeWidgetItem* node : {win.ObjectsNode, win.ObjectDataNode, win.ScriptsNode})
    if (QTreeWidgetItem* item = Child(node, text))
      return item;
  return nullptr;
}

// Selects a record item as the user would (the tree fires its selection change).
bool SelectNamed(TScene2Win& win, const QString& text)
{
  QTreeWidgetItem* item = ItemNamed(win, text);
  if (!item)
    return false;
  win.ObjectTree->Select(item);
  return true;
}

QStringList GridRows(TScene2Win& win)
{
  QStringList rows;
  for (int i = 0; i < win.StringTree->topLevelItemCount(); ++i)
    rows << win.StringTree->topLevelItem(i)->text(0) + "=" + win.StringTree->topLevelItem(i)->text(1);
  return rows;
}

const SceneRecord& Shown(TScene2Win& win) { return *win.RecordAt(*win.ShownRecord()); }

std::string Latin1(const QString& text)
{
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), size_t(bytes.size()));
}

const std::string kDoorEast = "// opens when the tram arrives\r\nwait_for tram01 station\r\nopen door_east\r\n"
                              "say \"Caf\xE9 ouvert\"\r\n";

}  // namespace

class TestSceneWin : public QObject {
  Q_OBJECT
private slots:
  void layout();
  void treeListsRecords();
  void showRecord_data();
  void showRecord();
  void topNodesChangeNothing();
  void capture_data();
  void capture();
  void lfScriptIsStoredWithCrLf();
  void zeroByteScript();
  void keysWithTheTreeFocusElsewhere();
  void bytesRoundTrip();
  void mainPathSelectTypeSave();
  void editsOfTwoRecordsInOneSave();
  void failedSaveKeepsEdits();
  void closingDiscardsEdits();
  void screenshot();

private:
  TScratchDir dir_;
};

void TestSceneWin::layout()
{
  TScene2Win win;
  QCOMPARE(win.size(), QSize(480, 409));
  QCOMPARE(win.findChild<QPlainTextEdit*>("Editor"), win.Editor);
  QCOMPARE(win.findChild<QWidget*>("MainPanel"), win.MainPanel);
  QCOMPARE(win.findChild<QSplitter*>("SplitterV"), win.SplitterV);
  QCOMPARE(win.findChild<TElTree*>("StringTree"), win.StringTree);
  QCOMPARE(win.findChild<TElTree*>("ObjectTree"), win.ObjectTree);
  QCOMPARE(win.SplitterH->count(), 2);
  QCOMPARE(win.SplitterH->widget(0), static_cast<QWidget*>(win.ObjectTree));
  QCOMPARE(win.SplitterH->widget(1), win.MainPanel);
  QCOMPARE(win.SplitterV->orientation(), Qt::Vertical);
  QCOMPARE(win.SplitterV->widget(0), static_cast<QWidget*>(win.StringTree));
  QCOMPARE(win.SplitterV->widget(1), static_cast<QWidget*>(win.Editor));
  QCOMPARE(win.Editor->lineWrapMode(), QPlainTextEdit::NoWrap);
  QCOMPARE(win.Editor->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  QVERIFY(win.Editor->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
  QVERIFY(!win.StringTree->isHeaderHidden());
  QCOMPARE(win.ObjectTree->topLevelItemCount(), 3);
  QCOMPARE(win.ObjectTree->topLevelItem(0)->text(0), QString("Objects"));
  QCOMPARE(win.ObjectTree->topLevelItem(1)->text(0), QString("Object Data"));
  QCOMPARE(win.ObjectTree->topLevelItem(2)->text(0), QString("Scripts"));
  for (int i = 0; i < 3; ++i)
    QVERIFY(TElTree::GetColText(win.ObjectTree->topLevelItem(i)).isEmpty());
  QVERIFY(!win.ObjectTree->isEnabled());
  QVERIFY(!win.StringTree->isEnabled());
  QVERIFY(!win.Editor->isEnabled());
  QVERIFY(!win.Modified);

  win.LoadFile(dir_.Write("demo.bin", Samples::SceneDemo()));
  QVERIFY(win.ObjectTree->isEnabled());
  QVERIFY(win.StringTree->isEnabled());
  QVERIFY(!win.Editor->isEnabled());
  QCOMPARE(win.StringTree->topLevelItemCount(), 0);
  QCOMPARE(win.Caption(), QString("Scene2Win"));
}

void TestSceneWin::treeListsRecords()
{
  TRecordingProgress progress;
  auto win = OpenWindow(dir_.Write("demo.bin", Samples::SceneDemo()));
  auto listed = [](QTreeWidgetItem* node) {
    QStringList out;
    for (int i = 0; i < node->childCount(); ++i)
      out << node->child(i)->text(0) + ":" + TElTree::GetColText(node->child(i));
    return out;
  };
  QCOMPARE(listed(win->ObjectsNode), QStringList({"Tram01:0", "Guard_Post:1", "Kiosk:4"}));
  QCOMPARE(listed(win->ObjectDataNode), QStringList({"Tram01_body:2", "StreetLightNorth:5", "Kiosk_roof:6"}));
  QCOMPARE(listed(win->ScriptsNode), QStringList({"Door_East:7", "Guard:8", "Barrier:9", "Radio:10", "Finale:11"}));
  QCOMPARE(win->RecordAt(3)->Kind, uint8_t(0x45));  // takes index 3, no item
  QVERIFY(!win->ItemOf(3));
  const auto first = std::find(progress.Calls.begin(), progress.Calls.end(), "caption:Building Tree");
  QVERIFY(first != progress.Calls.end());
  QVERIFY(std::find(progress.Calls.begin(), first, "caption:Reading Objects") != first);
  QCOMPARE(progress.Calls.back(), std::string("hide"));

  // Same names get an item each; a record named like a top node is listed but shows nothing.
  const std::string twins = TSceneBuilder()
                                .Definition("Twin", 5, "first twin\r\n")
                                .Definition("Twin", 5, "second twin\r\n")
                                .Definition("Scripts", 5, "named like a node\r\n")
                                .Definition("Tail", 5, std::string(150, 't'))
                                .Build();
  win = OpenWindow(dir_.Write("twins.bin", twins));
  QCOMPARE(listed(win->ScriptsNode), QStringList({"Twin:0", "Twin:1", "Scripts:2", "Tail:3"}));
  win->ObjectTree->Select(win->ScriptsNode->child(1));
  QCOMPARE(Latin1(win->Editor->toPlainText()), std::string("second twin\n"));
  win->ObjectTree->Select(win->ScriptsNode->child(2));
  QCOMPARE(win->ShownRecord(), std::optional<int>(1));
}

void TestSceneWin::showRecord_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<QStringList>("rows");
  QTest::newRow("object 0x11") << "Tram01"
                               << QStringList({"Name=Tram01", "ObjectLength=", "ObjectPos=168", "HasScript=0"});
  QTest::newRow("object 0x10") << "Kiosk_roof" << QStringList({"Name=Kiosk_roof", "ObjectLength=", "ObjectPos=", "HasScript=0"});
  QTest::newRow("definition without script") << "Barrier" << QStringList({"Name=Barrier", "ObjectLength=", "ObjectPos=", "HasScript=0"});
  QTest::newRow("definition with script") << "Door_East"
                                          << QStringList({"Name=Door_East", "ObjectLength=", "ObjectPos=", "HasScript=1",
                                                          "ScriptLength=", "ScriptLengthPos="});
}

void TestSceneWin::showRecord()
{
  QFETCH(QString, name);
  QFETCH(QStringList, rows);
  auto win = OpenWindow(dir_.Write("demo.bin", Samples::SceneDemo()));
  QVERIFY(SelectNamed(*win, name));
  const SceneRecord& r = Shown(*win);
  QCOMPARE(QString::fromLatin1(r.Name.c_str()), name);
  const QStringList shown = GridRows(*win);
  QCOMPARE(shown.size(), rows.size());
  const QStringList values = {QString::fromLatin1(r.Name.c_str()), QString::number(r.ObjectLength),
                              QString::number(r.ObjectPos), r.HasScript ? "1" : "0",
                              QString::number(r.ScriptLength), QString::number(r.ScriptLengthPos)};
  for (int i = 0; i < rows.size(); ++i) {
    QVERIFY2(shown[i].startsWith(rows[i]), qPrintable(shown[i]));
    QCOMPARE(shown[i], rows[i].section('=', 0, 0) + "=" + values[i]);
  }
  QCOMPARE(win->Editor->isEnabled(), r.HasScript);
  QCOMPARE(win->SelectedScriptLength, r.ScriptLength);
  if (r.HasScript)
    QCOMPARE(Latin1(win->Editor->toPlainText()),
             std::string("// opens when the tram arrives\nwait_for tram01 station\nopen door_east\nsay \"Caf\xE9 ouvert\"\n"));
  else
    QVERIFY(win->Editor->toPlainText().isEmpty());
}

void TestSceneWin::topNodesChangeNothing()
{
  auto win = OpenWindow(dir_.Write("demo.bin", Samples::SceneDemo()));
  QVERIFY(SelectNamed(*win, "Door_East"));
  const QStringList rows = GridRows(*win);
  const QString text = win->Editor->toPlainText();
  for (QTreeWidgetItem* node : {win->ObjectsNode, win->ObjectDataNode, win->ScriptsNode}) {
    win->ObjectTree->Select(node);
    QCOMPARE(win->ObjectTree->GetSelected(), node);
    QCOMPARE(GridRows(*win), rows);
    QCOMPARE(win->Editor->toPlainText(), text);
    QVERIFY(win->Editor->isEnabled());
  }
  QVERIFY(!win->Modified);
}

void TestSceneWin::capture_data()
{
  QTest::addColumn<QString>("action");
  QTest::addColumn<QByteArray>("expected");
  const QByteArray door(kDoorEast.data(), int(kDoorEast.size()));
  QTest::newRow("one typed character") << "type" << QByteArray("x") + door;
  QTest::newRow("paste") << "paste" << QByteArray("PASTED ") + door;
  QTest::newRow("same-length edit") << "replace" << QByteArray("#") + door.mid(1);
  QTest::newRow("typed then deleted") << "type-delete" << door;
  QTest::newRow("undo") << "undo" << door;
  QTest::newRow("cut") << "cut" << door.mid(3);
}

void TestSceneWin::capture()
{
  QFETCH(QString, action);
  QFETCH(QByteArray, expected);
  TRecordingDialogs dialogs;
  auto win = OpenWindow(dir_.Write("demo.bin", Samples::SceneDemo()));
  QVERIFY(SelectNamed(*win, "Door_East"));
  QCOMPARE(Shown(*win).Script, kDoorEast);
  QPlainTextEdit* editor = win->Editor;
  QTextCursor cursor = editor->textCursor();
  cursor.movePosition(QTextCursor::Start);
  if (action == "type") {
    QTest::keyClicks(editor, "x");
  } else if (action == "paste") {
    QApplication::clipboard()->setText("PASTED ");
    editor->paste();
  } else if (action == "replace") {
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    QTest::keyClicks(editor, "#");
  } else if (action == "type-delete") {
    QTest::keyClicks(editor, "x");
    QVERIFY(Shown(*win).Script.find('x') == 0);
    QTest::keyClick(editor, Qt::Key_Backspace);
  } else if (action == "undo") {
    QTest::keyClicks(editor, "x");
    editor->undo();
  } else if (action == "cut") {
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, 3);
    editor->setTextCursor(cursor);
    editor->cut();
  }
  const SceneRecord& r = Shown(*win);
  QCOMPARE(QByteArray(r.Script.data(), int(r.Script.size())), expected);
  QVERIFY(r.ScriptChanged);
  QVERIFY(win->Modified);
  QCOMPARE(r.ScriptLength, uint32_t(kDoorEast.size()));  // the stored length is not changed by editing
  QVERIFY(dialogs.Messages.isEmpty());

  // Another record and back: the edited text is shown again.
  QVERIFY(SelectNamed(*win, "Guard"));
  QVERIFY(SelectNamed(*win, "Door_East"));
  QCOMPARE(Scene::ScriptFromEditor(win->EditorText()), std::string(expected.constData(), size_t(expected.size())));
}

void TestSceneWin::lfScriptIsStoredWithCrLf()
{
  auto win = OpenWindow(dir_.Write("demo.bin", Samples::SceneDemo()));
  QVERIFY(SelectNamed(*win, "Radio"));
  QCOMPARE(Shown(*win).Script, std::string("play channel_2\nvolume 40\nloop\n"));
  QTest::keyClicks(win->Editor, "x");
  QCOMPARE(Shown(*win).Script, std::string("xplay channel_2\r\nvolume 40\r\nloop\r\n"));
}

void TestSceneWin::zeroByteScript()
{
  const std::string stored("wait 1\r\nstop\0garbage\r\n", 22);
  const std::string path =
      dir_.Write("zero.bin", TSceneBuilder().Definition("Zero", 5, stored).Definition("Tail", 5, std::string(150, 't')).Build());
  auto win = OpenWindow(path);
  QVERIFY(SelectNamed(*win, "Zero"));
  QCOMPARE(Latin1(win->Editor->toPlainText()), std::string("wait 1\nstop"));
  QCOMPARE(Shown(*win).Script, stored);
  QVERIFY(!win->Modified);
  // The shown text is shorter than the stored length, so even a caret key captures it.
  QTest::keyClick(win->Editor, Qt::Key_Right);
  QVERIFY(win->Modified);
  QCOMPARE(Shown(*win).Script, std::string("wait 1\r\nstop\r\n"));
}

void TestSceneWin::keysWithTheTreeFocusElsewhere()
{
  TRecordingDialogs dialogs;
  auto win = OpenWindow(dir_.Write("demo.bin", Samples::SceneDemo()));
  QVERIFY(SelectNamed(*win, "Door_East"));
  const std::optional<int> door = win->ShownRecord();
  win->ObjectTree->Select(win->ScriptsNode);  // focus on a top node
  QTest::keyClicks(win->Editor, "a");
  win->ObjectTree->setCurrentItem(nullptr);  // focus on nothing
  QTest::keyClicks(win->Editor, "b");
  QCOMPARE(win->ShownRecord(), door);
  QCOMPARE(win->RecordAt(*door)->Script, "ab" + kDoorEast);
  QVERIFY(dialogs.Messages.isEmpty());
  for (int i = 0; i < win->RecordCount(); ++i)
    QCOMPARE(win->RecordAt(i)->ScriptChanged, i == *door);
}

void TestSceneWin::bytesRoundTrip()
{
  // Every byte value but zero, CR and LF, in lines ending in CR LF.
  std::string script;
  for (int b = 1; b < 256; ++b) {
    if (b == '\r' || b == '\n')
      continue;
    script.push_back(char(b));
    if (b % 32 == 0)
      script += "\r\n";
  }
  script += "\r\n";
  const std::string path =
      dir_.Write("bytes.bin", TSceneBuilder().Definition("Bytes", 5, script).Definition("Tail", 5, std::string(150, 't')).Build());
  auto win = OpenWindow(path);
  QVERIFY(SelectNamed(*win, "Bytes"));
  QCOMPARE(Scene::ScriptFromEditor(win->EditorText()), script);
  QTextCursor cursor = win->Editor->textCursor();
  cursor.movePosition(QTextCursor::End);
  win->Editor->setTextCursor(cursor);
  QTest::keyClicks(win->Editor, "x");
  QTest::keyClick(win->Editor, Qt::Key_Backspace);
  QVERIFY(win->Modified);
  win->SaveFile();
  QVERIFY(!win->Modified);
  const std::string now = Samples::ReadBytes(path);
  const std::vector<SceneRecord> records = Scene::WalkRecords(now, uint32_t(GetInt(now, 2)));
  QVERIFY(records.at(0).Script == script);
}

void TestSceneWin::mainPathSelectTypeSave()
{
  TRecordingDialogs dialogs;
  const std::string path = dir_.Write("main.bin", Samples::SceneDemo());
  const std::string old = Samples::ReadBytes(path);
  auto win = OpenWindow(path, true);
  QVERIFY(win);
  win->ObjectTree->expandAll();
  QTreeWidgetItem* guard = ItemNamed(*win, "Guard");
  const QRect rect = win->ObjectTree->visualItemRect(guard);
  QVERIFY(rect.isValid());
  QTest::mouseClick(win->ObjectTree->viewport(), Qt::LeftButton, {}, rect.center());
  QCOMPARE(QString::fromStdString(Shown(*win).Name), QString("Guard"));
  const SceneRecord before = Shown(*win);
  const uint32_t finaleBefore = win->RecordAt(11)->ObjectPos;

  QTest::mouseClick(win->Editor->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
  QTest::keyClicks(win->Editor, "wait 3");
  QTest::keyClick(win->Editor, Qt::Key_Return);
  QVERIFY(win->Modified);
  const std::string expected = "wait 3\r\npatrol guard_post kiosk\r\nif alarm\r\n  run_to tram01\r\nend\r\n";
  QCOMPARE(Shown(*win).Script, expected);

  win->SaveFile();
  QVERIFY(dialogs.Messages.isEmpty());
  QVERIFY(!win->Modified);
  const std::string now = Samples::ReadBytes(path);
  const int delta = int(expected.size()) - int(before.ScriptLength);
  QCOMPARE(int64_t(now.size()), int64_t(old.size()) + delta);
  QCOMPARE(GetInt(now, 2), int32_t(now.size()));
  QCOMPARE(now.substr(before.ScriptLengthPos + 4, expected.size()), expected);
  QCOMPARE(GetInt(now, int(before.ScriptLengthPos)), int(expected.size()));
  QCOMPARE(GetInt(now, int(before.ObjectPos + before.DataLengthOffset)), int(expected.size()) + 89);

  // The tree lists every record once, in index order, and Guard is selected and shown again.
  int items = 0;
  for (QTreeWidgetItem* node : {win->ObjectsNode, win->ObjectDataNode, win->ScriptsNode}) {
    int last = -1;
    for (int i = 0; i < node->childCount(); ++i) {
      const int index = TElTree::GetColText(node->child(i)).toInt();
      QVERIFY(index > last);
      last = index;
      ++items;
    }
  }
  QCOMPARE(items, 11);
  QCOMPARE(win->ObjectTree->GetSelected(), ItemNamed(*win, "Guard"));
  QCOMPARE(win->ObjectTree->GetFocused(), ItemNamed(*win, "Guard"));
  QCOMPARE(Shown(*win).Script, expected);
  QCOMPARE(Latin1(win->Editor->toPlainText()), std::string("wait 3\npatrol guard_post kiosk\nif alarm\n  run_to tram01\nend\n"));
  QVERIFY(GridRows(*win).contains("ScriptLength=" + QString::number(expected.size())));
  QCOMPARE(win->RecordAt(11)->ObjectPos, finaleBefore + uint32_t(delta));
  QVERIFY(!Shown(*win).ScriptChanged);
}

void TestSceneWin::editsOfTwoRecordsInOneSave()
{
  const std::string path = dir_.Write("two.bin", Samples::SceneDemo());
  auto win = OpenWindow(path);
  QVERIFY(SelectNamed(*win, "Door_East"));
  QTest::keyClicks(win->Editor, "// first");
  QTest::keyClick(win->Editor, Qt::Key_Return);
  QVERIFY(SelectNamed(*win, "Radio"));
  QTest::keyClicks(win->Editor, "stop");
  QTest::keyClick(win->Editor, Qt::Key_Return);
  win->SaveFile();
  QVERIFY(!win->Modified);
  const std::string now = Samples::ReadBytes(path);
  const std::vector<SceneRecord> records = Scene::WalkRecords(now, uint32_t(GetInt(now, 2)));
  QCOMPARE(records.size(), size_t(12));
  QCOMPARE(records[7].Script, "// first\r\n" + kDoorEast);
  QCOMPARE(records[10].Script, std::string("stop\r\nplay channel_2\r\nvolume 40\r\nloop\r\n"));
  QCOMPARE(QString::fromStdString(Shown(*win).Name), QString("Radio"));
  QCOMPARE(win->ObjectTree->GetSelected(), ItemNamed(*win, "Radio"));
}

void TestSceneWin::failedSaveKeepsEdits()
{
  TRecordingDialogs dialogs;
  const std::string path = dir_.Write("fail.bin", Samples::SceneDemo());
  const std::string old = Samples::ReadBytes(path);
  const QString copy = QString::fromStdString(path + ".NEW");
  QVERIFY(QDir().mkdir(copy));
  auto win = OpenWindow(path);
  QVERIFY(SelectNamed(*win, "Door_East"));
  QTest::keyClicks(win->Editor, "edit ");
  win->SaveFile();
  QCOMPARE(dialogs.Messages, QStringList({"Unable to Save Changes, Try saving again"}));
  QVERIFY(Samples::ReadBytes(path) == old);
  QVERIFY(QFileInfo(copy).isDir());
  QVERIFY(win->Modified);
  QVERIFY(Shown(*win).ScriptChanged);
  QCOMPARE(Shown(*win).Script, "edit " + kDoorEast);
  QVERIFY(win->Editor->toPlainText().startsWith("edit "));
  QVERIFY(win->Editor->isEnabled());

  QVERIFY(QDir().rmdir(copy));
  win->SaveFile();
  QCOMPARE(dialogs.Messages.size(), 1);
  QVERIFY(!win->Modified);
  const std::string now = Samples::ReadBytes(path);
  QCOMPARE(Scene::WalkRecords(now, uint32_t(GetInt(now, 2)))[7].Script, "edit " + kDoorEast);
}

void TestSceneWin::closingDiscardsEdits()
{
  TRecordingDialogs dialogs;
  const std::string path = dir_.Write("close.bin", Samples::SceneDemo());
  const std::string old = Samples::ReadBytes(path);
  QPointer<TScene2Win> win = new TScene2Win();
  win->LoadFile(path);
  QVERIFY(SelectNamed(*win, "Door_East"));
  QTest::keyClicks(win->Editor, "lost");
  QVERIFY(win->Modified);
  win->close();
  QTRY_VERIFY(win.isNull());
  QVERIFY(Samples::ReadBytes(path) == old);
  QVERIFY(dialogs.Messages.isEmpty());
  QVERIFY(dialogs.Questions.isEmpty());
}

void TestSceneWin::screenshot()
{
  const QByteArray out = qgetenv("VELKORA_SCREENSHOT_DIR");
  if (out.isEmpty())
    QSKIP("set VELKORA_SCREENSHOT_DIR to write the window's picture");
  auto win = OpenWindow(dir_.Write("scene2.bin", Samples::SceneDemo()), true);
  QVERIFY(win);
  win->SetCaption(QString::fromStdString("Scene2 Editor - scene2.bin"));
  win->resize(720, 480);
  win->ObjectTree->expandAll();
  QVERIFY(SelectNamed(*win, "Door_East"));
  win->SplitterH->setSizes({180, 535});
  QApplication::processEvents();
  const QString file = QDir(QString::fromLocal8Bit(out)).filePath("scene-window.png");
  QVERIFY(win->grab().save(file));
}

QTEST_MAIN(TestSceneWin)
#include "test_scenewin.moc"
