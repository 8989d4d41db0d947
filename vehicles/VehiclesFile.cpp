#include "vehicles/VehiclesFile.h"

#include "binfile/Convert.h"
#include "binfile/Progress.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

// The file's header: kind marker and record count.
constexpr int32_t HeaderSize = 8;
// The smallest RecordLength whose record holds every field (Roof, at offset 1570, is the last).
constexpr int32_t MinRecordLength = 1571 - 4;

// Float fields in the order the save writes them, then the bytes and the 16-bit value.
constexpr int SaveFloatOrder[] = {
    vfWeight,          vfHitPoints,      vfFirstGearLength, vfSecondGearLength, vfThirdGearLength, vfFourthGearLength,
    vfDownForceFront,  vfDownForceRear,  vfPushFactor1,     vfPushFactor2,      vfGears,           vfGearFactor,
    vfGearSpeedFactor, vfShiftDelayTicks, vfMaxPower,       vfMaxSpeedKMH,      vfRedLineRPM,      vfMaxRPM,
    vfIdleRPM,         vfPowerBandPeakRPM, vfPowerBandKwHi,  vfPowerBandKwLo,    vfPowerBandRPMHi,  vfPowerBandRPMLo,
    vfSpeedModifier,   vfCenterOfGravity, vfRearWheelSlip};

float VehicleRecord::*FloatMember(int entry)
{
  switch (entry) {
    case vfWeight: return &VehicleRecord::Weight;
    case vfMaxSpeedKMH: return &VehicleRecord::MaxSpeedKMH;
    case vfGearSpeedFactor: return &VehicleRecord::GearSpeedFactor;
    case vfRedLineRPM: return &VehicleRecord::RedLineRPM;
    case vfMaxRPM: return &VehicleRecord::MaxRPM;
    case vfIdleRPM: return &VehicleRecord::IdleRPM;
    case vfMaxPower: return &VehicleRecord::MaxPower;
    case vfPowerBandKwHi: return &VehicleRecord::PowerBandKwHi;
    case vfPowerBandKwLo: return &VehicleRecord::PowerBandKwLo;
    case vfPowerBandRPMHi: return &VehicleRecord::PowerBandRPMHi;
    case vfPowerBandRPMLo: return &VehicleRecord::PowerBandRPMLo;
    case vfHitPoints: return &VehicleRecord::HitPoints;
    case vfGearFactor: return &VehicleRecord::GearFactor;
    case vfDownForceFront: return &VehicleRecord::DownForceFront;
    case vfDownForceRear: return &VehicleRecord::DownForceRear;
    case vfPowerBandPeakRPM: return &VehicleRecord::PowerBandPeakRPM;
    case vfGears: return &VehicleRecord::Gears;
    case vfShiftDelayTicks: return &VehicleRecord::ShiftDelayTicks;
    case vfSpeedModifier: return &VehicleRecord::SpeedModifier;
    case vfFirstGearLength: return &VehicleRecord::FirstGearLength;
    case vfSecondGearLength: return &VehicleRecord::SecondGearLength;
    case vfThirdGearLength: return &VehicleRecord::ThirdGearLength;
    case vfFourthGearLength: return &VehicleRecord::FourthGearLength;
    case vfPushFactor1: return &VehicleRecord::PushFactor1;
    case vfPushFactor2: return &VehicleRecord::PushFactor2;
    case vfCenterOfGravity: return &VehicleRecord::CenterOfGravity;
    case vfRearWheelSlip: return &VehicleRecord::RearWheelSlip;
    default: return nullptr;
  }
}

uint32_t BitsOf(float value)
{
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

std::string Plural(int32_t n, const char* one, const char* many) { return IntToStr(n) + " " + (n == 1 ? one : many); }

}  // namespace

TFieldOffsets MakeFieldOffsets()
{
  return {0,   4,   44,  48,  52,  56,  60,  64,  68,  72,  76,  80,   84,  88,  96,  108, 112,
          116, 120, 124, 128, 136, 148, 160, 172, 340, 344, 547, 428, 1570, 312, 316, 548};
}

