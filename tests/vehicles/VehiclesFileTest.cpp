// The vehicles file code: reading, the name table, value rules, saving, the record copy and
// damaged files, without any window.
#include "VehiclesFixtures.h"

#include "binfile/Convert.h"
#include "tools/samples/Samples.h"
#include "vehicles/VehiclesFile.h"

#include <QtTest>

#include <cmath>
#include <filesystem>
#include <set>

using namespace Fixture;
namespace fs = std::filesystem;

class TestVehiclesFile : public QObject {
  Q_OBJECT

private:
  // A record with a different value in every field.
  static TVehicleValues Distinct(const std::string& name, uint32_t seed)
  {
    TVehicleValues v = Car(name, seed);
    float x = 1.5f + static_cast<float>(seed);
    for (float* f : {&v.Weight, &v.MaxSpeedKMH, &v.GearSpeedFactor, &v.RedLineRPM, &v.MaxRPM, &v.IdleRPM,
                     &v.MaxPower, &v.PowerBandKwHi, &v.PowerBandKwLo, &v.PowerBandRPMHi, &v.PowerBandRPMLo,
                     &v.HitPoints, &v.GearFactor, &v.DownForceFront, &v.DownForceRear, &v.PowerBandPeakRPM,
                     &v.Gears, &v.ShiftDelayTicks, &v.SpeedModifier, &v.FirstGearLength, &v.SecondGearLength,
                     &v.ThirdGearLength, &v.FourthGearLength, &v.CenterOfGravity, &v.RearWheelSlip,
                     &v.PushFactor1, &v.PushFactor2}) {
      *f = x;
      x += 1.25f;
    }
    v.FWD = 3;
    v.RWD = 2;
    v.Roof = 255;
    v.FourWheelTurning = 0x1234;
    return v;
  }

  static void CompareRecord(const VehicleRecord& r, const TVehicleValues& v)
  {
    QCOMPARE(r.RecordLength, v.RecordLength);
    QCOMPARE(r.Name, v.Name);
    const std::pair<float, float> floats[] = {
        {r.Weight, v.Weight},           {r.MaxSpeedKMH, v.MaxSpeedKMH},
        {r.GearSpeedFactor, v.GearSpeedFactor}, {r.RedLineRPM, v.RedLineRPM},
        {r.MaxRPM, v.MaxRPM},           {r.IdleRPM, v.IdleRPM},
        {r.MaxPower, v.MaxPower},       {r.PowerBandKwHi, v.PowerBandKwHi},
        {r.PowerBandKwLo, v.PowerBandKwLo}, {r.PowerBandRPMHi, v.PowerBandRPMHi},
        {r.PowerBandRPMLo, v.PowerBandRPMLo}, {r.HitPoints, v.HitPoints},
        {r.GearFactor, v.GearFactor},   {r.DownForceFront, v.DownForceFront},
        {r.DownForceRear, v.DownForceRear}, {r.PowerBandPeakRPM, v.PowerBandPeakRPM},
        {r.Gears, v.Gears},             {r.ShiftDelayTicks, v.ShiftDelayTicks},
        {r.SpeedModifier, v.SpeedModifier}, {r.FirstGearLength, v.FirstGearLength},
        {r.SecondGearLength, v.SecondGearLength}, {r.ThirdGearLength, v.ThirdGearLength},
        {r.FourthGearLength, v.FourthGearLength}, {r.CenterOfGravity, v.CenterOfGravity},
        {r.RearWheelSlip, v.RearWheelSlip}, {r.PushFactor1, v.PushFactor1},
        {r.PushFactor2, v.PushFactor2}};
    for (const auto& [got, want] : floats)
      QCOMPARE(got, want);
    QCOMPARE(r.FWD, v.FWD);
    QCOMPARE(r.RWD, v.RWD);
    QCOMPARE(r.Roof, v.Roof);
    QCOMPARE(r.FourWheelTurning, v.FourWheelTurning);
  }

