#include "tests/app/AppFixture.h"

#include "scene/Scene2.h"
#include "tests/support/TestSupport.h"
#include "tools/samples/Samples.h"
#include "ui/EditorFrame.h"
#include "vehicles/Vehicles.h"
#include "weapons/Weapons.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// Bytes of a file whose first four bytes are `head` followed by some filler.
std::string FileStarting(const std::string& head) { return head + std::string(12, '\x07'); }

// An editor window of no particular kind, for children the main window must skip or match.
class TPlainWin : public TEditorWin {
public:
  explicit TPlainWin(const QString& caption, const std::string& file) : TEditorWin(nullptr)
  {
    SetCaption(caption);
    FileName = file;
  }
  void LoadFile(const std::string& path) override { FileName = path; }
  void SaveFile() override { ++Saves; }
  int Saves = 0;
};

QMdiSubWindow* AddChild(TMainForm& form, TEditorWin* editor)
{
  QMdiSubWindow* child = form.MdiArea->addSubWindow(editor);
  child->show();
  return child;
}

}  // namespace

// Recording URL opener for the web links.
class TUrlRecorder : public QObject {
  Q_OBJECT
public:
  QList<QUrl> Urls;
public slots:
  void Open(const QUrl& url) { Urls << url; }
};

// The main window: kind detection, dispatch to editor windows, the recent-files list,
// the settings store, Save enabling and the Edit and Window commands.
class TMainFormTest : public QObject {
  Q_OBJECT
private slots:
  void detectFileKind_data()
  {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    const auto row = [](const char* name, const std::string& bytes, int kind) {
      QTest::newRow(name) << QByteArray(bytes.data(), int(bytes.size())) << kind;
    };
    row("vehicles header under another name", FileStarting(Bytes({1, 0, 0, 0})), 3);
    row("01 00 00 00 then S", Bytes({1, 0, 0, 0}) + "SSSS", 3);
    row("S then 01 00 00", "S" + Bytes({1, 0, 0}) + "xx", 1);
    row("text starting with S", "Scene text\r\nline two\r\n", 1);
    row("lowercase s", "scene text\r\n", -1);
    row("P", "PISTOL", 2);
    row("lowercase p", "pistol", -1);
    row("integer 1 in big-endian order", Bytes({0, 0, 0, 1}), -1);
    row("other first byte", "XS", -1);
    row("empty file", "", -1);
    row("shorter than four bytes", "S" + Bytes({1, 0}), -1);
  }
  void detectFileKind()
  {
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    TTestStore store;
    TScratchDir dir;
    TTestMainForm form;
    const std::string path = dir.Write("game.dat", bytes.toStdString());
    QCOMPARE(form.DetectFileKind(QString::fromStdString(path)), kind);
    // The probe is closed again after every detection.
    QVERIFY(!form.ProbeFile.IsOpen());
  }

  void missingFileIsUnknown()
  {
    TTestStore store;
    TScratchDir dir;
    TTestMainForm form;
    QCOMPARE(form.DetectFileKind(QString::fromStdString(dir.Path("gone.bin"))), -1);
    QCOMPARE(form.DetectFileKind(QString::fromStdString(dir.Path("no/such/folder/x.bin"))), -1);
  }

  void openCreatesTheEditorOfTheKind_data()
  {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("className");
    const auto bytes = [](const std::string& b) { return QByteArray(b.data(), int(b.size())); };
    // The demo files under a name that tells nothing: the kind comes from the content.
    QTest::newRow("vehicles") << bytes(Samples::VehiclesDemo()) << "Vehicles Editor - " << "TVehiclesWin";
    QTest::newRow("weapons") << bytes(Samples::WeaponsDemo()) << "Weapons Editor - " << "TWeaponsWin";
    QTest::newRow("scene") << bytes(Samples::SceneDemo()) << "Scene2 Editor - " << "TScene2Win";
  }
  void openCreatesTheEditorOfTheKind()
  {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, prefix);
    QFETCH(QString, className);
    TTestStore store;
    TRecordingDialogs dialogs;
    TScratchDir dir;
    TTestMainForm form;
    form.show();
    const QString path = QString::fromStdString(dir.Write("some name.any", bytes.toStdString()));
    form.NextPath = path;
    form.FileOpenExecute();