float* FloatField(VehicleRecord& record, int entry)
{
  float VehicleRecord::*member = FloatMember(entry);
  return member ? &(record.*member) : nullptr;
}

const float* FloatField(const VehicleRecord& record, int entry)
{
  float VehicleRecord::*member = FloatMember(entry);
  return member ? &(record.*member) : nullptr;
}

const std::array<TVehicleName, 84> VehicleNames = {{
    {"Bolt Ace Coupe", "fordtco"},
    {"Black Dragon 4WD", "Blackdragon"},
    {"Brubaker 4WD", "miller"},
    {"Bolt Ace Fordor", "fordtFor"},
    {"Black Metal 4WD", "chevroletm6H"},
    {"Caesar 8C 2300 Racing", "alfa"},
    {"Bolt Ace Pickup", "fordtpi"},
    {"Bob Mylan 4WD", "hotrodp2"},
    {"Caesar 8C Mostro", "alfa8C"},
    {"Bolt Ace Runabout", "fordtru"},
    {"Bolt-Thrower", "thunderbird"},
    {"Carrozella C-Otto 4WD", "bugatti"},
    {"Bolt Ace Touring", "fordtto"},
    {"Crazy Horse", "FThot"},
    {"Trautenberg Racer 4WD", "duesenberg"},
    {"Bolt Ace Tudor", "fordtTud"},
    {"Demoniac", "fordTH"},
    {"Bolt Ambulance", "ambulance"},
    {"Disorder 4WD", "hotrodp3"},
    {"Bolt Firetruck", "fire"},
    {"Flame Spear 4WD", "hotrodp6"},
    {"Bolt Hearse", "hearseA"},
    {"Flamer", "Flamer"},
    {"Bolt Model B Cabriolet", "forAca"},
    {"Flower Power", "fordAdelH"},
    {"Bolt Model B Coupe", "forAcou"},
    {"Hillbilly 5.1 FWD", "TBirdold"},
    {"Bolt Model B Delivery", "forAde"},
    {"HotRod", "FordHOT"},
    {"Bolt Model B Fordor", "ForAfo"},
    {"Luciferion FWD", "hotrodp5"},
    {"Bolt Model B Pickup", "ForApic"},
    {"Manta Prototype", "phantom"},
    {"Bolt Model B Roadster", "ForAro"},
    {"Manta Taxi FWD", "phantomtaxi"},
    {"Bolt Model B Tudor", "ForAtu"},
    {"Masseur", "fordApick"},
    {"Bolt V8 Coupe", "forVco"},
    {"Masseur Taxi", "fordApicktaxi"},
    {"Bolt V8 Fordor", "forVfor"},
    {"Mutagen FWD", "cord_sedanH"},
    {"Bolt V8 Roadster", "forVro"},
    {"Speedee 4WD", "hotrodp4"},
    {"Bolt V8 Touring", "forVto"},
    {"Bolt V8 Tudor", "forVtud"},
    {"Bruno Speedster 851", "speedster"},
    {"Celeste Marque 500", "merced500K"},
    {"Crusader Chromium Fordor", "pontFor"},
    {"Crusader Chromium Tudor", "pontTud"},
    {"Falconer", "blackha"},
    {"Falconer Morello", "black"},
    {"Falconer Yellowcar", "taxi"},
    {"Guardian Terraplane Coupe", "hudcou"},
    {"Guardian Terraplane Fordor", "hudfor"},
    {"Guardian Terraplane Tudor", "hudtu"},
    {"Lassiter V16 Appolyon", "hartmann"},
    {"Lassiter V16 Charon", "hearseCa"},
    {"Lassiter V16 Fordor", "cad_ford"},
    {"Lassiter V16 Phaeton", "cad_phaeton"},
    {"Lassiter V16 Police", "polCad"},
    {"Lassiter V16 Roadster", "cad_road"},
    {"Schubert Extra 6 Police Fordor", "polimFor"},
    {"Schubert Extra 6 Police Tudor", "polimTud"},
    {"Schubert Extra Six Fordor", "chemaFor"},
    {"Schubert Extra Six Tudor", "chemaTud"},
    {"Schubert Six", "chev"},
    {"Schubert Six Police", "poli"},
    {"Silver Fletcher", "arrow"},
    {"Thor 810 Phaeton FWD", "cordph"},
    {"Thor 810 Sedan FWD", "cordse"},
    {"Thor 812 Cabriolet FWD", "cordca"},
    {"Trautenberg Model J", "deuseJco"},
    {"Ulver Airstream Fordor", "airflFor"},
    {"Ulver Airstream Tudor", "airflTud"},
    {"Wright Coupe", "buiCou"},
    {"Wright Fordor", "buikFor"},
    {"Wright Coupe Morello", "buigang"},
    {"Bolt Truck", "TruckBx"},
    {"Bolt Truck covered", "truckB"},
    {"Bolt Truck Flatbed", "truckA"},
    {"Toyota 4x4 concept car", "toyota"},
    {"Xeon", "xedos"},
    {"Beatle Custom", "brouk"},
    {"Hill Billy", "tbirdold"},
}};