  static TCheckBoxStates Unchanged(const VehicleRecord& r) { return CheckBoxStatesOf(r); }

private slots:
  void readsEveryFieldAndTheRecordChain()
  {
    const std::string longName(32, 'Q');  // fills the field without a zero byte
    std::vector<TVehicleValues> cars = {Distinct("fordtco", 1), Distinct(longName, 2), Distinct("", 3),
                                        Distinct("taxi", 4)};
    cars[1].RecordLength = 1900;
    cars[2].RecordLength = 1600;
    cars[3].RecordLength = 1784;
    TScratchDir dir;
    const std::string path = dir.Write("vehicles.bin", File(cars));
    TRecordingProgress progress;
    TVehiclesFile file;
    QCOMPARE(file.Load(path), std::string());
    QCOMPARE(file.KindMarker, 1);
    QCOMPARE(file.RecordCount, 4);
    QCOMPARE(file.Count(), 4);
    for (size_t i = 0; i < cars.size(); ++i) {
      QCOMPARE(file.RecordBases[i], static_cast<int32_t>(BaseOf(cars, i)));
      CompareRecord(file.Records[i], cars[i]);
    }
    QCOMPARE(file.Records[1].Name.size(), size_t(32));
    const std::vector<std::string> calls = {"show",          "caption:Reading Objects", "status:fordtco",
                                            "status:" + longName, "status:",           "status:taxi"};
    QCOMPARE(progress.Calls, calls);
  }

  void headerWithNoRecords()
  {
    TScratchDir dir;
    const std::string path = dir.Write("vehicles.bin", Samples::JoinVehicleRecords({}, 0));
    TVehiclesFile file;
    QCOMPARE(file.Load(path), std::string());
    QCOMPARE(file.Count(), 0);
    QVERIFY(file.Save());
    QCOMPARE(TScratchDir::Read(path), Samples::JoinVehicleRecords({}, 0));
  }

  void nameTable()
  {
    QCOMPARE(VehicleNames.size(), size_t(84));
    std::set<std::string> models;
    for (const TVehicleName& row : VehicleNames)
      models.insert(row.ModelName);
    QCOMPARE(models.size(), size_t(84));
    QCOMPARE(std::string(VehicleNames[0].DisplayName), std::string("Bolt Ace Coupe"));
    QCOMPARE(std::string(VehicleNames[26].ModelName), std::string("TBirdold"));
    QCOMPARE(std::string(VehicleNames[83].DisplayName), std::string("Hill Billy"));
    QCOMPARE(std::string(VehicleNames[83].ModelName), std::string("tbirdold"));
  }

  void displayName_data()
  {
    QTest::addColumn<std::string>("model");
    QTest::addColumn<std::string>("shown");
    QTest::newRow("first row") << std::string("fordtco") << std::string("Bolt Ace Coupe (fordtco)");
    QTest::newRow("same names") << std::string("Flamer") << std::string("Flamer (Flamer)");
    QTest::newRow("row 27") << std::string("TBirdold") << std::string("Hillbilly 5.1 FWD (TBirdold)");
    QTest::newRow("row 84") << std::string("tbirdold") << std::string("Hill Billy (tbirdold)");
    QTest::newRow("last of a long name") << std::string("fordApicktaxi") << std::string("Masseur Taxi (fordApicktaxi)");
    QTest::newRow("case differs") << std::string("FORDTCO") << std::string("FORDTCO");
    QTest::newRow("unknown") << std::string("prototype7") << std::string("prototype7");
    QTest::newRow("prefix only") << std::string("fordt") << std::string("fordt");
    QTest::newRow("empty") << std::string() << std::string();
  }
  void displayName()
  {
    QFETCH(std::string, model);
    QFETCH(std::string, shown);
    QCOMPARE(VehicleDisplayName(model), shown);
  }

