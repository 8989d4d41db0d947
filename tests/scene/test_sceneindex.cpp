// The scene index walk: record offsets, kinds, the script rules and the guards against damaged files.
#include "scene/Scene2File.h"
#include "tests/support/TestSupport.h"
#include "tools/samples/SceneSample.h"
#include "tools/samples/Samples.h"

#include <QtTest>

using Samples::TSceneBuilder;

namespace {

std::vector<SceneRecord> Walk(const std::string& bytes)
{
  return Scene::WalkRecords(bytes, bytes.size() >= 6 ? static_cast<uint32_t>(GetInt(bytes, 2)) : 0);
}

std::string Text(size_t length, char fill = 'a')
{
  std::string text;
  while (text.size() < length)
    text += text.size() % 20 == 18 ? '\r' : text.size() % 20 == 19 ? '\n' : fill;
  return text;
}

}  // namespace

class TestSceneIndex : public QObject {
  Q_OBJECT
private slots:
  void definitionOffsets();
  void kinds_data();
  void kinds();
  void sixteenCharacterName_data();
  void sixteenCharacterName();
  void scriptRules_data();
  void scriptRules();
  void lastBytesAreNotIndexed();
  void emptyAndShortFiles_data();
  void emptyAndShortFiles();
  void damagedFiles_data();
  void damagedFiles();
  void noFixedCapOnRecords();
  void readIndexThroughTheAccessor();
};

void TestSceneIndex::definitionOffsets()
{
  // A five-character name, one zero byte, then the type sub-chunk: the 0x22 byte is at p + 22.
  const std::string script = Text(120);
  std::vector<uint32_t> pos;
  std::string bytes = TSceneBuilder().Definition("Alpha", 5, script).Definition("Omega", 5, Text(90)).Build(&pos);
  const uint32_t p = pos[0];
  QCOMPARE(static_cast<unsigned char>(bytes[p + 22]), 0x22);

  std::vector<SceneRecord> records = Walk(bytes);
  QCOMPARE(records.size(), size_t(2));
  const SceneRecord& r = records[0];
  QCOMPARE(r.ObjectPos, p);
  QCOMPARE(r.Kind, uint8_t(0x21));
  QCOMPARE(r.Name, std::string("Alpha"));
  QCOMPARE(r.ObjectLength, uint32_t(GetInt(bytes, p + 6)));
  QCOMPARE(r.DefinitionType, 5);
  QCOMPARE(r.DataLengthOffset, 34);
  QCOMPARE(r.ScriptLengthPos, p + 48);
  QCOMPARE(r.ScriptLength, uint32_t(120));
  QVERIFY(r.HasScript);
  QVERIFY(!r.ScriptChanged);
  QCOMPARE(r.Script, bytes.substr(p + 52, 120));
  QCOMPARE(r.Script, script);
  QCOMPARE(GetInt(bytes, p + r.DataLengthOffset), 20 + 120);
  // The next definition is reached through the definition's length.
  QCOMPARE(records[1].ObjectPos, p + r.ObjectLength);
  QCOMPARE(records[1].Name, std::string("Omega"));

  // The type is the int32 at p + 28: type 12 there means no script.
  PutInt(bytes, p + 28, 12);
  records = Walk(bytes);
  QCOMPARE(records[0].DefinitionType, 12);
  QVERIFY(!records[0].HasScript);
  QCOMPARE(records[0].ScriptLengthPos, uint32_t(0));

  // Type 27 keeps its script length at p + k + 94 and its text after it.
  bytes = TSceneBuilder().Definition("Alpha", 27, script).Definition("Omega", 5, Text(90)).Build(&pos);
  records = Walk(bytes);
  QCOMPARE(records[0].DefinitionType, 27);
  QCOMPARE(records[0].ScriptLengthPos, pos[0] + 23 + 94);
  QCOMPARE(records[0].Script, script);
  QCOMPARE(GetInt(bytes, pos[0] + records[0].DataLengthOffset), 89 + 120);
}

void TestSceneIndex::kinds_data()
{
  QTest::addColumn<int>("kind");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("expectedName");
  QTest::newRow("0x10 object data") << 0x10 << "Lamp" << "Lamp";
  QTest::newRow("0x11 object") << 0x11 << "Tram" << "Tram";
  QTest::newRow("0x45 other") << 0x45 << "Ignored" << "";
}

void TestSceneIndex::kinds()
{
  QFETCH(int, kind);
  QFETCH(QString, name);
  QFETCH(QString, expectedName);
  std::vector<uint32_t> pos;
  const std::string bytes = TSceneBuilder()
                                .Object(0x11, "First")
                                .Object(static_cast<uint8_t>(kind), name.toStdString(), 40)
                                .Object(0x10, "Third")
                                .Definition("Script1", 5, Text(130))
                                .Build(&pos);
  const std::vector<SceneRecord> records = Walk(bytes);
  QCOMPARE(records.size(), size_t(4));
  const SceneRecord& r = records[1];
  QCOMPARE(int(r.Kind), kind);
  QCOMPARE(r.ObjectPos, pos[1]);
  QCOMPARE(r.ObjectLength, uint32_t(GetInt(bytes, pos[1])));
  QCOMPARE(QString::fromStdString(r.Name), expectedName);
  QVERIFY(!r.HasScript);
  QCOMPARE(r.ScriptLength, uint32_t(0));
  // Every step takes an index, whatever its kind.
  QCOMPARE(records[2].Name, std::string("Third"));
  QCOMPARE(records[3].Name, std::string("Script1"));
  QCOMPARE(records[3].Kind, uint8_t(0x21));
}

