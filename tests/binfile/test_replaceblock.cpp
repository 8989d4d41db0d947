// Block replacement: the ".NEW" copy's content, its progress cadence and its failures.
#include "binfile/Binaryfile.h"
#include "tests/support/TestSupport.h"

#include <QtTest>

#include <filesystem>

class TestReplaceBlock : public QObject {
  Q_OBJECT

private slots:
  void content_data()
  {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("replace") << 2 << 4 << QByteArray("\xAA\xBB\xCC") << QByteArray("\x00\x01\xAA\xBB\xCC\x04\x05", 7);
    QTest::newRow("insert") << 2 << 2 << QByteArray("\xAA") << QByteArray("\x00\x01\xAA\x02\x03\x04\x05", 7);
    QTest::newRow("delete") << 1 << 5 << QByteArray() << QByteArray("\x00\x05", 2);
    QTest::newRow("append at the end") << 6 << 6 << QByteArray("\xAA") << QByteArray("\x00\x01\x02\x03\x04\x05\xAA", 7);
    QTest::newRow("whole file") << 0 << 6 << QByteArray("xyz") << QByteArray("xyz");
    QTest::newRow("end past the file") << 4 << 99 << QByteArray("\xEE") << QByteArray("\x00\x01\x02\x03\xEE", 5);
  }
  void content()
  {
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QByteArray, block);
    QFETCH(QByteArray, expected);
    TScratchDir dir;
    const std::string old = Bytes({0, 1, 2, 3, 4, 5});
    const std::string path = dir.Write("scene2.bin", old);
    TBinaryFile f;
    QCOMPARE(f.Open(path), 1);
    QCOMPARE(f.ReplaceBlock(start, end, block.toStdString()), 1);
    QCOMPARE(QByteArray::fromStdString(TScratchDir::Read(path + ".NEW")), expected);
    QCOMPARE(TScratchDir::Read(path), old);
    QCOMPARE(f.Close(), -1);  // the reading stream was closed by the copy
    QCOMPARE(f.Size, 6);
  }

  void largeFileCopiesAcrossChunksWithStatusCadence()
  {
    TScratchDir dir;
    std::string old(250000, '\0');
    for (size_t i = 0; i < old.size(); ++i)
      old[i] = static_cast<char>(i * 7 + i / 256);
    const std::string path = dir.Write("big.bin", old);
    const std::string block(70000, 'B');
    TRecordingProgress progress;
    TBinaryFile f;
    f.Path = path;
    QCOMPARE(f.ReplaceBlock(65530, 130001, block), 1);
    const std::string expected = old.substr(0, 65530) + block + old.substr(130001);
    QVERIFY(TScratchDir::Read(path + ".NEW") == expected);
    QCOMPARE(progress.Count("status:Saving ..."), 1);
    QCOMPARE(progress.Count("status:Saving ."), 24);  // positions 10000, 20000, ... 240000
    QCOMPARE(progress.Calls.front(), std::string("show"));
    QCOMPARE(progress.Calls[1], std::string("caption:Saving Changes"));
    QCOMPARE(progress.Calls.back(), std::string("hide"));
  }

  void statusCadence_data()
  {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("dots");
    QTest::newRow("25000 bytes") << 25000 << 2;
    QTest::newRow("10000 bytes") << 10000 << 0;
    QTest::newRow("10001 bytes") << 10001 << 1;
    QTest::newRow("empty") << 0 << 0;
  }
  void statusCadence()
  {
    QFETCH(int, size);
    QFETCH(int, dots);
    TScratchDir dir;
    const std::string path = dir.Write("f.bin", std::string(size_t(size), 'x'));
    TRecordingProgress progress;
    TBinaryFile f;
    f.Path = path;
    QCOMPARE(f.ReplaceBlock(0, 0, "ab"), 1);
    QCOMPARE(progress.Count("status:Saving ..."), 1);
    QCOMPARE(progress.Count("status:Saving ."), dots);
    QCOMPARE(TBinaryFile::FileLength(path + ".NEW"), int64_t(size + 2));
  }

  void existingLongerCopyIsTruncated()
  {
    TScratchDir dir;
    const std::string path = dir.Write("f.bin", "short");
    dir.Write("f.bin.NEW", std::string(1000, 'L'));
    TBinaryFile f;
    f.Path = path;
    QCOMPARE(f.ReplaceBlock(0, 1, "S"), 1);
    QCOMPARE(TScratchDir::Read(path + ".NEW"), std::string("Short"));
  }

  void failures_data()
  {
    QTest::addColumn<QString>("fault");
    QTest::newRow("old file missing") << "missing";
    QTest::newRow("copy cannot be created") << "folder";
    QTest::newRow("start beyond the end") << "start";
    QTest::newRow("end before start") << "end";
#ifdef Q_OS_LINUX
    QTest::newRow("copy cannot be written") << "full";
#endif
  }
  void failures()
  {
    QFETCH(QString, fault);
    TScratchDir dir;
    const std::string old(30000, 'o');
    std::string path = dir.Write("scene2.bin", old);
    int start = 2, end = 4;
    if (fault == "missing")
      path = dir.Path("gone.bin");
    if (fault == "folder")
      std::filesystem::create_directory(path + ".NEW");
    if (fault == "start")
      start = end = 30001;
    if (fault == "end")
      end = 1;
    if (fault == "full")
      std::filesystem::create_symlink("/dev/full", path + ".NEW");
    TRecordingProgress progress;
    TBinaryFile f;
    f.Path = path;
    QCOMPARE(f.ReplaceBlock(start, end, "new text"), -1);
    QCOMPARE(progress.Calls.back(), std::string("hide"));
    if (fault != "missing")
      QCOMPARE(TScratchDir::Read(path), old);
  }
};

QTEST_GUILESS_MAIN(TestReplaceBlock)
#include "test_replaceblock.moc"