  void valueTexts_data()
  {
    QTest::addColumn<float>("value");
    QTest::addColumn<std::string>("whole");
    QTest::addColumn<std::string>("g7");
    QTest::addColumn<std::string>("g15");
    QTest::newRow("1500") << 1500.0f << std::string("1500") << std::string("1500") << std::string("1500");
    QTest::newRow("2.9 truncated") << 2.9f << std::string("2") << std::string("2.9") << std::string("2.90000009536743");
    QTest::newRow("-2.9 truncated") << -2.9f << std::string("-2") << std::string("-2.9")
                                    << std::string("-2.90000009536743");
    QTest::newRow("-0.5 is 0") << -0.5f << std::string("0") << std::string("-0.5") << std::string("-0.5");
    QTest::newRow("0.35") << 0.35f << std::string("0") << std::string("0.35") << std::string("0.349999994039536");
    QTest::newRow("G7 small exponent") << 1.5e-6f << std::string("0") << std::string("1.5E-0006")
                                       << std::string("1.50000005305628E-6");
    QTest::newRow("G7 large exponent") << 123456789.0f << std::string("123456792") << std::string("1.234568E+0008")
                                       << std::string("123456792");
    QTest::newRow("big whole") << 1e10f << std::string("10000000000") << std::string("1E+0010")
                               << std::string("10000000000");
  }
  void valueTexts()
  {
    QFETCH(float, value);
    QFETCH(std::string, whole);
    QFETCH(std::string, g7);
    QFETCH(std::string, g15);
    QCOMPARE(FormatWhole(value), whole);
    QCOMPARE(FormatG7(value), g7);
    QCOMPARE(FormatG15(value), g15);
  }

  // The change test compares the entry with the field's G15 (whole rows) or G7 text.
  void applyValue_data()
  {
    QTest::addColumn<std::string>("caption");
    QTest::addColumn<float>("before");
    QTest::addColumn<std::string>("entry");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<float>("after");
    QTest::addColumn<std::string>("shown");
    QTest::newRow("1500.0 and 1500") << std::string("Weight") << 1500.0f << std::string("1500") << false << 1500.0f
                                     << std::string("1500");
    QTest::newRow("1500.7 and 1500") << std::string("Weight") << 1500.7f << std::string("1500") << true << 1500.0f
                                     << std::string("1500");
    QTest::newRow("0.35 and 0") << std::string("HitPoints") << 0.35f << std::string("0") << true << 0.0f
                                << std::string("0");
    QTest::newRow("0.5 into DownForceFront") << std::string("DownForceFront") << 0.0f << std::string("0.5") << true
                                             << 0.5f << std::string("0");
    QTest::newRow("G7 row, same text") << std::string("FirstGearLength") << 0.3f << std::string("0.3") << false
                                       << 0.3f << std::string("0.3");
    QTest::newRow("G7 exponent form") << std::string("SecondGearLength") << 1.5e-6f << std::string("1.5") << true
                                      << 1.5f << std::string("1.5");
    QTest::newRow("nearest float32") << std::string("MaxSpeedKMH") << 0.0f << std::string("0.1") << true << 0.1f
                                     << std::string("0.1");
    QTest::newRow("leading zeros differ") << std::string("Gears") << 12.0f << std::string("012") << true << 12.0f
                                          << std::string("12");
    QTest::newRow("not a number") << std::string("RearWheelSlip") << std::nanf("") << std::string("5") << true
                                  << 5.0f << std::string("5");
  }
  void applyValue()
  {
    QFETCH(std::string, caption);
    QFETCH(float, before);
    QFETCH(std::string, entry);
    QFETCH(bool, changed);
    QFETCH(float, after);
    QFETCH(std::string, shown);
    TScratchDir dir;
    const std::string path = dir.Write("vehicles.bin", File({Car("taxi")}));
    TVehiclesFile file;
    file.Load(path);
    const TVehicleRow* row = FindVehicleRow(caption);
    QVERIFY(row);
    *FloatField(file.Records[0], row->Entry) = before;
    QCOMPARE(file.ApplyValue(0, caption, entry, Unchanged(file.Records[0])), changed);
    QCOMPARE(*FloatField(file.Records[0], row->Entry), after);
    QCOMPARE(RowText(file.Records[0], *row), shown);
  }

