// Writing edited scene scripts: the line rebuilding, the length arithmetic, the rebuilt file,
// several scripts in one save, and failures that must leave the old file as it was.
#include "scene/Scene2File.h"
#include "tests/support/TestSupport.h"
#include "tools/samples/SceneSample.h"
#include "tools/samples/Samples.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

using Samples::TSceneBuilder;

namespace {

std::string Lines(int count, const std::string& word)
{
  std::string text;
  for (int i = 0; i < count; ++i)
    text += word + " " + std::to_string(i) + "\r\n";
  return text;
}

// Text of exactly `length` bytes.
std::string OfLength(size_t length, char fill)
{
  std::string text = Lines(int(length / 8) + 1, std::string(3, fill));
  text.resize(length);
  return text;
}

// Two objects, then four definitions: "Alpha" (five-character name) of `type` with a script of
// `scriptLength` bytes, "Beta" (type 5), "Gamma" (type 27), "Delta" (type 5).
std::string Fixture(int type, size_t scriptLength, std::vector<uint32_t>* pos = nullptr)
{
  return TSceneBuilder()
      .Object(0x11, "Tram")
      .Object(0x10, "Lamp")
      .Definition("Alpha", type, OfLength(scriptLength, 'a'))
      .Definition("Beta", 5, Lines(12, "beta"))
      .Definition("Gamma", 27, Lines(9, "gamma"))
      .Definition("Delta", 5, Lines(11, "delta"))
      .Build(pos);
}

int IndexOf(const TSceneFile& scene, const std::string& name)
{
  for (int i = 0; i < scene.RecordCount(); ++i)
    if (scene.Records[size_t(i)].Name == name)
      return i;
  return -1;
}

// Every definition with a script in the file has its three length fields consistent.
void VerifyConsistent(const std::string& bytes)
{
  QCOMPARE(uint32_t(GetInt(bytes, 2)), uint32_t(bytes.size()));
  const std::vector<SceneRecord> records = Scene::WalkRecords(bytes, uint32_t(GetInt(bytes, 2)));
  for (size_t i = 0; i < records.size(); ++i) {
    const SceneRecord& r = records[i];
    if (!r.HasScript)
      continue;
    QCOMPARE(uint32_t(GetInt(bytes, r.ObjectPos + r.DataLengthOffset)),
             r.ScriptLength + (r.DefinitionType == 5 ? 20 : 89));
    // The definition ends where its script ends.
    QCOMPARE(uint64_t(r.ObjectPos) + 4 + r.ObjectLength, uint64_t(r.ScriptLengthPos) + 4 + r.ScriptLength);
  }
}

}  // namespace

class TestSceneSave : public QObject {
  Q_OBJECT
private slots:
  void scriptFromEditor_data();
  void scriptFromEditor();
  void editorWholeText();
  void plan_data();
  void plan();
  void savedFile_data();
  void savedFile();
  void unnamedChangedRecordIsNotWritten();
  void nothingChanged();
  void severalScriptsInOneSave();
  void failedSave_data();
  void failedSave();
};

void TestSceneSave::scriptFromEditor_data()
{
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<QByteArray>("stored");
  QTest::newRow("empty") << QByteArray("") << QByteArray("");
  QTest::newRow("one line") << QByteArray("wait 5") << QByteArray("wait 5\r\n");
  QTest::newRow("LF lines") << QByteArray("a\nb") << QByteArray("a\r\nb\r\n");
  QTest::newRow("CR LF kept") << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n");
  QTest::newRow("lone CR") << QByteArray("a\rb") << QByteArray("a\r\nb\r\n");
  QTest::newRow("mixed") << QByteArray("a\r\n\rb\nc") << QByteArray("a\r\n\r\nb\r\nc\r\n");
  QTest::newRow("trailing break, no extra line") << QByteArray("a\n") << QByteArray("a\r\n");
  QTest::newRow("empty lines") << QByteArray("a\n\n") << QByteArray("a\r\n\r\n");
  QTest::newRow("only a break") << QByteArray("\n") << QByteArray("\r\n");
  QTest::newRow("8-bit bytes") << QByteArray("Caf\xE9 \xFF\x01") << QByteArray("Caf\xE9 \xFF\x01\r\n");
}

