#include "weapons/WeaponsFile.h"

#include "binfile/Convert.h"
#include "binfile/Progress.h"

#include <charconv>
#include <cmath>
#include <cstring>

const std::array<TValueName, 13> SoundTypeTable = {{
    {0, "None"},
    {63, "Knuckleduster/Bottle"},
    {65, "Knife/Crowbar"},
    {66, "Bat"},
    {67, "Colt Detective"},
    {68, "Magnum"},
    {69, "M&P"},
    {70, "Colt 1911"},
    {71, "Thompson"},
    {72, "Pump shotgun"},
    {73, "Saw off shotgun"},
    {74, "M1903 Springfield"},
    {189, "Mosin-Nagant Rifle"},
}};

const std::array<TValueName, 8> HoldingTypeTable = {{
    {0, "Item"},
    {1, "Handgun"},
    {2, "Sniper"},
    {3, "Rifle"},
    {4, "Throwing"},
    {5, "Over Fist"},
    {6, "In Hand"},
    {7, "Swing"},
}};

const std::array<const char*, 10> TWeaponsFile::RowLabels = {
    "Object",       "RoundsPerClip", "TotalRounds", "Range",     "Damage",
    "BurstRateMS", "ReloadRateMS",  "RecoilStyle", "SoundType", "HoldingType",
};