  void rowsThatChangeNoValue_data()
  {
    QTest::addColumn<std::string>("caption");
    QTest::newRow("name row") << std::string("Name");
    QTest::newRow("check box row") << std::string("RWD");
    QTest::newRow("check box click") << std::string("Unknown");
    QTest::newRow("wrong case") << std::string("weight");
  }
  void rowsThatChangeNoValue()
  {
    QFETCH(std::string, caption);
    TScratchDir dir;
    TVehiclesFile file;
    file.Load(dir.Write("vehicles.bin", File({Car("taxi")})));
    const VehicleRecord before = file.Records[0];
    QVERIFY(!file.ApplyValue(0, caption, "77", Unchanged(before)));
    QCOMPARE(file.Records[0].Name, before.Name);
    QCOMPARE(file.Records[0].Weight, before.Weight);
    QCOMPARE(FormatG15(file.Records[0].Weight), std::string("1200"));
  }

  void sameNamePropagation()
  {
    TVehicleValues other = Car("taxi", 2);
    other.Weight = 900;
    TScratchDir dir;
    TVehiclesFile file;
    file.Load(dir.Write("vehicles.bin", File({Car("taxi", 1), Car("chev", 3), other, Car("Taxi", 4)})));
    TCheckBoxStates boxes = Unchanged(file.Records[2]);
    boxes.Roof = false;
    QVERIFY(file.ApplyValue(2, "Weight", "1500", boxes));
    QCOMPARE(file.Records[0].Weight, 1500.0f);
    QCOMPARE(file.Records[2].Weight, 1500.0f);
    QCOMPARE(file.Records[0].Roof, uint8_t(0));
    QCOMPARE(file.Records[2].Roof, uint8_t(0));
    // Other names, also one differing only in case, are left alone.
    QCOMPARE(file.Records[1].Weight, 1200.0f);
    QCOMPARE(file.Records[3].Weight, 1200.0f);
    QCOMPARE(file.Records[1].Roof, uint8_t(1));
    QCOMPARE(file.Records[3].Roof, uint8_t(1));
  }

  void checkBoxNormalisation()
  {
    TVehicleValues odd = Car("hudcou");
    odd.RWD = 2;
    odd.FWD = 0;
    odd.FourWheelTurning = 0;
    odd.Roof = 1;
    TScratchDir dir;
    TVehiclesFile file;
    file.Load(dir.Write("vehicles.bin", File({odd})));
    const TCheckBoxStates shown = CheckBoxStatesOf(file.Records[0]);
    QVERIFY(!shown.RWD);  // 2 is not 1
    QVERIFY(shown.FourWheelTurning);  // anything but 256
    QVERIFY(shown.Roof);
    QCOMPARE(file.Records[0].RWD, uint8_t(2));
    QCOMPARE(file.Records[0].FourWheelTurning, uint16_t(0));
    // An entry that changes no value still writes the boxes back.
    QVERIFY(file.ApplyValue(0, "Weight", "1200", shown));
    QCOMPARE(file.Records[0].Weight, 1200.0f);
    QCOMPARE(file.Records[0].RWD, uint8_t(0));
    QCOMPARE(file.Records[0].FourWheelTurning, FourWheelTurningOn);
    QCOMPARE(file.Records[0].Roof, uint8_t(1));
    QVERIFY(!file.ApplyValue(0, "Weight", "1200", CheckBoxStatesOf(file.Records[0])));
    TCheckBoxStates off = CheckBoxStatesOf(file.Records[0]);
    off.FourWheelTurning = false;
    QVERIFY(file.ApplyValue(0, "Unknown", "", off));
    QCOMPARE(file.Records[0].FourWheelTurning, FourWheelTurningOff);
  }