std::string VehicleDisplayName(const std::string& modelName)
{
  for (const TVehicleName& row : VehicleNames)
    if (modelName == row.ModelName)
      return std::string(row.DisplayName) + " (" + modelName + ")";
  return modelName;
}

const std::array<TVehicleRow, VehicleRowCount> VehicleRows = {{
    {"Name", TRowForm::Text, vfName},
    {"Weight", TRowForm::Whole, vfWeight},
    {"HitPoints", TRowForm::Whole, vfHitPoints},
    {"DownForceFront", TRowForm::Whole, vfDownForceFront},
    {"DownForceRear", TRowForm::Whole, vfDownForceRear},
    {"PushFactor1", TRowForm::Whole, vfPushFactor1},
    {"PushFactor2", TRowForm::Whole, vfPushFactor2},
    {"Gears", TRowForm::Whole, vfGears},
    {"GearFactor", TRowForm::Whole, vfGearFactor},
    {"GearSpeedFactor", TRowForm::Whole, vfGearSpeedFactor},
    {"ShiftDelayTicks", TRowForm::Whole, vfShiftDelayTicks},
    {"FirstGearLength", TRowForm::G7, vfFirstGearLength},
    {"SecondGearLength", TRowForm::G7, vfSecondGearLength},
    {"ThirdGearLength", TRowForm::G7, vfThirdGearLength},
    {"FourthGearLength", TRowForm::G7, vfFourthGearLength},
    {"RWD", TRowForm::CheckBox, vfRWD},
    {"FWD", TRowForm::CheckBox, vfFWD},
    {"MaxPower", TRowForm::Whole, vfMaxPower},
    {"MaxSpeedKMH", TRowForm::G7, vfMaxSpeedKMH},
    {"RedLineRPM", TRowForm::Whole, vfRedLineRPM},
    {"MaxRPM", TRowForm::Whole, vfMaxRPM},
    {"IdleRPM", TRowForm::Whole, vfIdleRPM},
    {"PowerBandPeakRPM", TRowForm::Whole, vfPowerBandPeakRPM},
    {"PowerBandKwHi", TRowForm::Whole, vfPowerBandKwHi},
    {"PowerBandKwLo", TRowForm::Whole, vfPowerBandKwLo},
    {"PowerBandRPMHi", TRowForm::Whole, vfPowerBandRPMHi},
    {"PowerBandRPMLo", TRowForm::Whole, vfPowerBandRPMLo},
    {"SpeedModifier", TRowForm::Whole, vfSpeedModifier},
    {"CenterOfGravity", TRowForm::G7, vfCenterOfGravity},
    {"RearWheelSlip", TRowForm::G7, vfRearWheelSlip},
    {"FourWheelTurning", TRowForm::CheckBox, vfFourWheelTurning},
    {"Roof", TRowForm::CheckBox, vfRoof},
}};

