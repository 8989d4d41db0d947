// The file accessor: typed reads, fixed-width texts, blocks, in-place writes and failures.
#include "binfile/Binaryfile.h"
#include "tests/support/TestSupport.h"

#include <QtTest>

#include <filesystem>

class TestBinaryFile : public QObject {
  Q_OBJECT

private slots:
  void openMissingFileKeepsSizeAndSetsPath()
  {
    TScratchDir dir;
    const std::string good = dir.Write("good.bin", Bytes({1, 2, 3, 4, 5}));
    TBinaryFile f;
    QCOMPARE(f.Open(good), 1);
    QCOMPARE(f.Size, 5);
    QCOMPARE(f.Close(), 1);

    const std::string missing = dir.Path("missing.bin");
    QCOMPARE(f.Open(missing), -1);
    QCOMPARE(f.Path, missing);
    QCOMPARE(f.Size, 5);
    QCOMPARE(f.Close(), -1);

    // A failed Open does not spoil the next one.
    QCOMPARE(f.Open(good), 1);
    QCOMPARE(f.ReadInt(0, 1), 0x05040302);
  }

  void emptyFileOpensWithSizeZero()
  {
    TScratchDir dir;
    TBinaryFile f;
    QCOMPARE(f.Open(dir.Write("empty.bin", "")), 1);
    QCOMPARE(f.Size, 0);
    QCOMPARE(f.ReadInt(0, 0), 0);
    QCOMPARE(f.ReadString16(0, 0), std::string());
  }

  void typedReadsAreLittleEndian()
  {
    TScratchDir dir;
    std::string bytes(16, '\0');
    PutInt(bytes, 0, -2);
    PutShort(bytes, 4, 0xBEEF);
    PutFloat(bytes, 8, 1.5f);
    bytes[12] = '\xFE';
    TBinaryFile f;
    QCOMPARE(f.Open(dir.Write("t.bin", bytes)), 1);
    QCOMPARE(f.ReadInt(0, 0), -2);
    QCOMPARE(f.ReadShort(2, 2), uint16_t(0xBEEF));
    QCOMPARE(f.ReadFloat(4, 4), 1.5f);
    QCOMPARE(f.ReadByte(12, 0), uint8_t(0xFE));
    // Reads in any order; a read past the end gives 0 and does not affect later reads.
    QCOMPARE(f.ReadInt(14, 0), 0);
    QCOMPARE(f.ReadInt(-4, 0), 0);
    QCOMPARE(f.ReadInt(0, 0), -2);
  }