  void conversionErrors_data()
  {
    QTest::addColumn<std::string>("caption");
    QTest::addColumn<std::string>("entry");
    QTest::addColumn<std::string>("message");
    QTest::newRow("two points") << std::string("FirstGearLength") << std::string("1.2.3")
                                << std::string("'1.2.3' is not a valid floating point value");
    QTest::newRow("points in a row") << std::string("HitPoints") << std::string("1..2")
                                     << std::string("'1..2' is not a valid floating point value");
    QTest::newRow("a point alone") << std::string("MaxPower") << std::string(".")
                                   << std::string("'.' is not a valid floating point value");
    QTest::newRow("weight with a point") << std::string("Weight") << std::string("1.5")
                                         << std::string("'1.5' is not a valid integer value");
  }
  void conversionErrors()
  {
    QFETCH(std::string, caption);
    QFETCH(std::string, entry);
    QFETCH(std::string, message);
    TVehicleValues odd = Car("taxi");
    odd.RWD = 2;  // any store would normalise it
    TScratchDir dir;
    const std::string bytes = File({odd, odd});
    TVehiclesFile file;
    file.Load(dir.Write("vehicles.bin", bytes));
    try {
      file.ApplyValue(1, caption, entry, CheckBoxStatesOf(file.Records[1]));
      QFAIL("no conversion error");
    } catch (const EConvertError& error) {
      QCOMPARE(std::string(error.what()), message);
    }
    for (const VehicleRecord& r : file.Records) {
      QCOMPARE(r.RWD, uint8_t(2));
      QCOMPARE(*FloatField(r, FindVehicleRow(caption)->Entry), *FloatField(file.Records[0], FindVehicleRow(caption)->Entry));
    }
    QVERIFY(file.Save());
    QCOMPARE(TScratchDir::Read(file.FileName), bytes);
  }

  // Two records of one name, where only the second needs the entry parsed: the first must
  // not be changed before the second's conversion fails.
  void conversionErrorChangesNoRecordOfTheName()
  {
    TVehicleValues first = Car("taxi", 1);
    first.Weight = 150.5f;
    first.RWD = 2;
    TVehicleValues second = Car("taxi", 2);
    second.Weight = 100;
    TScratchDir dir;
    TVehiclesFile file;
    file.Load(dir.Write("vehicles.bin", File({first, second})));
    QVERIFY_THROWS_EXCEPTION(EConvertError, file.ApplyValue(0, "Weight", "150.5", CheckBoxStatesOf(file.Records[0])));
    QCOMPARE(file.Records[0].RWD, uint8_t(2));
    QCOMPARE(file.Records[0].Weight, 150.5f);
    QCOMPARE(file.Records[1].Weight, 100.0f);
  }

  void saveWithoutEditIsByteIdentical()
  {
    std::vector<TVehicleValues> cars = {Distinct("fordtco", 1), Distinct("", 2), Distinct("Flamer", 3)};
    cars[2].RecordLength = 1850;
    std::string bytes = File(cars);
    // Values that are no finite numbers, and other unusual bit patterns, must survive.
    const size_t b0 = BaseOf(cars, 0), b2 = BaseOf(cars, 2);
    PutBits(bytes, b0 + At::Weight, 0x7FA00001u);           // signalling NaN with a payload
    PutBits(bytes, b0 + At::MaxPower, 0xFFC12345u);         // negative quiet NaN with a payload
    PutBits(bytes, b0 + At::CenterOfGravity, 0x7F800000u);  // +infinity
    PutBits(bytes, b2 + At::RearWheelSlip, 0xFF800000u);    // -infinity
    PutBits(bytes, b2 + At::PushFactor2, 0x80000000u);      // -0
    PutBits(bytes, b2 + At::GearFactor, 0x00000001u);       // smallest denormal
    TScratchDir dir;
    const std::string path = dir.Write("vehicles.bin", bytes);
    TRecordingProgress progress;
    TVehiclesFile file;
    file.Load(path);
    progress.Calls.clear();
    QVERIFY(file.Save());
    QCOMPARE(TScratchDir::Read(path), bytes);
    const std::vector<std::string> calls = {"show", "caption:Saving Vehicle Objects", "status:fordtco", "status:",
                                            "status:Flamer", "hide"};
    QCOMPARE(progress.Calls, calls);
  }

