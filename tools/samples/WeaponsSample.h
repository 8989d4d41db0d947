#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Builds predmety.def records and files from field values, writing each field at its
// byte offset inside the 188-byte record. The demo file and the tests' fixtures use it.
namespace Samples {

struct TWeaponFields {
  std::string Name;        // 36-byte field; longer texts are cut, 36 characters leave no zero byte
  std::string Object;      // 16-byte field, likewise
  std::string ObjectTail;  // bytes of the Object field after its zero byte (zeros when empty)
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

constexpr int WeaponRecordSize = 188;
constexpr int WeaponRecordCount = 35;

// One record. The slots the editor does not interpret get bytes derived from `seed`,
// so that a write landing in the wrong place shows.
std::string WeaponRecordBytes(const TWeaponFields& fields, int seed);
// The records one after another, from offset 0.
std::string WeaponsFileBytes(const std::vector<TWeaponFields>& records);
// The 35 invented weapons of the demo file.
std::vector<TWeaponFields> WeaponsDemoRecords();

}  // namespace Samples