void TestSceneIndex::sixteenCharacterName_data()
{
  QTest::addColumn<int>("kind");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("expected");
  QTest::newRow("0x10, 16 characters") << 0x10 << "StreetLightNorth" << "StreetLightNorth";
  QTest::newRow("0x11, 16 characters") << 0x11 << "StreetLightSouth" << "StreetLightSouth";
  QTest::newRow("0x10, 20 characters") << 0x10 << "StreetLightNorthEast" << "StreetLightNorth";
}

void TestSceneIndex::sixteenCharacterName()
{
  QFETCH(int, kind);
  QFETCH(QString, name);
  QFETCH(QString, expected);
  const std::string bytes =
      TSceneBuilder().Object(static_cast<uint8_t>(kind), name.toStdString()).Object(0x10, "Next", 200).Build();
  const std::vector<SceneRecord> records = Walk(bytes);
  QCOMPARE(records.size(), size_t(2));
  QCOMPARE(QString::fromStdString(records[0].Name), expected);
  QCOMPARE(records[1].Name, std::string("Next"));
}

void TestSceneIndex::scriptRules_data()
{
  QTest::addColumn<int>("type");
  QTest::addColumn<int>("scriptLength");
  QTest::addColumn<bool>("hasScript");
  QTest::newRow("type 5, 4 bytes") << 5 << 4 << false;
  QTest::newRow("type 5, 5 bytes") << 5 << 5 << true;
  QTest::newRow("type 27, 4 bytes") << 27 << 4 << false;
  QTest::newRow("type 27, 5 bytes") << 27 << 5 << true;
  QTest::newRow("type 12") << 12 << 0 << false;
  QTest::newRow("type 0") << 0 << 0 << false;
}

void TestSceneIndex::scriptRules()
{
  QFETCH(int, type);
  QFETCH(int, scriptLength);
  QFETCH(bool, hasScript);
  const std::string bytes = TSceneBuilder()
                                .Definition("Short", type, Text(static_cast<size_t>(scriptLength), 'z'), 40)
                                .Definition("Long", 5, Text(150))
                                .Build();
  const std::vector<SceneRecord> records = Walk(bytes);
  QCOMPARE(records.size(), size_t(2));
  const SceneRecord& r = records[0];
  QCOMPARE(r.Name, std::string("Short"));
  QCOMPARE(r.DefinitionType, type);
  QCOMPARE(r.HasScript, hasScript);
  QCOMPARE(r.ScriptLength, uint32_t(hasScript ? scriptLength : 0));
  if (hasScript) {
    QCOMPARE(r.Script, Text(static_cast<size_t>(scriptLength), 'z'));
  } else {
    QCOMPARE(r.ScriptLengthPos, uint32_t(0));
    QVERIFY(r.Script.empty());
  }
  QVERIFY(records[1].HasScript);
}

void TestSceneIndex::lastBytesAreNotIndexed()
{
  // The last definition's p lies 4 bytes before its chunk; the file ends at 51 + n bytes after p.
  for (const int n : {69, 70}) {
    std::vector<uint32_t> pos;
    const std::string bytes = TSceneBuilder().Definition("Head", 5, Text(200)).Definition("Tail", 5, Text(size_t(n))).Build(&pos);
    QCOMPARE(bytes.size() - pos[1], size_t(51 + n));
    const std::vector<SceneRecord> records = Walk(bytes);
    // p + 120 < TotalLength: 120 bytes before the end is not read, 121 is.
    QCOMPARE(records.size(), size_t(n == 69 ? 1 : 2));
  }
}

void TestSceneIndex::emptyAndShortFiles_data()
{
  QTest::addColumn<QByteArray>("bytes");
  QTest::newRow("empty") << QByteArray();
  QTest::newRow("one byte") << QByteArray("S");
  QTest::newRow("header only") << QByteArray("SN\x06\x00\x00\x00", 6);
  std::string upTo288(288, '\0');
  upTo288[0] = 'S';
  PutInt(upTo288, 2, 288);
  QTest::newRow("TotalLength 288") << QByteArray(upTo288.data(), int(upTo288.size()));
  std::string lies = upTo288;
  PutInt(lies, 2, 100000);  // claims more than the file holds
  QTest::newRow("288 bytes claiming 100000") << QByteArray(lies.data(), int(lies.size()));
}

void TestSceneIndex::emptyAndShortFiles()
{
  QFETCH(QByteArray, bytes);
  const std::string file(bytes.constData(), size_t(bytes.size()));
  QVERIFY(Walk(file).empty());
}