  void saveSingleFieldChange()
  {
    std::vector<TVehicleValues> cars = {Car("fordtco", 1), Car("taxi", 2), Car("chev", 3)};
    cars[1].RWD = 2;  // normalised by the first accepted change
    const std::string bytes = File(cars);
    TScratchDir dir;
    const std::string path = dir.Write("vehicles.bin", bytes);
    TVehiclesFile file;
    file.Load(path);
    TCheckBoxStates boxes = CheckBoxStatesOf(file.Records[1]);
    QVERIFY(file.ApplyValue(1, "MaxRPM", "5000", boxes));
    QVERIFY(file.Save());
    const std::string saved = TScratchDir::Read(path);
    const size_t base = BaseOf(cars, 1);
    const std::vector<size_t> expected = {base + At::MaxRPM, base + At::MaxRPM + 1, base + At::MaxRPM + 2,
                                          base + At::MaxRPM + 3, base + At::RWD};
    std::vector<size_t> got = Differences(bytes, saved);
    // Bytes that happen to be equal in both values are not differences.
    for (size_t at : got)
      QVERIFY(std::find(expected.begin(), expected.end(), at) != expected.end());
    QCOMPARE(GetFloat(saved, base + At::MaxRPM), 5000.0f);
    QCOMPARE(saved[base + At::RWD], char(0));
    QCOMPARE(saved.size(), bytes.size());
  }

  // Every editable field goes to its own offset, and nothing else is written.
  void saveWritesEveryFieldInPlace()
  {
    std::vector<TVehicleValues> cars = {Car("fordtco", 1), Car("taxi", 2)};
    cars[1].RecordLength = 1800;
    TScratchDir dir;
    const std::string path = dir.Write("vehicles.bin", File(cars));
    TVehiclesFile file;
    file.Load(path);
    std::vector<TVehicleValues> edited = {Distinct("fordtco", 1), Distinct("taxi", 2)};
    edited[1].RecordLength = 1800;
    for (size_t i = 0; i < edited.size(); ++i) {
      VehicleRecord& r = file.Records[i];
      const TVehicleValues& v = edited[i];
      r.Weight = v.Weight, r.MaxSpeedKMH = v.MaxSpeedKMH, r.GearSpeedFactor = v.GearSpeedFactor;
      r.RedLineRPM = v.RedLineRPM, r.MaxRPM = v.MaxRPM, r.IdleRPM = v.IdleRPM, r.MaxPower = v.MaxPower;
      r.PowerBandKwHi = v.PowerBandKwHi, r.PowerBandKwLo = v.PowerBandKwLo, r.PowerBandRPMHi = v.PowerBandRPMHi;
      r.PowerBandRPMLo = v.PowerBandRPMLo, r.HitPoints = v.HitPoints, r.GearFactor = v.GearFactor;
      r.DownForceFront = v.DownForceFront, r.DownForceRear = v.DownForceRear, r.PowerBandPeakRPM = v.PowerBandPeakRPM;
      r.Gears = v.Gears, r.ShiftDelayTicks = v.ShiftDelayTicks, r.SpeedModifier = v.SpeedModifier;
      r.FirstGearLength = v.FirstGearLength, r.SecondGearLength = v.SecondGearLength;
      r.ThirdGearLength = v.ThirdGearLength, r.FourthGearLength = v.FourthGearLength;
      r.CenterOfGravity = v.CenterOfGravity, r.RearWheelSlip = v.RearWheelSlip;
      r.PushFactor1 = v.PushFactor1, r.PushFactor2 = v.PushFactor2;
      r.FWD = v.FWD, r.RWD = v.RWD, r.Roof = v.Roof, r.FourWheelTurning = v.FourWheelTurning;
      r.Name = "renamed";        // the name is never written
      r.RecordLength = 99999;    // nor the length
    }
    QVERIFY(file.Save());
    QCOMPARE(TScratchDir::Read(path), File(edited));
  }