    const QList<TEditorWin*> editors = form.EditorWindows();
    QCOMPARE(editors.size(), 1);
    QCOMPARE(QString(editors[0]->metaObject()->className()), className);
    QCOMPARE(editors[0]->Caption(), prefix + path);
    QCOMPARE(editors[0]->FileName, path.toStdString());
    QVERIFY(editors[0]->isVisible());
    QCOMPARE(form.ActiveEditor(), editors[0]);
    QCOMPARE(form.MRU.Items(), QStringList{path});
    QVERIFY(dialogs.Messages.isEmpty());
  }

  void unknownFileTellsTheUserAndOpensNothing()
  {
    TTestStore store;
    TRecordingDialogs dialogs;
    TScratchDir dir;
    TTestMainForm form;
    form.NextPath = QString::fromStdString(dir.Write("notes.txt", "hello"));
    form.FileOpenExecute();
    QCOMPARE(dialogs.Messages, QStringList{"Unknown File Type"});
    QVERIFY(form.EditorWindows().isEmpty());
    QVERIFY(form.MRU.IsEmpty());
  }

  void cancelledDialogDoesNothing()
  {
    TTestStore store;
    TRecordingDialogs dialogs;
    TTestMainForm form;
    form.FileOpenExecute();
    QCOMPARE(form.DialogRuns, 1);
    QVERIFY(form.EditorWindows().isEmpty());
    QVERIFY(dialogs.Messages.isEmpty());
  }

  void openingAnOpenPathBringsItsWindowToTheFront()
  {
    TTestStore store;
    TRecordingDialogs dialogs;
    TScratchDir dir;
    TTestMainForm form;
    form.show();
    const QString a = QString::fromStdString(dir.Write("a.bin", Samples::SceneDemo()));
    const QString b = QString::fromStdString(dir.Write("b.def", Samples::WeaponsDemo()));
    form.OpenFile(a);
    form.OpenFile(b);
    QCOMPARE(form.ActiveEditor()->FileName, b.toStdString());
    const QStringList mruBefore = form.MRU.Items();

    form.NextPath = a;
    form.FileOpenExecute();
    QCOMPARE(form.EditorWindows().size(), 2);
    QCOMPARE(form.ActiveEditor()->FileName, a.toStdString());
    QCOMPARE(form.MRU.Items(), mruBefore);

    // A recent-files click on an open path does the same.
    form.MRUClick(b);
    QCOMPARE(form.EditorWindows().size(), 2);
    QCOMPARE(form.ActiveEditor()->FileName, b.toStdString());
    QCOMPARE(form.MRU.Items(), mruBefore);
  }

  void pathDifferingOnlyInCaseOpensASecondWindow()
  {
    TTestStore store;
    TRecordingDialogs dialogs;
    TScratchDir dir;
    TTestMainForm form;
    // Both spellings exist as files here, whether the file system tells case apart or not.
    const QString lower = QString::fromStdString(dir.Write("scene2.bin", Samples::SceneDemo()));
    const QString upper = QString::fromStdString(dir.Write("SCENE2.BIN", Samples::SceneDemo()));
    form.OpenFile(lower);
    QVERIFY(!form.ActivateIfOpen(upper));
    form.OpenFile(upper);
    QCOMPARE(form.EditorWindows().size(), 2);
    // The recent-files list ignores case: the second spelling is not added.
    QCOMPARE(form.MRU.Items(), QStringList{lower});
  }

  void activateIfOpenWalksEveryEditorChild()
  {
    TTestStore store;
    TTestMainForm form;
    form.show();
    auto* first = new TPlainWin("Vehicles Editor - /g/v.bin", "/g/v.bin");
    auto* other = new TPlainWin("Weapons Editor - /g/w.def", "/g/w.def");
    auto* second = new TPlainWin("Scene2 Editor - /g/v.bin", "/g/v.bin");
    auto* foreign = new TPlainWin("Notes - /g/n.txt", "/g/n.txt");
    QMdiSubWindow* firstChild = AddChild(form, first);
    AddChild(form, other);
    AddChild(form, second);
    AddChild(form, foreign);

    QVERIFY(form.ActivateIfOpen("/g/v.bin"));
    // Every match is brought forward, from the last child down to the first.
    QCOMPARE(form.MdiArea->currentSubWindow(), firstChild);
    QVERIFY(!form.ActivateIfOpen("/g/V.bin"));
    // Children whose caption names no editor kind are not compared.
    QVERIFY(!form.ActivateIfOpen("/g/n.txt"));
  }

  void recentEntryOfADeletedFileSaysUnknownAndStays()
  {
    TTestStore store;
    TRecordingDialogs dialogs;
    TScratchDir dir;
    TTestMainForm form;
    const QString gone = QString::fromStdString(dir.Write("old.bin", Samples::SceneDemo()));
    const QString kept = QString::fromStdString(dir.Write("kept.def", Samples::WeaponsDemo()));
    form.OpenFile(kept);
    form.OpenFile(gone);
    for (QMdiSubWindow* child : form.MdiArea->subWindowList())
      child->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(QFile::remove(gone));
    QCOMPARE(form.MRU.Items(), (QStringList{gone, kept}));

    // Click the entries through the submenu as the user would.
    const QList<QAction*> entries = form.MenuItemRecent->actions();
    QCOMPARE(entries[0]->text(), "&1 " + gone);
    QCOMPARE(entries[1]->text(), "&2 " + kept);
    entries[0]->trigger();
    QCOMPARE(dialogs.Messages, QStringList{"Unknown File Type"});
    QVERIFY(form.EditorWindows().isEmpty());
    QCOMPARE(form.MRU.Items(), (QStringList{gone, kept}));

    entries[1]->trigger();
    QCOMPARE(form.EditorWindows().size(), 1);
    QCOMPARE(form.EditorWindows()[0]->FileName, kept.toStdString());
    QCOMPARE(form.MRU.Items(), (QStringList{gone, kept}));
    QCOMPARE(dialogs.Messages.size(), 1);
  }

  void elevenOpenedFilesLeaveTheTenNewestInTheMenu()
  {
    TTestStore store;
    TRecordingDialogs dialogs;
    TScratchDir dir;
    TTestMainForm form;
    QVERIFY(!form.MenuItemRecent->isEnabled());
    QStringList paths;
    for (int i = 0; i < 11; ++i) {
      paths.prepend(QString::fromStdString(dir.Write("f" + std::to_string(i) + ".bin", Samples::SceneDemo())));
      form.OpenFile(paths.first());
    }
    QVERIFY(form.MenuItemRecent->isEnabled());
    QCOMPARE(form.MRU.Items(), paths.mid(0, 10));
    QStringList shown;
    for (QAction* entry : form.MenuItemRecent->actions())
      if (entry->isVisible())
        shown << entry->text();
    QCOMPARE(shown.size(), 10);
    QCOMPARE(shown[0], "&1 " + paths[0]);
    QCOMPARE(shown[9], "1&0 " + paths[9]);
  }

  void emptyStoreGivesTheDefaults()
  {
    TTestStore store;
    TTestMainForm form;
    QCOMPARE(form.pos(), QPoint(200, 115));
    QCOMPARE(form.size(), QSize(390, 300));
    QVERIFY(form.MRU.IsEmpty());
    QVERIFY(!form.MenuItemRecent->isEnabled());
    QVERIFY(!form.FileSaveAction->isEnabled());
  }

  void settingsRoundTrip()
  {
    TTestStore store;
    TRecordingDialogs dialogs;
    TScratchDir dir;
    const QString a = QString::fromStdString(dir.Write("a.bin", Samples::SceneDemo()));
    const QString b = QString::fromStdString(dir.Write("b.def", Samples::WeaponsDemo()));
    {
      TTestMainForm form;
      form.show();
      form.move(321, 123);
      form.resize(640, 480);
      form.OpenFile(a);
      form.OpenFile(b);
      form.FileSaveAction->setEnabled(true);
      form.FileExit1->trigger();
    }
    {
      auto raw = store.Open();
      QCOMPARE(raw->value("WindowLeft").toInt(), 321);
      QCOMPARE(raw->value("WindowTop").toInt(), 123);
      QCOMPARE(raw->value("WindowWidth").toInt(), 640);
      QCOMPARE(raw->value("WindowHeight").toInt(), 480);
    }
    TTestMainForm again;
    QCOMPARE(again.pos(), QPoint(321, 123));
    QCOMPARE(again.size(), QSize(640, 480));
    QCOMPARE(again.MRU.Items(), (QStringList{b, a}));
    QVERIFY(again.MenuItemRecent->isEnabled());
  }

  void unreadableValuesTakeTheirDefaults()
  {
    TTestStore store;
    {
      auto raw = store.Open();
      raw->setValue("WindowLeft", "left");
      raw->setValue("WindowHeight", 333);
    }
    TTestMainForm form;
    QCOMPARE(form.pos(), QPoint(200, 115));
    QCOMPARE(form.size(), QSize(390, 333));
  }

  void saveIsEnabledOnlyWhenTheFileMenuOpens()
  {
    TTestStore store;
    TRecordingDialogs dialogs;
    TScratchDir dir;
    TTestMainForm form;
    form.show();
    QVERIFY(!form.FileSaveAction->isEnabled());
    emit form.MenuFile->aboutToShow();
    QVERIFY(!form.FileSaveAction->isEnabled());

    form.OpenFile(QString::fromStdString(dir.Write("w.def", Samples::WeaponsDemo())));
    QMdiSubWindow* weaponsChild = form.MdiArea->currentSubWindow();
    form.OpenFile(QString::fromStdString(dir.Write("s.bin", Samples::SceneDemo())));
    QMdiSubWindow* sceneChild = form.MdiArea->currentSubWindow();
    form.MdiArea->setActiveSubWindow(weaponsChild);
    form.ActiveEditor()->Modified = true;
    QVERIFY(!form.FileSaveAction->isEnabled());  // an edit alone changes nothing
    emit form.MenuFile->aboutToShow();
    QVERIFY(form.FileSaveAction->isEnabled());

    form.MdiArea->setActiveSubWindow(sceneChild);
    QCOMPARE(form.ActiveEditor()->Modified, false);
    QVERIFY(form.FileSaveAction->isEnabled());  // stays until the menu opens again
    emit form.MenuFile->aboutToShow();
    QVERIFY(!form.FileSaveAction->isEnabled());
  }

  void saveGoesToTheActiveEditor()
  {
    TTestStore store;
    TRecordingDialogs dialogs;
    TScratchDir dir;
    TTestMainForm form;
    form.show();
    form.OpenFile(QString::fromStdString(dir.Write("v.bin", Samples::VehiclesDemo())));
    QMdiSubWindow* vehicles = form.MdiArea->currentSubWindow();
    form.OpenFile(QString::fromStdString(dir.Write("w.def", Samples::WeaponsDemo())));
    QVERIFY(dialogs.Messages.isEmpty());

    form.FileSaveActionExecute();
    QCOMPARE(dialogs.Messages, QStringList{"Weapon File Saved"});
    form.MdiArea->setActiveSubWindow(vehicles);
    form.FileSaveActionExecute();
    QCOMPARE(dialogs.Messages, (QStringList{"Weapon File Saved", "Vehicle File Saved"}));
  }

  void saveGoesToTheEditorOfTheCaptionsKindOnly()
  {
    TTestStore store;
    TTestMainForm form;
    form.show();
    // A window whose caption claims a kind its class is not must not be saved as that kind.
    auto* pretender = new TPlainWin("Vehicles Editor - /g/v.bin", "/g/v.bin");
    AddChild(form, pretender);
    form.FileSaveActionExecute();
    QCOMPARE(pretender->Saves, 0);
    // With no window at all Save does nothing.
    form.MdiArea->closeAllSubWindows();
    form.FileSaveActionExecute();
  }

  void editCommandsWorkOnTheFocusedTextEditor()
  {
    TTestStore store;
    TTestMainForm form;
    auto* editor = new TPlainWin("Scene2 Editor - /g/s.bin", "/g/s.bin");
    auto* line = new QLineEdit("alpha beta", editor);
    editor->layout()->addWidget(line);
    AddChild(form, editor);
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    line->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), line);

    line->deselect();
    QVERIFY(!form.EditCut1->isEnabled());
    QVERIFY(!form.EditCopy1->isEnabled());
    line->setSelection(0, 5);
    QVERIFY(form.EditCut1->isEnabled());
    QVERIFY(form.EditCopy1->isEnabled());

    form.EditCut1->trigger();
    QCOMPARE(line->text(), QString(" beta"));
    QCOMPARE(QApplication::clipboard()->text(), QString("alpha"));
    QVERIFY(form.EditPaste1->isEnabled());
    line->end(false);
    form.EditPaste1->trigger();
    QCOMPARE(line->text(), QString(" betaalpha"));

    line->setReadOnly(true);
    line->selectAll();
    QVERIFY(!form.EditCut1->isEnabled());
    QVERIFY(form.EditCopy1->isEnabled());
  }

  void windowCommandsArrangeTheEditors()
  {
    TTestStore store;
    TTestMainForm form;
    form.resize(800, 600);
    form.show();
    emit form.MenuWindow->aboutToShow();
    QVERIFY(!form.WindowCascade1->isEnabled());
    QVERIFY(!form.WindowTileVertical1->isEnabled());

    QMdiSubWindow* a = AddChild(form, new TPlainWin("Scene2 Editor - a", "a"));
    QMdiSubWindow* b = AddChild(form, new TPlainWin("Scene2 Editor - b", "b"));
    emit form.MenuWindow->aboutToShow();
    QVERIFY(form.WindowTileVertical1->isEnabled());
    const QRect area = form.MdiArea->viewport()->rect();

    form.WindowTileVertical1->trigger();  // side by side
    QCOMPARE(a->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    QCOMPARE(b->geometry(), QRect(area.width() / 2, 0, area.width() - area.width() / 2, area.height()));

    form.WindowTileHorizontal1->trigger();  // one above the other
    QCOMPARE(a->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    QCOMPARE(b->geometry(), QRect(0, area.height() / 2, area.width(), area.height() - area.height() / 2));

    form.WindowMinimizeAll1->trigger();
    QVERIFY(a->isMinimized());
    QVERIFY(b->isMinimized());
    form.WindowArrangeAll1->trigger();
    QCOMPARE(a->geometry().bottom(), area.bottom());
    QCOMPARE(b->geometry().left(), a->geometry().right() + 1);
  }

  void webLinksOpenTheSiteAndTheForum()
  {
    TTestStore store;
    TTestMainForm form;
    TUrlRecorder recorder;
    QDesktopServices::setUrlHandler("http", &recorder, "Open");
    QDesktopServices::setUrlHandler("https", &recorder, "Open");
    form.VisitWebSiteAction->trigger();
    form.VisitForumsAction->trigger();
    QDesktopServices::unsetUrlHandler("http");
    QDesktopServices::unsetUrlHandler("https");

    const QUrl site(VELKORA_WEBSITE_URL);
    QCOMPARE(recorder.Urls.size(), 2);
    QCOMPARE(recorder.Urls[0], site);
    QCOMPARE(recorder.Urls[1].host(), site.host());
    QCOMPARE(recorder.Urls[1].path(), QString("/modules.php"));
    QCOMPARE(recorder.Urls[1].query(), QString("name=Forums"));
    QCOMPARE(form.VisitWebSiteAction->text(), QString("Website - ") + VELKORA_WEBSITE_NAME);
  }
};

int RunMainFormTests(int argc, char** argv)
{
  TMainFormTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "MainFormTest.moc"
