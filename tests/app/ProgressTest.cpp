#include "tests/app/AppFixture.h"

#include "app/Progress.h"

#include <QLabel>
#include <QWindow>
#include <QtTest>

namespace {

// Counts the paint events a widget receives.
class TPaintCounter : public QObject {
public:
  int Paints = 0;
  bool eventFilter(QObject*, QEvent* event) override
  {
    if (event->type() == QEvent::Paint)
      ++Paints;
    return false;
  }
};

const QString Star = "*";
const QString MinusPlus = "-+-+-+-+-+-+-+-+-+-+-+-+-+-+-+-+-+-";
const QString Stars = QString(35, '*');

}  // namespace

// The progress pop-up: layout, the animation that never restarts, and the repaint cadence.
class TProgressTest : public QObject {
  Q_OBJECT
private slots:
  void layout()
  {
    TProgressForm form;
    QCOMPARE(form.objectName(), QString("ProgressForm"));
    QCOMPARE(form.size(), QSize(180, 38));
    QCOMPARE(form.Label->objectName(), QString("Label"));
    QCOMPARE(form.Label->geometry(), QRect(15, 10, 150, 13));
    QCOMPARE(form.DisplayLabel->objectName(), QString("DisplayLabel"));
    QCOMPARE(form.DisplayLabel->geometry(), QRect(15, 21, 150, 13));
    QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(form.windowFlags() & Qt::WindowSystemMenuHint));

    // A long status is cut at the label's edge; the window does not grow.
    form.Show();
    form.SetStatus(std::string(400, 'W'));
    QCOMPARE(form.size(), QSize(180, 38));
    QCOMPARE(form.Label->width(), 150);
    form.Hide();
    QVERIFY(!form.isVisible());
  }

  void animationCyclesThroughThreePatterns()
  {
    TProgressForm form;
    form.Show();
    form.SetCaption("Reading Objects");
    QCOMPARE(form.windowTitle(), QString("Reading Objects"));
    const QStringList expected{Star, MinusPlus, Stars, Star};
    for (int i = 0; i < expected.size(); ++i) {
      form.SetStatus("Object " + std::to_string(i));
      QCOMPARE(form.DisplayLabel->text(), expected[i]);
      QCOMPARE(form.Label->text(), QString("Object %1").arg(i));
    }
    // Game text keeps every byte.
    form.SetStatus("Caf\xE9");
    QCOMPARE(form.Label->text(), QString::fromLatin1("Caf\xE9"));
  }

  void hideAndShowDoNotRestartTheCycle()
  {
    TProgressForm form;
    form.Show();
    form.SetStatus("a");
    form.SetStatus("b");
    form.Hide();
    form.Show();
    form.SetStatus("c");
    QCOMPARE(form.DisplayLabel->text(), Stars);
    form.SetStatus("d");
    QCOMPARE(form.DisplayLabel->text(), Star);
  }

  void repaintsAtMostAboutThirtyTimesASecond()
  {
    TProgressForm form;
    TPaintCounter counter;
    form.Show();
    // Show itself waits until the window can paint.
    QVERIFY(form.windowHandle()->isExposed());
    form.installEventFilter(&counter);

    // The first update after showing paints at once.
    form.SetStatus("first");
    QCOMPARE(counter.Paints, 1);

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 2000; ++i)
      form.SetStatus("item " + std::to_string(i));
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(counter.Paints <= 2 + elapsed / TProgressForm::RepaintInterval,
             qPrintable(QString("%1 paints in %2 ms").arg(counter.Paints).arg(elapsed)));
    // The labels still show the last update.
    QCOMPARE(form.Label->text(), QString("item 1999"));

    // After hiding and showing again the first update paints at once again.
    form.Hide();
    form.Show();
    const int before = counter.Paints;
    form.SetStatus("again");
    QCOMPARE(counter.Paints, before + 1);
  }

  void repaintMainRepaintsTheMainWindow()
  {
    TTestStore store;
    TTestMainForm main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QCoreApplication::processEvents();
    TPaintCounter counter;
    main.installEventFilter(&counter);
    TProgressForm form(&main);
    form.RepaintMain();
    QVERIFY(counter.Paints >= 1);
  }
};

int RunProgressTests(int argc, char** argv)
{
  TProgressTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "ProgressTest.moc"