  void failedSave_data()
  {
    QTest::addColumn<QString>("how");
    QTest::newRow("file removed") << "removed";
    QTest::newRow("folder in its place") << "folder";
#ifdef Q_OS_LINUX
    QTest::newRow("disk full") << "full";
#endif
  }
  void failedSave()
  {
    QFETCH(QString, how);
    TScratchDir dir;
    const std::string path = dir.Write("vehicles.bin", File({Car("taxi"), Car("chev", 2)}));
    TVehiclesFile file;
    file.Load(path);
    file.File.Close();
    fs::remove(fs::u8path(path));
    if (how == "folder")
      fs::create_directory(fs::u8path(path));
    else if (how == "full")
      fs::create_symlink("/dev/full", fs::u8path(path));
    QVERIFY(!file.Save());
    if (how == "removed")
      QVERIFY(!fs::exists(fs::u8path(path)));  // a failed write creates nothing
  }

  void damagedFiles_data()
  {
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<int>("loaded");
    const std::vector<TVehicleValues> cars = {Car("fordtco", 1), Car("taxi", 2), Car("chev", 3)};
    std::vector<std::string> records;
    for (const TVehicleValues& v : cars)
      records.push_back(Samples::VehicleRecordBytes(v));
    QTest::newRow("negative count") << Samples::JoinVehicleRecords(records, -1) << 0;
    QTest::newRow("count beyond the file") << Samples::JoinVehicleRecords(records, 7) << 3;
    QTest::newRow("huge count") << Samples::JoinVehicleRecords(records, 0x7FFFFFFF) << 3;
    std::string pastEnd = Samples::JoinVehicleRecords(records, 3);
    PutInt(pastEnd, BaseOf(cars, 1), 5000);
    QTest::newRow("length past the end") << pastEnd << 1;
    std::string hugeLength = Samples::JoinVehicleRecords(records, 3);
    PutInt(hugeLength, BaseOf(cars, 2), 0x7FFFFFF0);
    QTest::newRow("length near 2 GB") << hugeLength << 2;
    std::string zeroLength = Samples::JoinVehicleRecords(records, 3);
    PutInt(zeroLength, BaseOf(cars, 0), 0);
    QTest::newRow("length 0") << zeroLength << 0;
    std::string backwards = Samples::JoinVehicleRecords(records, 3);
    PutInt(backwards, BaseOf(cars, 1), -1784);
    QTest::newRow("negative length") << backwards << 1;
    std::string cut = Samples::JoinVehicleRecords(records, 3);
    cut.resize(BaseOf(cars, 2) + 1000);
    QTest::newRow("last record cut") << cut << 2;
    QTest::newRow("header only half") << std::string("\x01\x00\x00\x00", 4) << 0;
    QTest::newRow("empty file") << std::string() << 0;
  }
  void damagedFiles()
  {
    QFETCH(std::string, bytes);
    QFETCH(int, loaded);
    TScratchDir dir;
    const std::string path = dir.Write("vehicles.bin", bytes);
    TVehiclesFile file;
    const std::string problem = file.Load(path);
    QVERIFY(!problem.empty());
    QCOMPARE(file.Count(), loaded);
    for (int i = 0; i < file.Count(); ++i)
      QVERIFY(int64_t(file.RecordBases[size_t(i)]) + 4 + file.Records[size_t(i)].RecordLength <= int64_t(bytes.size()));
    // Saving what was loaded rewrites it as it was and nothing outside it.
    QVERIFY(file.Save());
    QCOMPARE(TScratchDir::Read(path), bytes);
  }