void TestSceneSave::scriptFromEditor()
{
  QFETCH(QByteArray, text);
  QFETCH(QByteArray, stored);
  const std::string result = Scene::ScriptFromEditor(text.toStdString());
  QCOMPARE(QByteArray(result.data(), int(result.size())), stored);
}

void TestSceneSave::editorWholeText()
{
  QCOMPARE(Scene::EditorWholeText("a\nb\n"), std::string("a\r\nb\r\n"));
  QCOMPARE(Scene::EditorWholeText("a\r\nb"), std::string("a\r\nb"));
  QCOMPARE(Scene::ScriptForEditor(std::string("ab\0cd", 5)), std::string("ab"));
}

void TestSceneSave::plan_data()
{
  QTest::addColumn<int>("type");
  QTest::addColumn<int>("newLength");
  QTest::addColumn<uint>("objectLength");
  QTest::addColumn<uint>("dataLength");
  QTest::newRow("type 5, 125 bytes") << 5 << 125 << 205u << 145u;
  QTest::newRow("type 5, 100 bytes") << 5 << 100 << 180u << 120u;
  QTest::newRow("type 27, 125 bytes") << 27 << 125 << 205u << 214u;
  QTest::newRow("type 5, same length") << 5 << 120 << 200u << 140u;
}

void TestSceneSave::plan()
{
  QFETCH(int, type);
  QFETCH(int, newLength);
  QFETCH(uint, objectLength);
  QFETCH(uint, dataLength);
  const uint32_t p = 5000;
  SceneRecord r;
  r.HasScript = true;
  r.ObjectPos = p;
  r.ObjectLength = 200;
  r.DefinitionType = type;
  r.DataLengthOffset = 34;
  r.ScriptLengthPos = p + 48;
  r.ScriptLength = 120;
  r.Script = std::string(size_t(newLength), 'x');
  const Scene::ScriptSavePlan plan = Scene::PlanScriptSave(r);
  QCOMPARE(plan.Start, p + 52);
  QCOMPARE(plan.End, p + 172);
  QCOMPARE(plan.NewScriptLength, uint32_t(newLength));
  QCOMPARE(plan.NewObjectLength, objectLength);
  QVERIFY(plan.WritesDataLength);
  QCOMPARE(plan.NewDataLength, dataLength);
}

void TestSceneSave::savedFile_data()
{
  QTest::addColumn<int>("type");
  QTest::addColumn<int>("newLength");
  QTest::newRow("type 5, 120 to 125") << 5 << 125;
  QTest::newRow("type 5, 120 to 100") << 5 << 100;
  QTest::newRow("type 27, 120 to 125 (n + 89)") << 27 << 125;
  QTest::newRow("type 5, same length") << 5 << 120;
}

