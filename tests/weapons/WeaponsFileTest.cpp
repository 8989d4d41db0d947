#include "WeaponsFileTest.h"

#include "WeaponsFixtures.h"
#include "binfile/Convert.h"

#include <QtTest>

#include <cstdio>
#include <cstring>

using namespace WeaponsFixtures;

namespace {

// A weapons file loaded from bytes written into a scratch folder.
struct TLoaded {
  TScratchDir dir;
  std::string path;
  TWeaponsFile file;
  explicit TLoaded(const std::string& bytes)
  {
    path = dir.Write("predmety.def", bytes);
    file.Open(path);
    file.ReadRecords();
  }
  std::string Bytes() const { return TScratchDir::Read(path); }
};

uint32_t BitsOf(float value)
{
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace

void TWeaponsFileTest::fieldOffsetsAndBases()
{
  TLoaded loaded(DemoFile());
  const TWeaponsFile& f = loaded.file;
  QCOMPARE(f.FieldOffsets.size(), size_t(36));
  QCOMPARE(f.FieldOffsets[0], 0);
  QCOMPARE(f.FieldOffsets[1], 36);
  for (int k = 2; k < 36; ++k)
    QCOMPARE(f.FieldOffsets[k], 52 + 4 * (k - 2));
  QCOMPARE(f.FieldOffsets[35], 184);
  const std::pair<int, int> used[] = {{TWeaponsFile::RecoilStyleEntry, 80},   {TWeaponsFile::SoundTypeEntry, 84},
                                      {TWeaponsFile::HoldingTypeEntry, 92},   {TWeaponsFile::RoundsPerClipEntry, 96},
                                      {TWeaponsFile::TotalRoundsEntry, 100},  {TWeaponsFile::RangeEntry, 116},
                                      {TWeaponsFile::DamageEntry, 120},       {TWeaponsFile::BurstRateMSEntry, 144},
                                      {TWeaponsFile::ReloadRateMSEntry, 152}};
  for (const auto& [entry, offset] : used)
    QCOMPARE(f.FieldOffsets[entry], offset);

  QCOMPARE(f.RecordCount, 35);
  QCOMPARE(f.RecordBases.size(), size_t(35));
  for (int i = 0; i < 35; ++i)
    QCOMPARE(f.RecordBases[i], 188 * i);
}

void TWeaponsFileTest::readsEveryRecordAtItsOffset()
{
  // The demo file followed by bytes that are not part of any record.
  TRecordingProgress progress;
  TLoaded loaded(DemoFile() + std::string(40, 'Z'));
  const std::vector<Samples::TWeaponFields> expected = DemoRecords();
  QCOMPARE(loaded.file.LoadedCount(), 35);
  QVERIFY(loaded.file.LoadWarning().empty());
  for (int i = 0; i < 35; ++i) {
    const WeaponRecord& r = loaded.file.Records[i];
    const Samples::TWeaponFields& e = expected[i];
    QCOMPARE(r.Name, e.Name.substr(0, 36));
    QCOMPARE(r.Object, e.Object.substr(0, 16));
    QCOMPARE(r.RecoilStyle, e.RecoilStyle);
    QCOMPARE(r.SoundType, e.SoundType);
    QCOMPARE(r.HoldingType, e.HoldingType);
    QCOMPARE(r.RoundsPerClip, e.RoundsPerClip);
    QCOMPARE(r.TotalRounds, e.TotalRounds);
    QCOMPARE(r.Range, e.Range);
    QCOMPARE(r.Damage, e.Damage);
    QCOMPARE(r.BurstRateMS, e.BurstRateMS);
    QCOMPARE(r.ReloadRateMS, e.ReloadRateMS);
    QCOMPARE(progress.Count("status:" + e.Name), e.Name == "Bolt Rifle" ? 2 : 1);
  }
  // Fields filled to the last byte have no zero byte and are read whole.
  QCOMPARE(loaded.file.Records[Envelope].Name.size(), size_t(36));
  QCOMPARE(loaded.file.Records[Envelope].Object, std::string("itm_documents_16"));
  QCOMPARE(loaded.file.Records[Unnamed].Name, std::string());
  QCOMPARE(loaded.file.Records[Unnamed].Object, std::string("itm_unused"));
}

void TWeaponsFileTest::valueTables()
{
  const std::pair<int, const char*> sound[] = {
      {0, "None"},           {63, "Knuckleduster/Bottle"}, {65, "Knife/Crowbar"},     {66, "Bat"},
      {67, "Colt Detective"}, {68, "Magnum"},              {69, "M&P"},               {70, "Colt 1911"},
      {71, "Thompson"},      {72, "Pump shotgun"},         {73, "Saw off shotgun"},   {74, "M1903 Springfield"},
      {189, "Mosin-Nagant Rifle"}};
  const std::pair<int, const char*> holding[] = {{0, "Item"},     {1, "Handgun"},   {2, "Sniper"},  {3, "Rifle"},
                                                 {4, "Throwing"}, {5, "Over Fist"}, {6, "In Hand"}, {7, "Swing"}};
  QCOMPARE(SoundTypeTable.size(), std::size(sound));
  for (size_t i = 0; i < SoundTypeTable.size(); ++i) {
    QCOMPARE(SoundTypeTable[i].Value, sound[i].first);
    QCOMPARE(std::string(SoundTypeTable[i].Name), std::string(sound[i].second));
    QCOMPARE(SoundTypeName(sound[i].first), std::optional<std::string>(sound[i].second));
    QCOMPARE(SoundTypeValue(sound[i].second), sound[i].first);
  }
  QCOMPARE(HoldingTypeTable.size(), std::size(holding));
  for (size_t i = 0; i < HoldingTypeTable.size(); ++i) {
    QCOMPARE(HoldingTypeTable[i].Value, holding[i].first);
    QCOMPARE(std::string(HoldingTypeTable[i].Name), std::string(holding[i].second));
    QCOMPARE(HoldingTypeName(holding[i].first), std::optional<std::string>(holding[i].second));
    QCOMPARE(HoldingTypeValue(holding[i].second), holding[i].first);
  }
  QCOMPARE(SoundTypeName(64), std::nullopt);
  QCOMPARE(SoundTypeName(75), std::nullopt);
  QCOMPARE(SoundTypeValue("Bat"), 66);
  QCOMPARE(SoundTypeValue("bat"), -1);
  QCOMPARE(SoundTypeValue("Bat "), -1);
  QCOMPARE(HoldingTypeValue("Swing"), 7);
  QCOMPARE(HoldingTypeName(8), std::nullopt);
  QCOMPARE(HoldingTypeValue("Bat"), -1);
}

void TWeaponsFileTest::rowTexts_data()
{
  QTest::addColumn<int>("row");
  QTest::addColumn<float>("number");
  QTest::addColumn<QString>("expected");
  QTest::newRow("Range 35.5 shows its integer part") << 3 << 35.5f << "35";
  QTest::newRow("Range 35.9 is truncated") << 3 << 35.9f << "35";
  QTest::newRow("Damage -2.5 is truncated toward zero") << 4 << -2.5f << "-2";
  QTest::newRow("Damage -0.5 shows 0") << 4 << -0.5f << "0";
  QTest::newRow("Range 1e20 shows all its digits") << 3 << 1e20f << "100000002004087734272";
  QTest::newRow("RoundsPerClip -3") << 1 << -3.0f << "-3";
  QTest::newRow("SoundType 66 by name") << 8 << 66.0f << "Bat";
  QTest::newRow("SoundType 64 has no name") << 8 << 64.0f << "64";
  QTest::newRow("SoundType -1 has no name") << 8 << -1.0f << "-1";
  QTest::newRow("HoldingType 7 by name") << 9 << 7.0f << "Swing";
  QTest::newRow("HoldingType 8 has no name") << 9 << 8.0f << "8";
}

void TWeaponsFileTest::rowTexts()
{
  QFETCH(int, row);
  QFETCH(float, number);
  QFETCH(QString, expected);
  WeaponRecord r;
  switch (row) {
    case 1: r.RoundsPerClip = int32_t(number); break;
    case 3: r.Range = number; break;
    case 4: r.Damage = number; break;
    case 8: r.SoundType = int32_t(number); break;
    case 9: r.HoldingType = int32_t(number); break;
  }
  QCOMPARE(QString::fromStdString(TWeaponsFile::RowText(r, row)), expected);
}

void TWeaponsFileTest::acceptsInput_data()
{
  QTest::addColumn<QString>("label");
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("accepted");
  QTest::newRow("digits") << "RoundsPerClip" << "12" << true;
  QTest::newRow("a point") << "Range" << "0.5" << true;
  QTest::newRow("two points pass the character check") << "Range" << "1.2.3" << true;
  QTest::newRow("a lone point passes the character check") << "Damage" << "." << true;
  QTest::newRow("negative") << "RoundsPerClip" << "-5" << false;
  QTest::newRow("negative Range") << "Range" << "-5" << false;
  QTest::newRow("empty") << "TotalRounds" << "" << false;
  QTest::newRow("exponent") << "Damage" << "1e5" << false;
  QTest::newRow("comma") << "Damage" << "1,5" << false;
  QTest::newRow("empty Object") << "Object" << "" << true;
  QTest::newRow("any Object") << "Object" << "-x y.i3d" << true;
}

void TWeaponsFileTest::acceptsInput()
{
  QFETCH(QString, label);
  QFETCH(QString, text);
  QFETCH(bool, accepted);
  QCOMPARE(TWeaponsFile::AcceptsInput(label.toStdString(), text.toStdString()), accepted);
}

void TWeaponsFileTest::applyValue_data()
{
  QTest::addColumn<int>("record");
  QTest::addColumn<QString>("label");
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("changed");
  QTest::addColumn<QVariant>("value");
  QTest::newRow("12.7 stores 12") << HeavyRevolver << "RoundsPerClip" << "12.7" << true << QVariant(12);
  QTest::newRow("same rounds") << HeavyRevolver << "RoundsPerClip" << "6" << false << QVariant(6);
  QTest::newRow("total rounds") << HeavyRevolver << "TotalRounds" << "99999" << true << QVariant(99999);
  QTest::newRow("burst .5 stores 0") << HeavyRevolver << "BurstRateMS" << ".5" << true << QVariant(0);
  QTest::newRow("same reload") << HeavyRevolver << "ReloadRateMS" << "3000" << false << QVariant(3000);
  QTest::newRow("recoil") << HeavyRevolver << "RecoilStyle" << "4" << true << QVariant(4);
  QTest::newRow("Range 35 stores 35.0") << HeavyRevolver << "Range" << "35" << true << QVariant(35.0);
  QTest::newRow("Range 35.5 changes nothing") << HeavyRevolver << "Range" << "35.5" << false << QVariant(35.5);
  QTest::newRow("Damage 0.25") << HeavyRevolver << "Damage" << "0.25" << true << QVariant(0.25);
  QTest::newRow("same Damage") << HeavyRevolver << "Damage" << "70" << false << QVariant(70.0);
  QTest::newRow("Object") << HeavyRevolver << "Object" << "new.i3d" << true << QVariant("new.i3d");
  QTest::newRow("empty Object") << HeavyRevolver << "Object" << "" << true << QVariant("");
  QTest::newRow("same Object") << HeavyRevolver << "Object" << "wpn_heavyrev" << false << QVariant("wpn_heavyrev");
  QTest::newRow("Object cut after 16") << HeavyRevolver << "Object" << "abcdefghijklmnopq" << true
                                       << QVariant("abcdefghijklmnop");
  QTest::newRow("SoundType Bat") << HeavyRevolver << "SoundType" << "Bat" << true << QVariant(66);
  QTest::newRow("same SoundType") << HeavyRevolver << "SoundType" << "Magnum" << false << QVariant(68);
  QTest::newRow("unknown SoundType name") << HeavyRevolver << "SoundType" << "bat" << true << QVariant(-1);
  QTest::newRow("unnamed SoundType kept") << SignalPistol << "SoundType" << "64" << false << QVariant(64);
  QTest::newRow("unnamed SoundType to a name") << SignalPistol << "SoundType" << "None" << true << QVariant(0);
  QTest::newRow("another number is no name") << HeavyRevolver << "SoundType" << "66" << true << QVariant(-1);
  QTest::newRow("HoldingType Swing") << HeavyRevolver << "HoldingType" << "Swing" << true << QVariant(7);
  QTest::newRow("same HoldingType") << HeavyRevolver << "HoldingType" << "Handgun" << false << QVariant(1);
  QTest::newRow("unnamed HoldingType kept") << HuntingRifle << "HoldingType" << "8" << false << QVariant(8);
  QTest::newRow("unknown label") << HeavyRevolver << "Name" << "x" << false << QVariant();
}

void TWeaponsFileTest::applyValue()
{
  QFETCH(int, record);
  QFETCH(QString, label);
  QFETCH(QString, text);
  QFETCH(bool, changed);
  QFETCH(QVariant, value);
  TLoaded loaded(DemoFile());
  const std::vector<WeaponRecord> before = loaded.file.Records;
  WeaponRecord& r = *loaded.file.RecordAt(record);
  QCOMPARE(loaded.file.ApplyValue(r, label.toStdString(), text.toStdString()), changed);
  if (value.isValid())
    QCOMPARE(FieldOf(r, label), value);
  // No other record and no other field of this one changed.
  for (int i = 0; i < 35; ++i)
    for (const char* other : TWeaponsFile::RowLabels)
      if (i != record || label != other)
        QCOMPARE(FieldOf(loaded.file.Records[i], other), FieldOf(before[i], other));
}

void TWeaponsFileTest::conversionError_data()
{
  QTest::addColumn<QString>("label");
  QTest::addColumn<QString>("text");
  QTest::newRow("lone point in RoundsPerClip") << "RoundsPerClip" << ".";
  QTest::newRow("lone point in Range") << "Range" << ".";
  QTest::newRow("two points in Damage") << "Damage" << "1.2.3";
  QTest::newRow("two points in ReloadRateMS") << "ReloadRateMS" << "1..";
}

void TWeaponsFileTest::conversionError()
{
  QFETCH(QString, label);
  QFETCH(QString, text);
  TLoaded loaded(DemoFile());
  const std::vector<WeaponRecord> before = loaded.file.Records;
  try {
    loaded.file.ApplyValue(loaded.file.Records[BoltRifle], label.toStdString(), text.toStdString());
    QFAIL("no conversion error");
  } catch (const EConvertError& error) {
    QCOMPARE(QString::fromLatin1(error.what()), QString("'%1' is not a valid floating point value").arg(text));
  }
  for (int i = 0; i < 35; ++i)
    QCOMPARE(FieldOf(loaded.file.Records[i], label), FieldOf(before[i], label));
}

void TWeaponsFileTest::sameNameRecordsChangeTogether()
{
  TLoaded loaded(DemoFile());
  TWeaponsFile& f = loaded.file;
  const std::vector<WeaponRecord> before = f.Records;
  // Either of the two records named alike changes both.
  QVERIFY(f.ApplyValue(f.Records[SharedBoltRifle], "RoundsPerClip", "12"));
  QCOMPARE(f.Records[BoltRifle].RoundsPerClip, 12);
  QCOMPARE(f.Records[SharedBoltRifle].RoundsPerClip, 12);
  QVERIFY(f.ApplyValue(f.Records[BoltRifle], "Object", "rifle.i3d"));
  QCOMPARE(f.Records[BoltRifle].Object, std::string("rifle.i3d"));
  QCOMPARE(f.Records[SharedBoltRifle].Object, std::string("rifle.i3d"));
  for (int i = 0; i < 35; ++i)
    if (i != BoltRifle && i != SharedBoltRifle) {
      QCOMPARE(f.Records[i].RoundsPerClip, before[i].RoundsPerClip);
      QCOMPARE(f.Records[i].Object, before[i].Object);
    }
  // Case matters in the name.
  WeaponRecord lower = f.Records[BoltRifle];
  lower.Name = "bolt rifle";
  QVERIFY(!f.ApplyValue(lower, "RoundsPerClip", "3"));
  QCOMPARE(f.Records[BoltRifle].RoundsPerClip, 12);
}

void TWeaponsFileTest::saveWithoutEditsKeepsEveryByte()
{
  TRecordingProgress progress;
  const std::string original = DemoFile() + "trailing bytes";
  TLoaded loaded(original);
  progress.Calls.clear();
  QVERIFY(loaded.file.SaveRecords());
  QCOMPARE(loaded.Bytes(), original);
  QCOMPARE(progress.Calls.front(), std::string("show"));
  QCOMPARE(progress.Calls[1], std::string("caption:Saving Weapon Objects"));
  QCOMPARE(progress.Calls.back(), std::string("hide"));
  QCOMPARE(progress.Count("status:"), 1);  // the unnamed record is written too
}

void TWeaponsFileTest::saveWritesOnlyEditedFields()
{
  const std::string original = DemoFile();
  TLoaded loaded(original);
  TWeaponsFile& f = loaded.file;
  QVERIFY(f.ApplyValue(f.Records[BoltRifle], "RoundsPerClip", "12"));
  QVERIFY(f.SaveRecords());
  const std::string saved = loaded.Bytes();
  QCOMPARE(saved.size(), original.size());
  std::vector<size_t> expected;
  for (int record : {BoltRifle, SharedBoltRifle})
    for (size_t i = 0; i < 4; ++i)
      if (original[188 * record + 96 + i] != char(i == 0 ? 12 : 0))
        expected.push_back(188 * record + 96 + i);
  QCOMPARE(DifferingBytes(original, saved), expected);
  QCOMPARE(GetInt(saved, 188 * BoltRifle + 96), 12);
  QCOMPARE(GetInt(saved, 188 * SharedBoltRifle + 96), 12);

  // A float edit writes exactly the float32 held in memory.
  QVERIFY(f.ApplyValue(f.Records[HeavyRevolver], "Range", "0.1"));
  QVERIFY(f.SaveRecords());
  QCOMPARE(uint32_t(GetInt(loaded.Bytes(), 188 * HeavyRevolver + 116)), BitsOf(0.1f));
}

void TWeaponsFileTest::saveObjectText_data()
{
  QTest::addColumn<int>("record");
  QTest::addColumn<QString>("object");
  QTest::addColumn<QByteArray>("field");
  // Record 9's field holds "wpn_bat", a zero byte and then "old_bat": bytes after the new
  // text's zero byte are kept as they were.
  QTest::newRow("16 characters, no zero byte") << 9 << "abcdefghijklmnop" << QByteArray("abcdefghijklmnop");
  QTest::newRow("shorter text ends with a zero byte")
      << 9 << "ab" << QByteArray("ab\0_bat\0old_bat\0", 16);
  QTest::newRow("empty text") << 9 << "" << QByteArray("\0pn_bat\0old_bat\0", 16);
  QTest::newRow("15 characters") << 0 << "abcdefghijklmno" << QByteArray("abcdefghijklmno\0", 16);
}

void TWeaponsFileTest::saveObjectText()
{
  QFETCH(int, record);
  QFETCH(QString, object);
  QFETCH(QByteArray, field);
  const std::string original = DemoFile();
  TLoaded loaded(original);
  TWeaponsFile& f = loaded.file;
  f.ApplyValue(f.Records[record], "Object", object.toStdString());
  QVERIFY(f.SaveRecords());
  const std::string saved = loaded.Bytes();
  QCOMPARE(QByteArray::fromStdString(saved.substr(188 * record + 36, 16)), field);
  for (size_t i : DifferingBytes(original, saved))
    QVERIFY2(i >= size_t(188 * record + 36) && i < size_t(188 * record + 52), "byte outside the Object field");

  TWeaponsFile reread;
  reread.Open(loaded.path);
  reread.ReadRecords();
  QCOMPARE(QString::fromStdString(reread.Records[record].Object), object);
}

void TWeaponsFileTest::failedSaveIsReported()
{
#ifdef Q_OS_LINUX
  TLoaded loaded(DemoFile());
  // The reading stream keeps the removed file readable; every write must fail to open it.
  QCOMPARE(std::remove(loaded.path.c_str()), 0);
  QVERIFY(!loaded.file.SaveRecords());
  QCOMPARE(TBinaryFile::FileLength(loaded.path), int64_t(-1));  // nothing was created
#else
  QSKIP("removing an open file needs Linux");
#endif
}

void TWeaponsFileTest::shortFile_data()
{
  QTest::addColumn<int>("size");
  QTest::newRow("empty") << 0;
  QTest::newRow("part of the first record") << 187;
  QTest::newRow("one record") << 188;
  QTest::newRow("three records and a part") << 188 * 3 + 60;
  QTest::newRow("one byte short") << 6579;
}

void TWeaponsFileTest::shortFile()
{
  QFETCH(int, size);
  const std::string original = DemoFile().substr(0, size_t(size));
  TLoaded loaded(original);
  TWeaponsFile& f = loaded.file;
  const int complete = size / 188;
  QCOMPARE(f.LoadedCount(), complete);
  QCOMPARE(f.Records.size(), size_t(35));
  const std::vector<Samples::TWeaponFields> demo = DemoRecords();
  for (int i = 0; i < 35; ++i) {
    // A record reaching past the end is not read, even where its name lies inside the file.
    QCOMPARE(f.Records[i].Name, i < complete ? demo[i].Name.substr(0, 36) : std::string());
    QCOMPARE(f.RecordAt(i) != nullptr, i < complete);
  }
  const QString warning = QString::fromStdString(f.LoadWarning());
  QVERIFY(warning.contains(QString("%1 of 6580 bytes").arg(size)));
  QVERIFY(warning.contains(QString("Only the %1 records").arg(complete)));

  // Saving writes only the complete records and leaves the rest of the file as it was.
  if (complete > 0)
    QVERIFY(f.ApplyValue(f.Records[0], "TotalRounds", "7"));
  QVERIFY(f.SaveRecords());
  const std::string saved = loaded.Bytes();
  QCOMPARE(saved.size(), original.size());
  for (size_t i : DifferingBytes(original, saved))
    QVERIFY(i >= 100 && i < 104);
}

void TWeaponsFileTest::missingFile()
{
  TScratchDir dir;
  TWeaponsFile f;
  QCOMPARE(f.Open(dir.Path("missing.def")), -1);
  f.ReadRecords();
  QCOMPARE(f.LoadedCount(), 0);
  QCOMPARE(f.RecordAt(0), nullptr);
  QCOMPARE(f.LoadWarning(), std::string("The file could not be opened, so no weapons are listed."));
  QVERIFY(f.SaveRecords());  // nothing to write
  QCOMPARE(TBinaryFile::FileLength(dir.Path("missing.def")), int64_t(-1));
}
