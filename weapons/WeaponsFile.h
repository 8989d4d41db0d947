#pragma once
#include "binfile/Binaryfile.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One weapon definition of predmety.def as held in memory: the ten values the editor
// shows and changes, and the name that identifies it in the record tree.
struct WeaponRecord {
  std::string Name;    // at most 36 characters
  std::string Object;  // at most 16 characters
  int32_t RecoilStyle = 0;
  int32_t SoundType = 0;
  int32_t HoldingType = 0;
  int32_t RoundsPerClip = 0;
  int32_t TotalRounds = 0;
  float Range = 0;
  float Damage = 0;
  int32_t BurstRateMS = 0;
  int32_t ReloadRateMS = 0;
};

// A named value of the SoundType or HoldingType field.
struct TValueName {
  int32_t Value;
  const char* Name;
};

extern const std::array<TValueName, 13> SoundTypeTable;
extern const std::array<TValueName, 8> HoldingTypeTable;

// The name of a value, or none when the table does not list it.
std::optional<std::string> SoundTypeName(int32_t value);
std::optional<std::string> HoldingTypeName(int32_t value);
// The value of the first pair whose name equals `name` exactly, or -1.
int32_t SoundTypeValue(const std::string& name);
int32_t HoldingTypeValue(const std::string& name);

// The weapons definition file predmety.def: 35 records of 188 bytes from offset 0, no
// header. Reads the records, applies the editor's value rules to them and writes the ten
// editable fields of each record back in place. Only records that lie wholly inside the
// file are read, edited or written; every other byte of the file is left alone.
class TWeaponsFile {
public:
  static constexpr int32_t RecordSize = 188;
  static constexpr int32_t FullRecordCount = 35;
  static constexpr int32_t FullFileSize = RecordSize * FullRecordCount;  // 6580

  // Entries of FieldOffsets for the fields in use.
  enum FieldEntry {
    NameEntry = 0,
    ObjectEntry = 1,
    RecoilStyleEntry = 9,
    SoundTypeEntry = 10,
    HoldingTypeEntry = 12,
    RoundsPerClipEntry = 13,
    TotalRoundsEntry = 14,
    RangeEntry = 18,
    DamageEntry = 19,
    BurstRateMSEntry = 25,
    ReloadRateMSEntry = 27,
  };

  // The grid's row labels, by row.
  static const std::array<const char*, 10> RowLabels;

  TWeaponsFile();

  const int32_t RecordCount = FullRecordCount;
  std::vector<int32_t> FieldOffsets;  // 36 record-relative offsets: 0, 36, then 52 + 4 * (k - 2)
  std::vector<int32_t> RecordBases;   // file offset of each record: 188 * index
  std::vector<WeaponRecord> Records;  // in file order
  TBinaryFile File;

  // Opens the file for reading (the result of TBinaryFile::Open).
  int Open(const std::string& path);
  // Reads every record that lies wholly inside the open file; the others stay empty.
  // Reports each record's name as the progress status.
  void ReadRecords();
  // Records read from the file (those lying wholly inside it), counted from index 0.
  int32_t LoadedCount() const { return loadedCount_; }
  // What the user should be told after loading, in plain words; empty when the file
  // was opened and holds all 35 records.
  std::string LoadWarning() const;
  void Close();

  // The record at `index` if it was read from the file, else null.
  WeaponRecord* RecordAt(int index);

  // Whether a number editor entry may be applied to the row `label`: anything for
  // "Object", otherwise a non-empty text of digits and points.
  static bool AcceptsInput(const std::string& label, const std::string& text);
  // Writes `text` into the field of row `label` of every read record named exactly like
  // `record`, wherever the field's text differs from it.
  // True when any record changed. Throws EConvertError, changing nothing, when a number
  // cannot be read from the text.
  bool ApplyValue(WeaponRecord& record, const std::string& label, const std::string& text);

  // The "Data" text of a grid row for a record.
  static std::string RowText(const WeaponRecord& record, int row);

  // Writes the ten editable fields of every read record, each as its own in-place write,
  // with the progress pop-up showing. True when every write succeeded.
  bool SaveRecords();

private:
  int32_t loadedCount_ = 0;
  bool opened_ = false;
  int32_t fileSize_ = 0;
};

// Texts of a float32: the decimal text of its integer part (truncated toward zero), and
// its general text with up to 15 significant digits.
std::string IntegerPartText(float value);
std::string GeneralText(float value);
