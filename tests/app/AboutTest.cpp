#include "tests/app/AppFixture.h"

#include "app/Html.h"
#include "app/Myversioninfo.h"

#include <QTextBrowser>
#include <QtTest>

namespace {

// The HTML window with the modal loop replaced: ShowModal records what would be shown.
class TTestHtmlForm : public THtmlForm {
public:
  TTestHtmlForm() { HtmlForm = this; }
  ~TTestHtmlForm() override { HtmlForm = nullptr; }
  int ShowModal() override
  {
    Shown << size();
    Titles << windowTitle();
    Texts << HTMLView->toPlainText();
    return 0;
  }
  QList<QSize> Shown;
  QStringList Titles;
  QStringList Texts;
};

}  // namespace

// The version reader and the About box.
class TAboutTest : public QObject {
  Q_OBJECT
private slots:
  void getValueFollowsTheKeyTable()
  {
    TMyVersionInfo info;
    for (int i = 0; i < TMyVersionInfo::KeyCount; ++i)
      QVERIFY(info.GetValue(i).empty());
    info.CompanyName = "Company";
    info.FileVersion = "1.2.3.4";
    info.Comments = "Notes";
    QCOMPARE(QString(TMyVersionInfo::Keys[2]), QString("FileVersion"));
    QCOMPARE(info.GetValue(0), std::string("Company"));
    QCOMPARE(info.GetValue(2), std::string("1.2.3.4"));
    QCOMPARE(info.GetValue(9), std::string("Notes"));
    // Any other index, negative ones too, gives the file version.
    QCOMPARE(info.GetValue(10), std::string("1.2.3.4"));
    QCOMPARE(info.GetValue(-1), std::string("1.2.3.4"));
    QCOMPARE(info.GetValue(1 << 30), std::string("1.2.3.4"));
  }

  void startUpReadsTheBuildVersion()
  {
#ifdef _WIN32
    QSKIP("the test executable carries no version record");
#else
    TTestStore store;
    TTestMainForm form;
    QCOMPARE(form.VersionText, QString(VELKORA_VERSION));
    QCOMPARE(form.VersionText.split('.').size(), 4);
#endif
  }

  void setHtmlReplacesTheExactPlaceholder()
  {
    TTestStore store;
    TTestMainForm form;
    form.VersionText = "9.8.7.6";
    THtmlForm html;
    QCOMPARE(html.objectName(), QString("HtmlForm"));
    QCOMPARE(html.HTMLView->objectName(), QString("HTMLView"));
    QCOMPARE(html.windowTitle(), QString("Html"));
    html.SetHtml("Page", "<p>A $VERSION_NUMBER$ B $VERSION_NUMBER$ C $version_number$ D $VERSION_NUMBER</p>");
    QCOMPARE(html.windowTitle(), QString("Page"));
    QCOMPARE(html.HTMLView->toPlainText(), QString("A 9.8.7.6 B 9.8.7.6 C $version_number$ D $VERSION_NUMBER"));
    QVERIFY(!html.isVisible());
  }

  void aboutOpensAt300By170EveryTime()
  {
    TTestStore store;
    TTestMainForm form;
    form.VersionText = "1.2.3.4";
    TTestHtmlForm html;
    html.resize(520, 410);
    form.HelpAboutAction->trigger();
    html.resize(50, 600);
    form.HelpAboutActionExecute();
    QCOMPARE(html.Shown, (QList<QSize>{QSize(300, 170), QSize(300, 170)}));
    QCOMPARE(html.Titles[0], QString("About Velkora"));
    QVERIFY(html.Texts[0].contains("Version 1.2.3.4"));
    QVERIFY(!html.Texts[0].contains("$VERSION_NUMBER$"));
  }

  void aboutWithoutVersionSaysVersionAndNothingElse()
  {
    TTestStore store;
    TTestMainForm form;
    form.VersionText.clear();
    TTestHtmlForm html;
    form.HelpAboutActionExecute();
    const QStringList lines = html.Texts[0].split('\n');
    QVERIFY(lines.contains("Version "));
    QVERIFY(lines.contains("Special Thanks To:"));
  }

  void aboutPageIsWhiteOnBlackWithCentredBoldLines()
  {
    TTestStore store;
    TTestMainForm form;
    form.VersionText = "1.2.3.4";
    TTestHtmlForm html;
    form.HelpAboutActionExecute();
    const QString page = QString::fromLatin1(TMainForm::AboutHtml);
    QVERIFY(page.contains(R"(<body link="#FFFFCC" text="#FFFFFF" bgcolor="#000000">)"));

    // The rendered document: the version line is bold and centred.
    QTextDocument* doc = html.HTMLView->document();
    const QTextCursor found = doc->find("Version 1.2.3.4");
    QVERIFY(!found.isNull());
    QCOMPARE(found.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QVERIFY(found.charFormat().fontWeight() >= QFont::Bold);
    const QTextCursor link = doc->find("The Qt Project");
    QVERIFY(link.charFormat().isAnchor());
    QCOMPARE(link.charFormat().foreground().color(), QColor("#FFFFCC"));

    // What the user sees: a black page with light text.
    html.show();
    QVERIFY(QTest::qWaitForWindowExposed(&html));
    const QImage shot = html.HTMLView->grab().toImage();
    QCOMPARE(QColor(shot.pixel(2, 2)), QColor(Qt::black));
    int light = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x)
        light += qGray(shot.pixel(x, y)) > 200;
    QVERIFY(light > 50);
    int paleYellow = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x)
        paleYellow += QColor(shot.pixel(x, y)) == QColor("#FFFFCC");
    QVERIFY(paleYellow > 10);
  }
};

int RunAboutTests(int argc, char** argv)
{
  TAboutTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "AboutTest.moc"