void TestSceneIndex::damagedFiles_data()
{
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<int>("count");
  QTest::addColumn<bool>("lastHasScript");

  std::vector<uint32_t> pos;
  const std::string good = TSceneBuilder()
                               .Object(0x11, "Tram")
                               .Object(0x10, "Lamp")
                               .Object(0x11, "Kiosk")
                               .Definition("Door", 5, Text(140))
                               .Definition("Guard", 27, Text(160))
                               .Build(&pos);
  auto row = [](const char* name, const std::string& b, int count, bool lastHasScript) {
    QTest::newRow(name) << QByteArray(b.data(), int(b.size())) << count << lastHasScript;
  };
  row("intact", good, 5, true);

  std::string b = good;
  PutInt(b, pos[1], 0);
  row("zero step", b, 2, false);

  b = good;
  PutInt(b, pos[1], 0x7FFFFFF0);
  row("step past the end", b, 2, false);

  b = good;
  PutInt(b, pos[1], int32_t(0xFFFFFFF0u));  // would wrap back in 32 bits
  row("step wrapping around", b, 2, false);

  b = good;
  PutInt(b, 2, int32_t(good.size() + 500000));
  row("TotalLength beyond the file", b, 5, true);

  b = good;
  PutInt(b, 2, -1);
  row("TotalLength 0xFFFFFFFF", b, 5, true);

  // The last definition loses its type sub-chunk: no 0x22 byte up to the end of the file.
  b = good;
  for (size_t i = pos[4] + 16 + 6; i < b.size(); ++i)
    b[i] = 'x';
  row("name scan reaching the end", b, 5, false);

  b = good;
  const uint32_t lengthPos = pos[4] + 23 + 94;  // k = 23 for a five-character name
  QCOMPARE(GetInt(b, lengthPos), 160);
  PutInt(b, lengthPos, 161);  // one byte more than the file holds
  row("script one byte past the end", b, 5, false);

  b = good;
  PutInt(b, lengthPos, int32_t(0xFFFFFFF0u));
  row("script length 0xFFFFFFF0", b, 5, false);

  // The file is cut inside the last script while TotalLength keeps the old length.
  b = good.substr(0, good.size() - 30);
  row("file cut inside the last script", b, 5, false);

  // A long name puts the type sub-chunk far from p; the file ends two bytes after its 0x22 byte.
  const std::string longName(200, 'N');
  const std::string named = TSceneBuilder().Object(0x11, "Tram").Definition(longName, 5, Text(140)).Build(&pos);
  b = named.substr(0, pos[1] + 16 + 201 + 3);
  row("file cut inside the type sub-chunk", b, 2, false);
}

void TestSceneIndex::damagedFiles()
{
  QFETCH(QByteArray, bytes);
  QFETCH(int, count);
  QFETCH(bool, lastHasScript);
  // The walk works on exactly the file's bytes; a sanitizer build catches any read past them.
  const std::string file(bytes.constData(), size_t(bytes.size()));
  const std::vector<SceneRecord> records = Walk(file);
  QCOMPARE(int(records.size()), count);
  QCOMPARE(records.back().HasScript, lastHasScript);
  for (const SceneRecord& r : records) {
    QVERIFY(r.ObjectPos < file.size());
    if (r.HasScript)
      QVERIFY(uint64_t(r.ScriptLengthPos) + 4 + r.ScriptLength <= file.size());
  }
}

void TestSceneIndex::noFixedCapOnRecords()
{
  TSceneBuilder builder;
  for (int i = 0; i < 6000; ++i)
    builder.Object(i % 2 ? 0x10 : 0x11, "Obj" + std::to_string(i), 8);
  builder.Definition("Last", 5, Text(140));
  const std::vector<SceneRecord> records = Walk(builder.Build());
  QCOMPARE(records.size(), size_t(6001));
  QCOMPARE(records[5999].Name, std::string("Obj5999"));
  QCOMPARE(records.back().Name, std::string("Last"));
}

void TestSceneIndex::readIndexThroughTheAccessor()
{
  TScratchDir dir;
  TRecordingProgress progress;
  const std::string demo = Samples::SceneDemo();
  const std::string path = dir.Write("scene2.bin", demo);
  TSceneFile scene;
  scene.ReadIndex(path);
  QVERIFY(scene.File.IsOpen());
  QCOMPARE(scene.TotalLength, uint32_t(demo.size()));
  QCOMPARE(scene.RecordCount(), int(Walk(demo).size()));
  QCOMPARE(scene.RecordCount(), 12);
  QCOMPARE(progress.Calls.front(), std::string("caption:Reading Objects"));
  QCOMPARE(progress.Count("status:Object Door_East"), 1);
  QCOMPARE(progress.Count("status:Object "), 0);  // the unnamed 0x45 record reports nothing

  scene.ReadIndex(dir.Path("missing.bin"));
  QCOMPARE(scene.RecordCount(), 0);
  QVERIFY(!scene.RecordAt(0));
}

QTEST_GUILESS_MAIN(TestSceneIndex)
#include "test_sceneindex.moc"