  void fixedWidthTexts_data()
  {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("zero-terminated") << QByteArray("Thompson\0\0\0\0\0\0\0\0", 16) << QByteArray("Thompson");
    QTest::newRow("no zero byte") << QByteArray("ABCDEFGHIJKLMNOP") << QByteArray("ABCDEFGHIJKLMNOP");
    QTest::newRow("8-bit bytes") << QByteArray("\xE9\xFF\x80x\0garbage\0\0\0\0\0", 16) << QByteArray("\xE9\xFF\x80x");
    QTest::newRow("empty") << QByteArray(16, '\0') << QByteArray();
  }
  void fixedWidthTexts()
  {
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, expected);
    TScratchDir dir;
    // The field after 4 bytes of padding, followed by bytes that must not leak into the text.
    const std::string bytes = std::string(4, 'x') + field.toStdString() + std::string(40, 'Z');
    TBinaryFile f;
    QCOMPARE(f.Open(dir.Write("s.bin", bytes)), 1);
    QCOMPARE(QByteArray::fromStdString(f.ReadString16(0, 4)), expected);
    QVERIFY(f.ReadString32(0, 4).size() <= 32);
    QVERIFY(f.ReadString36(0, 4).size() <= 36);
  }

  void readBlockFillsPastTheEndWithLineFeeds()
  {
    TScratchDir dir;
    TBinaryFile f;
    QCOMPARE(f.Open(dir.Write("b.bin", Bytes({0, 1, 2, 3, 4, 5, 6, 7}))), 1);
    QCOMPARE(f.ReadBlock(4, 10), Bytes({4, 5, 6, 7, 10, 10, 10, 10, 10, 10}));
    QCOMPARE(f.ReadBlock(0, 0), std::string());
    QCOMPARE(f.Close(), 1);
    QCOMPARE(f.ReadBlock(0, 3), Bytes({10, 10, 10}));  // closed: filler only
  }

  void writesPatchExactlyTheirBytes()
  {
    TScratchDir dir;
    const std::string original(300, '\x55');
    const std::string path = dir.Write("w.bin", original);
    TBinaryFile f;
    QCOMPARE(f.Open(path), 1);

    QCOMPARE(f.WriteInt(100, 8, 1), 1);
    std::string expected = original;
    PutInt(expected, 108, 1);
    QCOMPARE(TScratchDir::Read(path), expected);
    // The open reading stream sees the write at once.
    QCOMPARE(f.ReadInt(100, 8), 1);

    QCOMPARE(f.WriteShort(0, 0, -1), 1);
    QCOMPARE(f.WriteByte(0, 2, 300), 1);
    expected[0] = '\xFF';
    expected[1] = '\xFF';
    expected[2] = '\x2C';
    QCOMPARE(TScratchDir::Read(path), expected);

    QCOMPARE(f.WriteFloat(0, 4, -2.0f), 1);
    QCOMPARE(f.ReadFloat(0, 4), -2.0f);
    QCOMPARE(f.WriteFloatBits(0, 4, 0x7FC01234u), 1);  // a NaN keeps its exact bits
    QCOMPARE(uint32_t(f.ReadInt(0, 4)), 0x7FC01234u);
    QCOMPARE(f.Size, 300);
    QCOMPARE(TBinaryFile::FileLength(path), int64_t(300));
  }

  void writeString16KeepsTheRestOfTheField()
  {
    TScratchDir dir;
    const std::string original(260, 'Q');
    const std::string path = dir.Write("s.bin", original);
    TBinaryFile f;
    f.Path = path;
    QCOMPARE(f.WriteString16(188, 36, "Colt1"), 1);
    std::string expected = original;
    expected.replace(224, 6, std::string("Colt1\0", 6));
    QCOMPARE(TScratchDir::Read(path), expected);

    QCOMPARE(f.WriteString16(188, 36, "ABCDEFGHIJKLMNOPQRST"), 1);
    expected.replace(224, 16, "ABCDEFGHIJKLMNOP");
    QCOMPARE(TScratchDir::Read(path), expected);
  }

  void writesNeverReachOutsideTheFile_data()
  {
    QTest::addColumn<int>("base");
    QTest::addColumn<int>("offset");
    QTest::newRow("past the end") << 8 << 0;
    QTest::newRow("crossing the end") << 6 << 0;
    QTest::newRow("before the start") << 0 << -1;
    QTest::newRow("overflowing sum") << 0x7FFFFFFF << 0x7FFFFFFF;
  }
  void writesNeverReachOutsideTheFile()
  {
    QFETCH(int, base);
    QFETCH(int, offset);
    TScratchDir dir;
    const std::string original = Bytes({1, 2, 3, 4, 5, 6, 7, 8});
    const std::string path = dir.Write("o.bin", original);
    TBinaryFile f;
    f.Path = path;
    QCOMPARE(f.WriteInt(base, offset, 0x11111111), -1);
    QCOMPARE(TScratchDir::Read(path), original);
  }

  void failedWritesReturnMinusOne()
  {
    TScratchDir dir;
    TBinaryFile f;
    // Missing file: nothing is created.
    const std::string missing = dir.Path("missing.bin");
    QCOMPARE(f.Open(missing), -1);
    QCOMPARE(f.WriteInt(0, 0, 1), -1);
    QVERIFY(!std::filesystem::exists(missing));
    // A folder where the file should be.
    std::filesystem::create_directory(dir.Path("folder"));
    f.Path = dir.Path("folder");
    QCOMPARE(f.WriteByte(0, 0, 1), -1);
    // Once the file exists, the same write succeeds.
    dir.Write("missing.bin", std::string(4, '\0'));
    f.Path = missing;
    QCOMPARE(f.WriteInt(0, 0, 7), 1);
    QCOMPARE(GetInt(TScratchDir::Read(missing), 0), 7);
  }

  void writeThatCannotBeFlushedFails()
  {
#ifdef Q_OS_LINUX
    // /dev/full accepts the open but every flushed byte fails with "no space left".
    TBinaryFile f;
    f.Path = "/dev/full";
    QCOMPARE(f.WriteInt(0, 0, 1), -1);
    QCOMPARE(f.WriteString16(0, 0, "abc"), -1);
#else
    QSKIP("needs /dev/full");
#endif
  }

  void numericText_data()
  {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("12") << "12" << true;
    QTest::newRow("0.5") << "0.5" << true;
    QTest::newRow("1.2.3") << "1.2.3" << true;
    QTest::newRow("-1") << "-1" << false;
    QTest::newRow("1e5") << "1e5" << false;
    QTest::newRow("1,5") << "1,5" << false;
    QTest::newRow("leading space") << " 1" << false;
  }
  void numericText()
  {
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QCOMPARE(TBinaryFile::IsNumericText(text.toStdString()), numeric);
  }
};

QTEST_GUILESS_MAIN(TestBinaryFile)
#include "test_binaryfile.moc"