  void missingFile()
  {
    TScratchDir dir;
    TVehiclesFile file;
    const std::string path = dir.Path("absent.bin");
    QVERIFY(!file.Load(path).empty());
    QCOMPARE(file.Count(), 0);
    QVERIFY(file.Save());
    QVERIFY(!fs::exists(fs::u8path(path)));
  }

  void copyRecordData()
  {
    std::vector<TVehicleValues> cars = {Distinct("fordtco", 1), Distinct("fordtFor", 2), Distinct("taxi", 3)};
    cars[1].RecordLength = 1900;  // bytes beyond the copied range stay
    const std::string bytes = File(cars);
    TScratchDir dir;
    const std::string path = dir.Write("vehicles.bin", bytes);
    TRecordingProgress progress;
    TVehiclesFile file;
    file.Load(path);
    file.File.Close();
    progress.Calls.clear();
    QCOMPARE(file.CopyProblem(0, 1), std::string());
    QCOMPARE(file.CopyRecordData(0, 1), std::string());
    const std::string after = TScratchDir::Read(path);
    QCOMPARE(after.size(), bytes.size());
    const size_t from = BaseOf(cars, 0), to = BaseOf(cars, 1);
    QCOMPARE(after.substr(to + 36, 1748), bytes.substr(from + 36, 1748));
    QCOMPARE(after.substr(0, to + 36), bytes.substr(0, to + 36));       // header, A, B's length and name
    QCOMPARE(after.substr(to + 1784), bytes.substr(to + 1784));          // B's tail and C
    const std::vector<std::string> calls = {"show", "caption:Copying Vehicle Object", "status:Copying",
                                            "status:Copying", "hide"};
    QCOMPARE(progress.Calls, calls);
    // Onto itself: the file stays as it is.
    QCOMPARE(file.CopyRecordData(2, 2), std::string());
    QCOMPARE(TScratchDir::Read(path), after);
  }

  void copyRefused_data()
  {
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("destination");
    QTest::newRow("source too short") << 1 << 0;
    QTest::newRow("destination too short") << 0 << 1;
  }
  void copyRefused()
  {
    QFETCH(int, source);
    QFETCH(int, destination);
    std::vector<TVehicleValues> cars = {Car("fordtco", 1), Car("shorty", 2, 1779), Car("taxi", 3)};
    const std::string bytes = File(cars);
    TScratchDir dir;
    const std::string path = dir.Write("vehicles.bin", bytes);
    TVehiclesFile file;
    file.Load(path);
    QCOMPARE(file.Count(), 3);  // long enough for the fields, too short for a copy
    const std::string problem = file.CopyProblem(source, destination);
    QVERIFY(problem.find("shorty") != std::string::npos);
    QCOMPARE(file.CopyRecordData(source, destination), problem);
    QCOMPARE(TScratchDir::Read(path), bytes);
  }

  void copyOfAnUnreadableSourceWritesNothing()
  {
    std::vector<TVehicleValues> cars = {Car("fordtco", 1), Car("taxi", 2)};
    TScratchDir dir;
    const std::string path = dir.Write("vehicles.bin", File(cars));
    TVehiclesFile file;
    file.Load(path);
    file.File.Close();
    // The file lost the end of the source record after it was loaded.
    std::string cut = File(cars);
    cut.resize(BaseOf(cars, 1) + 1000);
    Samples::WriteBytes(path, cut);
    QVERIFY(!file.CopyRecordData(1, 0).empty());
    QCOMPARE(TScratchDir::Read(path), cut);
    // The destination lies past the new end: the copy must not extend the file.
    QVERIFY(!file.CopyRecordData(0, 1).empty());
    QCOMPARE(TScratchDir::Read(path), cut);
    fs::remove(fs::u8path(path));
    QVERIFY(!file.CopyRecordData(0, 0).empty());
    QVERIFY(!fs::exists(fs::u8path(path)));
  }
};

int RunVehiclesFileTests(int argc, char** argv)
{
  TestVehiclesFile test;
  return QTest::qExec(&test, argc, argv);
}

#include "VehiclesFileTest.moc"
