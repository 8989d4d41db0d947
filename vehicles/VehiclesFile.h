#pragma once
#include "binfile/Binaryfile.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One vehicle of vehicles.bin as held in memory: the values the editor shows and writes.
// Byte and 16-bit fields keep the raw file value until the user changes the record.
struct VehicleRecord {
  int32_t RecordLength = 0;
  std::string Name;  // at most 32 characters
  float Weight = 0, MaxSpeedKMH = 0, GearSpeedFactor = 0, RedLineRPM = 0, MaxRPM = 0, IdleRPM = 0, MaxPower = 0,
        PowerBandKwHi = 0, PowerBandKwLo = 0, PowerBandRPMHi = 0, PowerBandRPMLo = 0, HitPoints = 0, GearFactor = 0,
        DownForceFront = 0, DownForceRear = 0, PowerBandPeakRPM = 0, Gears = 0, ShiftDelayTicks = 0,
        SpeedModifier = 0, FirstGearLength = 0, SecondGearLength = 0, ThirdGearLength = 0, FourthGearLength = 0,
        PushFactor1 = 0, PushFactor2 = 0;
  uint8_t FWD = 0, RWD = 0, Roof = 0;
  float CenterOfGravity = 0, RearWheelSlip = 0;
  uint16_t FourWheelTurning = 0;

  // The four bytes each float field had in the file, by field table entry; a value that is
  // not a finite number is written back from here unchanged.
  std::array<uint32_t, 33> FloatBits{};
};

// Entries of the field offset table.
enum TVehicleField : int {
  vfRecordLength, vfName, vfWeight, vfMaxSpeedKMH, vfGearSpeedFactor, vfRedLineRPM, vfMaxRPM, vfIdleRPM,
  vfMaxPower, vfPowerBandKwHi, vfPowerBandKwLo, vfPowerBandRPMHi, vfPowerBandRPMLo, vfHitPoints, vfGearFactor,
  vfDownForceFront, vfDownForceRear, vfPowerBandPeakRPM, vfGears, vfShiftDelayTicks, vfSpeedModifier,
  vfFirstGearLength, vfSecondGearLength, vfThirdGearLength, vfFourthGearLength, vfPushFactor1, vfPushFactor2,
  vfRWD, vfFWD, vfRoof, vfCenterOfGravity, vfRearWheelSlip, vfFourWheelTurning,
  vfFieldCount
};

// The record-relative offsets of the fields, one per entry of TVehicleField.
using TFieldOffsets = std::array<int32_t, vfFieldCount>;
TFieldOffsets MakeFieldOffsets();

// The float field at a field table entry (Weight .. PushFactor2, CenterOfGravity, RearWheelSlip), or null.
float* FloatField(VehicleRecord& record, int entry);
const float* FloatField(const VehicleRecord& record, int entry);

// A stock vehicle: the name the editor lists it under and the model name the file stores.
struct TVehicleName {
  const char* DisplayName;
  const char* ModelName;
};
extern const std::array<TVehicleName, 84> VehicleNames;

// The tree text of a record: "<display name> (<model name>)" for a stock model name
// (exact, case-sensitive, first match), else the model name unchanged.
std::string VehicleDisplayName(const std::string& modelName);

// How a grid row shows its field and tests an entry for a change.
enum class TRowForm {
  Text,      // the name; the row changes nothing
  Whole,     // shown truncated toward zero, change test G15
  G7,        // shown and change-tested in G7
  CheckBox,  // a check box
};

// One of the 32 fixed rows of the vehicles grid.
struct TVehicleRow {
  const char* Caption;  // also the name of the field it shows
  TRowForm Form;
  int Entry;  // field table entry
};
constexpr int VehicleRowCount = 32;
extern const std::array<TVehicleRow, VehicleRowCount> VehicleRows;
// The row whose caption is `caption` (exact, case-sensitive), or null.
const TVehicleRow* FindVehicleRow(const std::string& caption);

// Value texts of the grid. "." is the decimal point.
std::string FormatWhole(float value);   // truncated toward zero
std::string FormatG7(float value);      // 7 significant digits, at least 4 exponent digits
std::string FormatG15(float value);     // 15 significant digits
// The "Data" text of a row (empty for check box rows).
std::string RowText(const VehicleRecord& record, const TVehicleRow& row);

// The states of the grid's four check boxes, copied into a record by every accepted change.
struct TCheckBoxStates {
  bool RWD = false;
  bool FWD = false;
  bool FourWheelTurning = false;
  bool Roof = false;
};
// The states a record's fields show: RWD, FWD and Roof checked when 1, FourWheelTurning unless 256.
TCheckBoxStates CheckBoxStatesOf(const VehicleRecord& record);

// Values of FourWheelTurning.
constexpr uint16_t FourWheelTurningOn = 200;
constexpr uint16_t FourWheelTurningOff = 256;

// The copied part of a record: everything after the name up to 1784 bytes from its base.
constexpr int32_t CopyStart = 36;
constexpr int32_t CopyLength = 1748;

// A loaded vehicles.bin: the header, the records in file order, where each one starts,
// and the operations of the editor that read and change them. Reads only the records that
// lie wholly inside the file, and writes only inside them.
class TVehiclesFile {
public:
  TVehiclesFile();

  // Opens `path` and reads the header and every record, showing the progress pop-up
  // ("Reading Objects"), which the caller hides. Returns an empty text, or a plain-words
  // description of why not all records the header announces could be read.
  std::string Load(const std::string& path);
  // Closes the file and drops the records.
  void Close();

  int Count() const { return static_cast<int>(Records.size()); }
  // The record at `index`, or null when there is none.
  VehicleRecord* RecordAt(int index);

  // Applies an entry for the row `caption` to the record at `index` and to every record of the
  // same name, and copies the check box states into each. Returns true when anything changed.
  // Throws EConvertError when the entry must be stored but is no number (no record changes then).
  bool ApplyValue(int index, const std::string& caption, const std::string& entry, const TCheckBoxStates& boxes);

  // Writes the editable fields of every record in place, one write each, showing the progress
  // pop-up. Stops and returns false at the first write that fails.
  bool Save();

  // Why the record at `source` cannot be copied onto the one at `destination` (too short), or empty.
  std::string CopyProblem(int source, int destination) const;
  // Copies the bytes after the source record's name onto the destination record in the file.
  // Nothing is written unless the source range was read in full and the destination range lies
  // in the file. Returns empty on success, else what went wrong in plain words.
  std::string CopyRecordData(int source, int destination);

  std::string FileName;
  int32_t KindMarker = 0;
  int32_t RecordCount = 0;  // as the header gives it
  std::vector<VehicleRecord> Records;
  std::vector<int32_t> RecordBases;
  const TFieldOffsets FieldOffsets;
  TBinaryFile File;

private:
  std::string ReadRecords();
  bool WriteFloatField(const VehicleRecord& record, int32_t base, int entry);
};