const TVehicleRow* FindVehicleRow(const std::string& caption)
{
  for (const TVehicleRow& row : VehicleRows)
    if (caption == row.Caption)
      return &row;
  return nullptr;
}

std::string FormatWhole(float value)
{
  if (!std::isfinite(value))
    return FormatGeneral(value, 15, 0);
  const double whole = std::trunc(static_cast<double>(value));
  if (whole == 0)
    return "0";  // also for -0.5, which truncates to a negative zero
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, whole, std::chars_format::fixed, 0);
  return std::string(buffer, result.ptr);
}

std::string FormatG7(float value) { return FormatGeneral(value, 7, 4); }

std::string FormatG15(float value) { return FormatGeneral(value, 15, 0); }

std::string RowText(const VehicleRecord& record, const TVehicleRow& row)
{
  switch (row.Form) {
    case TRowForm::Text: return record.Name;
    case TRowForm::Whole: return FormatWhole(*FloatField(record, row.Entry));
    case TRowForm::G7: return FormatG7(*FloatField(record, row.Entry));
    case TRowForm::CheckBox: break;
  }
  return std::string();
}

TCheckBoxStates CheckBoxStatesOf(const VehicleRecord& record)
{
  TCheckBoxStates states;
  states.RWD = record.RWD == 1;
  states.FWD = record.FWD == 1;
  states.FourWheelTurning = record.FourWheelTurning != FourWheelTurningOff;
  states.Roof = record.Roof == 1;
  return states;
}

// ---- TVehiclesFile

TVehiclesFile::TVehiclesFile() : FieldOffsets(MakeFieldOffsets()) {}

void TVehiclesFile::Close()
{
  File.Close();
  Records.clear();
  RecordBases.clear();
}

VehicleRecord* TVehiclesFile::RecordAt(int index)
{
  if (index < 0 || index >= Count())
    return nullptr;
  return &Records[static_cast<size_t>(index)];
}

std::string TVehiclesFile::Load(const std::string& path)
{
  Records.clear();
  RecordBases.clear();
  FileName = path;
  KindMarker = 0;
  RecordCount = 0;
  File.Close();
  const bool opened = File.Open(path) == 1;
  if (opened && File.Size >= HeaderSize) {
    KindMarker = File.ReadInt(0, 0);
    RecordCount = File.ReadInt(0, 4);
  }
  TProgress& progress = Progress();
  progress.Show();
  progress.SetCaption("Reading Objects");
  if (!opened)
    return "The file could not be opened, so no vehicles could be read from it.";
  if (File.Size < HeaderSize)
    return "The file is too short to be a vehicles file, so no vehicles could be read from it.";
  return ReadRecords();
}

