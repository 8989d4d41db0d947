#include "tests/app/AppFixture.h"

#include "app/RecentFiles.h"

#include <QtTest>

// The recent-files rules, without a window.
class TRecentFilesTest : public QObject {
  Q_OBJECT
private slots:
  void keepsTheTenNewestNewestFirst()
  {
    TRecentFiles mru;
    for (int i = 1; i <= 11; ++i)
      QVERIFY(mru.Add(QString("/g/file%1.bin").arg(i)));
    QCOMPARE(mru.Items().size(), 10);
    QCOMPARE(mru.Items().first(), QString("/g/file11.bin"));
    QCOMPARE(mru.Items().last(), QString("/g/file2.bin"));
    QVERIFY(!mru.Contains("/g/file1.bin"));
  }

  void listedPathIgnoringCaseIsNotAddedAndKeepsItsPlace()
  {
    TRecentFiles mru;
    mru.Add("C:\\Game\\vehicles.bin");
    mru.Add("C:\\Game\\scene2.bin");
    mru.Add("C:\\Game\\predmety.def");
    const QStringList before = mru.Items();
    QVERIFY(!mru.Add("c:\\GAME\\Vehicles.BIN"));
    QVERIFY(!mru.Add("C:\\Game\\scene2.bin"));
    QCOMPARE(mru.Items(), before);
  }

  void captionsCarryAnAcceleratorDigit()
  {
    TRecentFiles mru;
    for (int i = 10; i >= 1; --i)
      mru.Add(QString("/g/f%1").arg(i));
    QCOMPARE(mru.Caption(0), QString("&1 /g/f1"));
    QCOMPARE(mru.Caption(8), QString("&9 /g/f9"));
    QCOMPARE(mru.Caption(9), QString("1&0 /g/f10"));

    TRecentFiles amp;
    amp.Add("/g/Rock&Roll/scene2.bin");
    QCOMPARE(amp.Caption(0), QString("&1 /g/Rock&&Roll/scene2.bin"));
  }

  void storeRoundTripKeepsOrder()
  {
    TTestStore store;
    TRecentFiles mru;
    mru.Add("/g/a.bin");
    mru.Add(QString::fromUtf8("/g/\xC3\xA9t\xC3\xA9/b, c.bin"));
    mru.Add("/g/c.bin");
    mru.Save(*store.Open());

    TRecentFiles again;
    again.Add("/stale/entry");
    again.Load(*store.Open());
    QCOMPARE(again.Items(), mru.Items());

    // Saving a shorter list leaves no stale entries behind.
    TRecentFiles shorter;
    shorter.Add("/g/only.bin");
    shorter.Save(*store.Open());
    again.Load(*store.Open());
    QCOMPARE(again.Items(), QStringList{"/g/only.bin"});
  }
};

int RunRecentFilesTests(int argc, char** argv)
{
  TRecentFilesTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "RecentFilesTest.moc"