namespace {

template <size_t N>
std::optional<std::string> NameOf(const std::array<TValueName, N>& table, int32_t value)
{
  for (const TValueName& pair : table)
    if (pair.Value == value)
      return std::string(pair.Name);
  return std::nullopt;
}

template <size_t N>
int32_t ValueOf(const std::array<TValueName, N>& table, const std::string& name)
{
  for (const TValueName& pair : table)
    if (name == pair.Name)
      return pair.Value;
  return -1;
}

// A table value's shown text: its name, or its decimal number when it has none.
template <size_t N>
std::string ValueText(const std::array<TValueName, N>& table, int32_t value)
{
  std::optional<std::string> name = NameOf(table, value);
  return name ? *name : IntToStr(value);
}

// The value a drop-down text stands for. The text shown for an unnamed value is its
// decimal number; confirming that text keeps the value instead of turning it into -1.
template <size_t N>
int32_t PickedValue(const std::array<TValueName, N>& table, const std::string& text, int32_t shown)
{
  const int32_t value = ValueOf(table, text);
  if (value == -1 && text == IntToStr(shown))
    return shown;
  return value;
}

// An int32 field's number from an entry: read as a decimal number, truncated toward zero.
int32_t IntegerFromText(const std::string& text)
{
  const double value = std::trunc(StrToFloat(text));
  if (!(value >= -2147483648.0 && value <= 2147483647.0))
    throw EConvertError("'" + text + "' is not a valid integer value");
  return static_cast<int32_t>(value);
}

float FloatFromBits(int32_t bits)
{
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

uint32_t BitsOfFloat(float value)
{
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace

std::optional<std::string> SoundTypeName(int32_t value) { return NameOf(SoundTypeTable, value); }
std::optional<std::string> HoldingTypeName(int32_t value) { return NameOf(HoldingTypeTable, value); }
int32_t SoundTypeValue(const std::string& name) { return ValueOf(SoundTypeTable, name); }
int32_t HoldingTypeValue(const std::string& name) { return ValueOf(HoldingTypeTable, name); }

std::string IntegerPartText(float value)
{
  if (!std::isfinite(value))
    return FormatGeneral(value, 15, 0);
  const double whole = std::trunc(static_cast<double>(value));
  if (whole == 0)
    return "0";  // no "-0" for small negative values
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, whole, std::chars_format::fixed, 0);
  return std::string(buffer, result.ptr);
}

std::string GeneralText(float value) { return FormatGeneral(static_cast<double>(value), 15, 0); }

TWeaponsFile::TWeaponsFile()
{
  FieldOffsets.resize(36);
  FieldOffsets[0] = 0;
  FieldOffsets[1] = 36;
  for (int k = 2; k < 36; ++k)
    FieldOffsets[k] = 52 + 4 * (k - 2);
}

int TWeaponsFile::Open(const std::string& path)
{
  const int result = File.Open(path);
  opened_ = result == 1;
  fileSize_ = opened_ ? File.Size : 0;
  return result;
}

void TWeaponsFile::ReadRecords()
{
  Records.assign(static_cast<size_t>(RecordCount), WeaponRecord());
  RecordBases.assign(static_cast<size_t>(RecordCount), 0);
  loadedCount_ = 0;
  const int32_t inside = opened_ ? fileSize_ / RecordSize : 0;
  for (int32_t i = 0; i < RecordCount; ++i) {
    const int32_t base = RecordSize * i;
    RecordBases[i] = base;
    if (i >= inside)
      continue;  // not wholly inside the file: never read, stays empty
    WeaponRecord& r = Records[i];
    r.Name = File.ReadString36(base, FieldOffsets[NameEntry]);
    Progress().SetStatus(r.Name);
    r.Object = File.ReadString16(base, FieldOffsets[ObjectEntry]);
    r.RecoilStyle = File.ReadInt(base, FieldOffsets[RecoilStyleEntry]);
    r.SoundType = File.ReadInt(base, FieldOffsets[SoundTypeEntry]);
    r.HoldingType = File.ReadInt(base, FieldOffsets[HoldingTypeEntry]);
    r.RoundsPerClip = File.ReadInt(base, FieldOffsets[RoundsPerClipEntry]);
    r.TotalRounds = File.ReadInt(base, FieldOffsets[TotalRoundsEntry]);
    // Floats are taken by their bit pattern so that saving writes back exactly what was read.
    r.Range = FloatFromBits(File.ReadInt(base, FieldOffsets[RangeEntry]));
    r.Damage = FloatFromBits(File.ReadInt(base, FieldOffsets[DamageEntry]));
    r.BurstRateMS = File.ReadInt(base, FieldOffsets[BurstRateMSEntry]);
    r.ReloadRateMS = File.ReadInt(base, FieldOffsets[ReloadRateMSEntry]);
    loadedCount_ = i + 1;
  }
}

std::string TWeaponsFile::LoadWarning() const
{
  if (!opened_)
    return "The file could not be opened, so no weapons are listed.";
  if (loadedCount_ < RecordCount)
    return "The file is shorter than a complete weapons file (" + IntToStr(fileSize_) + " of " +
           IntToStr(FullFileSize) + " bytes). Only the " + IntToStr(loadedCount_) +
           " records it holds completely are listed, and only they will be saved.";
  return std::string();
}

void TWeaponsFile::Close() { File.Close(); }

WeaponRecord* TWeaponsFile::RecordAt(int index)
{
  if (index < 0 || index >= loadedCount_ || index >= static_cast<int>(Records.size()))
    return nullptr;
  return &Records[static_cast<size_t>(index)];
}

bool TWeaponsFile::AcceptsInput(const std::string& label, const std::string& text)
{
  return label == "Object" || (!text.empty() && TBinaryFile::IsNumericText(text));
}

// Each row tests for a change against the field's own text before it converts anything:
// "Object" against the text itself, the int32 rows against the decimal text (the entry is
// read as a number and truncated toward zero), "Range" and "Damage" against the general
// text (read as float32), the drop-down rows against the value the text names.
bool TWeaponsFile::ApplyValue(WeaponRecord& record, const std::string& label, const std::string& text)
{
  const std::string key = record.Name;
  // Drop-down texts are resolved against the record shown, before any record changes.
  const int32_t soundType = PickedValue(SoundTypeTable, text, record.SoundType);
  const int32_t holdingType = PickedValue(HoldingTypeTable, text, record.HoldingType);
  const std::string object = text.substr(0, 16);

  int32_t WeaponRecord::*intField = nullptr;
  float WeaponRecord::*floatField = nullptr;
  if (label == "RecoilStyle")
    intField = &WeaponRecord::RecoilStyle;
  else if (label == "RoundsPerClip")
    intField = &WeaponRecord::RoundsPerClip;
  else if (label == "TotalRounds")
    intField = &WeaponRecord::TotalRounds;
  else if (label == "BurstRateMS")
    intField = &WeaponRecord::BurstRateMS;
  else if (label == "ReloadRateMS")
    intField = &WeaponRecord::ReloadRateMS;
  else if (label == "Range")
    floatField = &WeaponRecord::Range;
  else if (label == "Damage")
    floatField = &WeaponRecord::Damage;

  bool changed = false;
  for (int32_t i = 0; i < loadedCount_; ++i) {
    WeaponRecord& r = Records[static_cast<size_t>(i)];
    if (r.Name != key)
      continue;
    if (label == "Object") {
      if (object != r.Object) {
        r.Object = object;
        changed = true;
      }
    } else if (intField) {
      if (text != IntToStr(r.*intField)) {
        r.*intField = IntegerFromText(text);
        changed = true;
      }
    } else if (floatField) {
      if (text != GeneralText(r.*floatField)) {
        r.*floatField = StrToFloat32(text);
        changed = true;
      }
    } else if (label == "SoundType") {
      if (soundType != r.SoundType) {
        r.SoundType = soundType;
        changed = true;
      }
    } else if (label == "HoldingType") {
      if (holdingType != r.HoldingType) {
        r.HoldingType = holdingType;
        changed = true;
      }
    }
  }
  return changed;
}

std::string TWeaponsFile::RowText(const WeaponRecord& record, int row)
{
  switch (row) {
    case 0: return record.Object;
    case 1: return IntToStr(record.RoundsPerClip);
    case 2: return IntToStr(record.TotalRounds);
    case 3: return IntegerPartText(record.Range);
    case 4: return IntegerPartText(record.Damage);
    case 5: return IntToStr(record.BurstRateMS);
    case 6: return IntToStr(record.ReloadRateMS);
    case 7: return IntToStr(record.RecoilStyle);
    case 8: return ValueText(SoundTypeTable, record.SoundType);
    case 9: return ValueText(HoldingTypeTable, record.HoldingType);
    default: return std::string();
  }
}

bool TWeaponsFile::SaveRecords()
{
  TProgress& progress = Progress();
  progress.Show();
  progress.SetCaption("Saving Weapon Objects");
  bool ok = true;
  for (int32_t i = 0; i < loadedCount_; ++i) {
    const WeaponRecord& r = Records[static_cast<size_t>(i)];
    const int32_t base = RecordBases[static_cast<size_t>(i)];
    progress.SetStatus(r.Name);
    // Every write is attempted, so one failure does not leave the other fields unsaved.
    const int results[] = {
        File.WriteString16(base, FieldOffsets[ObjectEntry], r.Object),
        File.WriteInt(base, FieldOffsets[RecoilStyleEntry], r.RecoilStyle),
        File.WriteInt(base, FieldOffsets[SoundTypeEntry], r.SoundType),
        File.WriteInt(base, FieldOffsets[HoldingTypeEntry], r.HoldingType),
        File.WriteInt(base, FieldOffsets[RoundsPerClipEntry], r.RoundsPerClip),
        File.WriteInt(base, FieldOffsets[TotalRoundsEntry], r.TotalRounds),
        File.WriteFloatBits(base, FieldOffsets[RangeEntry], BitsOfFloat(r.Range)),
        File.WriteFloatBits(base, FieldOffsets[DamageEntry], BitsOfFloat(r.Damage)),
        File.WriteInt(base, FieldOffsets[BurstRateMSEntry], r.BurstRateMS),
        File.WriteInt(base, FieldOffsets[ReloadRateMSEntry], r.ReloadRateMS),
    };
    for (int result : results)
      ok = ok && result == 1;
  }
  progress.Hide();
  return ok;
}