std::string TVehiclesFile::ReadRecords()
{
  if (RecordCount < 0)
    return "The file is damaged: its header gives a negative number of vehicles (" + IntToStr(RecordCount) +
           "), so no vehicles could be read from it.";

  // A count beyond what the file can hold must not reserve memory for it.
  const int64_t fileSize = File.Size;
  const int64_t mostRecords = (fileSize - HeaderSize) / (MinRecordLength + 4);
  Records.reserve(static_cast<size_t>(std::min<int64_t>(RecordCount, mostRecords)));
  RecordBases.reserve(Records.capacity());

  TProgress& progress = Progress();
  int64_t base = HeaderSize;
  std::string problem;
  for (int32_t index = 0; index < RecordCount; ++index) {
    if (base + 4 > fileSize) {
      problem = "it ends before vehicle " + IntToStr(index + 1) + " begins";
      break;
    }
    const int32_t recordLength = File.ReadInt(static_cast<int32_t>(base), FieldOffsets[vfRecordLength]);
    if (recordLength < MinRecordLength) {
      problem = "vehicle " + IntToStr(index + 1) + " is too short to hold a vehicle's values";
      break;
    }
    if (base + 4 + recordLength > fileSize) {
      problem = "vehicle " + IntToStr(index + 1) + " reaches past the end of the file";
      break;
    }
    const int32_t b = static_cast<int32_t>(base);
    VehicleRecord record;
    record.RecordLength = recordLength;
    record.Name = File.ReadString32(b, FieldOffsets[vfName]);
    progress.SetStatus(record.Name);
    for (int entry = vfWeight; entry <= vfPushFactor2; ++entry) {
      const float value = File.ReadFloat(b, FieldOffsets[static_cast<size_t>(entry)]);
      *FloatField(record, entry) = value;
      record.FloatBits[static_cast<size_t>(entry)] = BitsOf(value);
    }
    record.FWD = File.ReadByte(b, FieldOffsets[vfFWD]);
    record.RWD = File.ReadByte(b, FieldOffsets[vfRWD]);
    record.Roof = File.ReadByte(b, FieldOffsets[vfRoof]);
    for (int entry : {vfCenterOfGravity, vfRearWheelSlip}) {
      const float value = File.ReadFloat(b, FieldOffsets[static_cast<size_t>(entry)]);
      *FloatField(record, entry) = value;
      record.FloatBits[static_cast<size_t>(entry)] = BitsOf(value);
    }
    record.FourWheelTurning = File.ReadShort(b, FieldOffsets[vfFourWheelTurning]);
    Records.push_back(std::move(record));
    RecordBases.push_back(b);
    base += int64_t(recordLength) + 4;
  }
  if (problem.empty())
    return std::string();
  const int32_t loaded = Count();
  std::string text = "The file is damaged: " + problem + ". It announces " + Plural(RecordCount, "vehicle", "vehicles");
  if (loaded == 0)
    text += ", but none of them lies wholly inside the file, so none was loaded.";
  else
    text += ", but only the first " + IntToStr(loaded) + (loaded == 1 ? " lies" : " lie") +
            " wholly inside the file. Only " + (loaded == 1 ? "that one was" : "those were") +
            " loaded, and the rest of the file will not be changed.";
  return text;
}

bool TVehiclesFile::ApplyValue(int index, const std::string& caption, const std::string& entry,
                               const TCheckBoxStates& boxes)
{
  const VehicleRecord* given = RecordAt(index);
  if (!given)
    return false;
  const std::string name = given->Name;
  const TVehicleRow* row = FindVehicleRow(caption);
  const bool floatRow = row && (row->Form == TRowForm::Whole || row->Form == TRowForm::G7);

  // The entry is parsed once, before the first store, so a conversion error changes no record.
  auto changeText = [&](const VehicleRecord& r) {
    const float value = *FloatField(r, row->Entry);
    return row->Form == TRowForm::G7 ? FormatG7(value) : FormatG15(value);
  };
  float parsed = 0;
  if (floatRow) {
    const bool needed = std::any_of(Records.begin(), Records.end(),
                                    [&](const VehicleRecord& r) { return r.Name == name && changeText(r) != entry; });
    if (needed)
      parsed = row->Entry == vfWeight ? static_cast<float>(StrToInt(entry)) : StrToFloat32(entry);
  }

  bool changed = false;
  for (VehicleRecord& r : Records) {
    if (r.Name != name)
      continue;
    if (floatRow && changeText(r) != entry) {
      *FloatField(r, row->Entry) = parsed;
      r.FloatBits[static_cast<size_t>(row->Entry)] = BitsOf(parsed);
      changed = true;
    }
    auto store = [&](auto& field, auto value) {
      if (field != value) {
        field = value;
        changed = true;
      }
    };
    store(r.RWD, static_cast<uint8_t>(boxes.RWD ? 1 : 0));
    store(r.FWD, static_cast<uint8_t>(boxes.FWD ? 1 : 0));
    store(r.Roof, static_cast<uint8_t>(boxes.Roof ? 1 : 0));
    store(r.FourWheelTurning, boxes.FourWheelTurning ? FourWheelTurningOn : FourWheelTurningOff);
  }
  return changed;
}