void TestSceneSave::savedFile()
{
  QFETCH(int, type);
  QFETCH(int, newLength);
  TScratchDir dir;
  std::vector<uint32_t> pos;
  const std::string old = Fixture(type, 120, &pos);
  const std::string path = dir.Write("scene2.bin", old);
  TSceneFile scene;
  scene.ReadIndex(path);
  const int alpha = IndexOf(scene, "Alpha");
  QCOMPARE(alpha, 2);
  const SceneRecord before = scene.Records[size_t(alpha)];
  QCOMPARE(before.ScriptLengthPos, before.ObjectPos + (type == 5 ? 48 : 117));
  const std::vector<SceneRecord> oldRecords = scene.Records;

  const std::string edited = OfLength(size_t(newLength), 'e');
  scene.Records[size_t(alpha)].Script = edited;
  scene.Records[size_t(alpha)].ScriptChanged = true;
  std::optional<int> shown = IndexOf(scene, "Gamma");
  const TSceneFile::SaveOutcome outcome = scene.SaveChanged(&shown);
  QVERIFY(outcome.Written);
  QVERIFY(!outcome.Failed);

  const std::string now = Samples::ReadBytes(path);
  const int delta = newLength - 120;
  QCOMPARE(int64_t(now.size()), int64_t(old.size()) + delta);
  QCOMPARE(GetInt(now, 2), int32_t(now.size()));
  const uint32_t p = before.ObjectPos;
  QCOMPARE(GetInt(now, int(before.ScriptLengthPos)), newLength);
  QCOMPARE(uint32_t(GetInt(now, p + 6)), before.ObjectLength + uint32_t(delta));
  QCOMPARE(GetInt(now, p + before.DataLengthOffset), newLength + (type == 5 ? 20 : 89));
  // The section enclosing the definitions keeps its length (Alpha's p is that length field).
  QCOMPARE(GetInt(now, p), GetInt(old, p));
  // Text replaced; every byte outside the four fields and the text is the old one.
  const uint32_t start = before.ScriptLengthPos + 4;
  QCOMPARE(now.substr(start, size_t(newLength)), edited);
  QCOMPARE(now.substr(start + size_t(newLength)), old.substr(start + 120));
  std::string head = now.substr(0, start);
  for (const uint32_t field : {2u, before.ScriptLengthPos, p + 6, p + uint32_t(before.DataLengthOffset)})
    for (int i = 0; i < 4; ++i)
      head[field + i] = old[field + i];
  QVERIFY(head == old.substr(0, start));
  QVERIFY(!QFileInfo::exists(QString::fromStdString(path + ".NEW")));
  VerifyConsistent(now);

  // The index was read again: fresh positions, the saved text, nothing left changed.
  QCOMPARE(scene.RecordCount(), int(oldRecords.size()));
  QVERIFY(scene.File.IsOpen());
  QCOMPARE(scene.TotalLength, uint32_t(now.size()));
  for (int i = 0; i < scene.RecordCount(); ++i) {
    const SceneRecord& r = scene.Records[size_t(i)];
    const SceneRecord& o = oldRecords[size_t(i)];
    QCOMPARE(r.Name, o.Name);
    QVERIFY(!r.ScriptChanged);
    QCOMPARE(r.ObjectPos, i > alpha ? o.ObjectPos + uint32_t(delta) : o.ObjectPos);
    if (i != alpha)
      QCOMPARE(r.Script, o.Script);
  }
  QCOMPARE(scene.Records[size_t(alpha)].Script, edited);
  QCOMPARE(scene.Records[size_t(alpha)].ScriptLength, uint32_t(newLength));
  QCOMPARE(shown, std::optional<int>(IndexOf(scene, "Gamma")));
}

void TestSceneSave::unnamedChangedRecordIsNotWritten()
{
  TScratchDir dir;
  const std::string old = TSceneBuilder().Definition("", 5, Lines(30, "x")).Definition("Named", 5, Lines(30, "y")).Build();
  const std::string path = dir.Write("scene2.bin", old);
  TSceneFile scene;
  scene.ReadIndex(path);
  QCOMPARE(scene.RecordCount(), 2);
  QVERIFY(scene.Records[0].HasScript);
  scene.Records[0].Script = "changed\r\n";
  scene.Records[0].ScriptChanged = true;
  const TSceneFile::SaveOutcome outcome = scene.SaveChanged();
  QVERIFY(!outcome.Written);
  QVERIFY(!outcome.Failed);
  QVERIFY(Samples::ReadBytes(path) == old);
}

void TestSceneSave::nothingChanged()
{
  TScratchDir dir;
  TRecordingProgress progress;
  const std::string old = Fixture(5, 120);
  const std::string path = dir.Write("scene2.bin", old);
  TSceneFile scene;
  scene.ReadIndex(path);
  progress.Calls.clear();
  const TSceneFile::SaveOutcome outcome = scene.SaveChanged();
  QVERIFY(!outcome.Written && !outcome.Failed);
  QCOMPARE(progress.Calls, (std::vector<std::string>{"show", "caption:Saving Objects", "hide"}));
  QVERIFY(Samples::ReadBytes(path) == old);
}

