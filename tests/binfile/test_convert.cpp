// Number conversions: "." always, the general format's digits and switch to exponent form.
#include "binfile/Convert.h"

#include <QtTest>

#include <clocale>
#include <limits>

class TestConvert : public QObject {
  Q_OBJECT

private slots:
  void general_data()
  {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("precision");
    QTest::addColumn<int>("minExp");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0.0 << 15 << 0 << "0";
    QTest::newRow("whole") << 1500.0 << 15 << 0 << "1500";
    QTest::newRow("fraction") << 35.5 << 15 << 0 << "35.5";
    QTest::newRow("negative") << -2.25 << 7 << 4 << "-2.25";
    QTest::newRow("float 0.35 at G15") << double(0.35f) << 15 << 0 << "0.349999994039536";
    QTest::newRow("float 0.35 at G7") << double(0.35f) << 7 << 4 << "0.35";
    QTest::newRow("small fixed") << 0.00001 << 7 << 4 << "0.00001";
    QTest::newRow("tiny goes exponent") << 0.000001 << 7 << 4 << "1E-0006";
    QTest::newRow("G7 big goes exponent") << 123456789.0 << 7 << 4 << "1.234568E+0008";
    QTest::newRow("G7 seven digits stay fixed") << 1234567.0 << 7 << 4 << "1234567";
    QTest::newRow("G15 big") << 1e20 << 15 << 0 << "1E+20";
    QTest::newRow("rounding carries") << 9.9999999 << 7 << 4 << "10";
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 7 << 4 << "NAN";
  }
  void general()
  {
    QFETCH(double, value);
    QFETCH(int, precision);
    QFETCH(int, minExp);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(FormatGeneral(value, precision, minExp)), expected);
  }

  void parsing_data()
  {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "12" << true << 12.0;
    QTest::newRow("point") << "0.5" << true << 0.5;
    QTest::newRow("blanks") << " 12 " << true << 12.0;
    QTest::newRow("leading point") << ".5" << true << 0.5;
    QTest::newRow("trailing point") << "5." << true << 5.0;
    QTest::newRow("lone point") << "." << false << 0.0;
    QTest::newRow("two points") << "1.2.3" << false << 0.0;
    QTest::newRow("two points in a row") << "1..2" << false << 0.0;
    QTest::newRow("comma") << "1,5" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
  }
  void parsing()
  {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    try {
      const float parsed = StrToFloat32(text.toStdString());
      QVERIFY(valid);
      QCOMPARE(parsed, float(value));
    } catch (const EConvertError& e) {
      QVERIFY(!valid);
      QCOMPARE(QString(e.what()), "'" + text + "' is not a valid floating point value");
    }
  }

  void nearestFloat32()
  {
    // Parsed straight to float32, not through a double first.
    QCOMPARE(StrToFloat32("0.1"), 0.1f);
    QCOMPARE(StrToFloat32("16777217"), 16777216.0f);
  }

  void localeDoesNotChangeThePoint()
  {
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
      QSKIP("no comma locale installed");
    QCOMPARE(QString::fromStdString(FormatGeneral(0.5, 7, 4)), QString("0.5"));
    QCOMPARE(StrToFloat32("0.5"), 0.5f);
    std::setlocale(LC_ALL, saved.c_str());
  }

  void integers()
  {
    QCOMPARE(StrToInt("1500"), 1500);
    QCOMPARE(StrToInt(" 7 "), 7);
    for (const char* bad : {"1.5", "", "99999999999", "1e3"}) {
      try {
        StrToInt(bad);
        QFAIL(bad);
      } catch (const EConvertError& e) {
        QCOMPARE(QString(e.what()), QString("'%1' is not a valid integer value").arg(bad));
      }
    }
    QCOMPARE(QString::fromStdString(IntToStr(-42)), QString("-42"));
  }
};

QTEST_GUILESS_MAIN(TestConvert)
#include "test_convert.moc"