bool TVehiclesFile::WriteFloatField(const VehicleRecord& record, int32_t base, int entry)
{
  const float value = *FloatField(record, entry);
  const int32_t offset = FieldOffsets[static_cast<size_t>(entry)];
  // A value that is no finite number goes back as the bytes it was read as.
  if (!std::isfinite(value))
    return File.WriteFloatBits(base, offset, record.FloatBits[static_cast<size_t>(entry)]) == 1;
  return File.WriteFloat(base, offset, value) == 1;
}

bool TVehiclesFile::Save()
{
  TProgress& progress = Progress();
  progress.Show();
  progress.SetCaption("Saving Vehicle Objects");
  bool ok = true;
  for (size_t i = 0; ok && i < Records.size(); ++i) {
    const VehicleRecord& r = Records[i];
    const int32_t base = RecordBases[i];
    progress.SetStatus(r.Name);
    for (int entry : SaveFloatOrder)
      if (!(ok = WriteFloatField(r, base, entry)))
        break;
    ok = ok && File.WriteByte(base, FieldOffsets[vfRWD], r.RWD) == 1;
    ok = ok && File.WriteByte(base, FieldOffsets[vfFWD], r.FWD) == 1;
    ok = ok && File.WriteByte(base, FieldOffsets[vfRoof], r.Roof) == 1;
    ok = ok && File.WriteShort(base, FieldOffsets[vfFourWheelTurning], r.FourWheelTurning) == 1;
  }
  progress.Hide();
  return ok;
}

std::string TVehiclesFile::CopyProblem(int source, int destination) const
{
  if (source < 0 || source >= Count() || destination < 0 || destination >= Count())
    return "The vehicle record cannot be copied: the vehicle is not in the file.";
  for (int index : {source, destination}) {
    const VehicleRecord& r = Records[static_cast<size_t>(index)];
    if (int64_t(r.RecordLength) + 4 < CopyStart + CopyLength)
      return "The vehicle record cannot be copied: the record of " + r.Name + " is only " +
             IntToStr(int64_t(r.RecordLength) + 4) + " bytes long, shorter than the " +
             IntToStr(CopyStart + CopyLength) + " bytes a copy needs. Nothing was changed.";
  }
  return std::string();
}

std::string TVehiclesFile::CopyRecordData(int source, int destination)
{
  const std::string problem = CopyProblem(source, destination);
  if (!problem.empty())
    return problem;
  const int64_t from = int64_t(RecordBases[static_cast<size_t>(source)]) + CopyStart;
  const int64_t to = int64_t(RecordBases[static_cast<size_t>(destination)]) + CopyStart;
  const std::filesystem::path path = std::filesystem::u8path(FileName);

  std::string buffer(static_cast<size_t>(CopyLength), '\0');
  TProgress& progress = Progress();
  progress.Show();
  progress.SetCaption("Copying Vehicle Object");
  std::string result;
  bool complete = false;
  {
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (in.is_open()) {
      in.seekg(static_cast<std::streamoff>(from), std::ios::beg);
      in.read(buffer.data(), CopyLength);
      complete = in.gcount() == CopyLength;
      progress.SetStatus("Copying");
    }
  }
  if (!complete) {
    result = "The vehicle record could not be copied: the source record could not be read in full from the file. "
             "Nothing was written.";
  } else {
    std::fstream out(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!out.is_open()) {
      result = "The vehicle record could not be copied: the file could not be opened for writing. Nothing was written.";
    } else {
      progress.SetStatus("Copying");
      out.seekp(0, std::ios::end);
      const std::streamoff length = out.tellp();
      if (length < 0 || to + CopyLength > length) {
        result = "The vehicle record could not be copied: the destination record no longer lies wholly inside the "
                 "file. Nothing was written.";
      } else {
        out.seekp(static_cast<std::streamoff>(to), std::ios::beg);
        out.write(buffer.data(), CopyLength);
        out.flush();
        const bool written = out.good();
        out.close();
        if (!written || out.fail())
          result = "The vehicle record could not be copied: writing to the file failed.";
      }
    }
  }
  progress.Hide();
  return result;
}