void TestSceneSave::severalScriptsInOneSave()
{
  TScratchDir dir;
  const std::string old = Fixture(5, 120);
  const std::string path = dir.Write("scene2.bin", old);
  TSceneFile scene;
  scene.ReadIndex(path);
  const std::string alphaText = Lines(20, "longer alpha");  // grows
  const std::string gammaText = "short\r\n";             // shrinks
  const std::string deltaText = Lines(11, "DELTA");       // same length as before
  QCOMPARE(deltaText.size(), scene.Records[size_t(IndexOf(scene, "Delta"))].Script.size());
  const std::vector<std::pair<std::string, std::string>> edits = {
      {"Alpha", alphaText}, {"Gamma", gammaText}, {"Delta", deltaText}};
  for (const auto& [name, text] : edits) {
    SceneRecord& r = scene.Records[size_t(IndexOf(scene, name))];
    r.Script = text;
    r.ScriptChanged = true;
  }
  std::optional<int> shown = IndexOf(scene, "Delta");
  const TSceneFile::SaveOutcome outcome = scene.SaveChanged(&shown);
  QVERIFY(outcome.Written);
  QVERIFY(!outcome.Failed);

  const std::string now = Samples::ReadBytes(path);
  VerifyConsistent(now);
  const std::vector<SceneRecord> fresh = Scene::WalkRecords(now, uint32_t(GetInt(now, 2)));
  QCOMPARE(fresh.size(), size_t(6));
  QCOMPARE(fresh[2].Script, alphaText);
  QCOMPARE(fresh[3].Script, Lines(12, "beta"));
  QCOMPARE(fresh[4].Script, gammaText);
  QCOMPARE(fresh[5].Script, deltaText);
  for (const SceneRecord& r : scene.Records)
    QVERIFY(!r.ScriptChanged);
  QCOMPARE(scene.Records[5].ObjectPos, fresh[5].ObjectPos);
  QCOMPARE(shown, std::optional<int>(5));
}

void TestSceneSave::failedSave_data()
{
  QTest::addColumn<QString>("obstacle");
  QTest::newRow("copy name is a folder") << "folder";
#ifdef Q_OS_LINUX
  QTest::newRow("copy cannot be written (disk full)") << "devfull";
#endif
}

void TestSceneSave::failedSave()
{
  QFETCH(QString, obstacle);
  TScratchDir dir;
  const std::string old = Fixture(5, 120);
  const std::string path = dir.Write("scene2.bin", old);
  const QString copy = QString::fromStdString(path + ".NEW");
  if (obstacle == "folder")
    QVERIFY(QDir().mkdir(copy));
  else
    QVERIFY(QFile::link("/dev/full", copy));

  TSceneFile scene;
  scene.ReadIndex(path);
  const int alpha = IndexOf(scene, "Alpha");
  const int gamma = IndexOf(scene, "Gamma");
  scene.Records[size_t(alpha)].Script = Lines(3, "new alpha");
  scene.Records[size_t(alpha)].ScriptChanged = true;
  scene.Records[size_t(gamma)].Script = Lines(3, "new gamma");
  scene.Records[size_t(gamma)].ScriptChanged = true;
  const std::vector<SceneRecord> before = scene.Records;

  const TSceneFile::SaveOutcome outcome = scene.SaveChanged();
  QVERIFY(outcome.Failed);
  QVERIFY(!outcome.Written);
  QVERIFY(Samples::ReadBytes(path) == old);  // byte-identical
  QVERIFY(QFileInfo::exists(copy) || QFileInfo(copy).isSymLink());
  QCOMPARE(scene.RecordCount(), int(before.size()));
  for (size_t i = 0; i < before.size(); ++i) {
    QCOMPARE(scene.Records[i].Script, before[i].Script);
    QCOMPARE(scene.Records[i].ScriptChanged, before[i].ScriptChanged);
  }
  QVERIFY(scene.File.IsOpen());

  // Once the obstacle is gone, saving again completes both changes.
  if (obstacle == "folder")
    QVERIFY(QDir().rmdir(copy));
  else
    QVERIFY(QFile::remove(copy));
  QVERIFY(scene.SaveChanged().Written);
  const std::string now = Samples::ReadBytes(path);
  VerifyConsistent(now);
  const std::vector<SceneRecord> fresh = Scene::WalkRecords(now, uint32_t(GetInt(now, 2)));
  QCOMPARE(fresh[size_t(alpha)].Script, Lines(3, "new alpha"));
  QCOMPARE(fresh[size_t(gamma)].Script, Lines(3, "new gamma"));
}

QTEST_GUILESS_MAIN(TestSceneSave)
#include "test_scenesave.moc"
