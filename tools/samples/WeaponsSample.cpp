#include "tools/samples/WeaponsSample.h"

#include "tools/samples/Samples.h"

#include <cstring>

namespace Samples {

namespace {

void PutText(std::string& record, size_t offset, size_t width, const std::string& text, const std::string& tail)
{
  const std::string cut = text.substr(0, width);
  record.replace(offset, cut.size(), cut);
  if (cut.size() < width) {
    record[offset + cut.size()] = '\0';
    const size_t room = width - cut.size() - 1;
    record.replace(offset + cut.size() + 1, std::min(room, tail.size()), tail.substr(0, room));
  }
}

void PutInt32(std::string& record, size_t offset, int32_t value)
{
  for (int i = 0; i < 4; ++i)
    record[offset + i] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

void PutFloat32(std::string& record, size_t offset, float value)
{
  int32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  PutInt32(record, offset, bits);
}

}  // namespace

std::string WeaponRecordBytes(const TWeaponFields& f, int seed)
{
  std::string record(WeaponRecordSize, '\0');
  // Uninterpreted 4-byte slots: 52-79, 88-91, 104-115, 124-143, 148-151, 156-187.
  const struct {
    size_t from, to;
  } slots[] = {{52, 80}, {88, 92}, {104, 116}, {124, 144}, {148, 152}, {156, 188}};
  for (const auto& s : slots)
    for (size_t i = s.from; i < s.to; ++i)
      record[i] = static_cast<char>((seed * 31 + static_cast<int>(i) * 7 + 1) & 0xFF);

  PutText(record, 0, 36, f.Name, std::string());
  PutText(record, 36, 16, f.Object, f.ObjectTail);
  PutInt32(record, 80, f.RecoilStyle);
  PutInt32(record, 84, f.SoundType);
  PutInt32(record, 92, f.HoldingType);
  PutInt32(record, 96, f.RoundsPerClip);
  PutInt32(record, 100, f.TotalRounds);
  PutFloat32(record, 116, f.Range);
  PutFloat32(record, 120, f.Damage);
  PutInt32(record, 144, f.BurstRateMS);
  PutInt32(record, 152, f.ReloadRateMS);
  return record;
}

std::string WeaponsFileBytes(const std::vector<TWeaponFields>& records)
{
  std::string file;
  for (size_t i = 0; i < records.size(); ++i)
    file += WeaponRecordBytes(records[i], static_cast<int>(i));
  return file;
}

std::vector<TWeaponFields> WeaponsDemoRecords()
{
  // Name, Object, ObjectTail, RecoilStyle, SoundType, HoldingType, RoundsPerClip, TotalRounds,
  // Range, Damage, BurstRateMS, ReloadRateMS.
  return {
      {"Pocket Revolver", "wpn_pocketrev", "", 1, 67, 1, 6, 36, 25.0f, 30.5f, 400, 2500},
      {"Service Revolver", "wpn_servrev", "", 1, 69, 1, 6, 48, 30.0f, 45.0f, 450, 2800},
      {"Heavy Revolver", "wpn_heavyrev", "", 2, 68, 1, 6, 36, 35.5f, 70.0f, 600, 3000},
      {"Automatic Pistol", "wpn_autopist", "", 1, 70, 1, 7, 56, 32.0f, 50.0f, 300, 2000},
      {"Submachine Gun", "wpn_smg_drum", "", 3, 71, 3, 50, 200, 40.0f, 35.0f, 90, 3500},
      {"Trench Gun", "wpn_trenchgun", "", 4, 72, 3, 6, 30, 20.0f, 120.0f, 900, 4200},
      {"Sawn-off Shotgun", "wpn_sawnoff", "", 4, 73, 1, 2, 20, 12.5f, 140.0f, 500, 2600},
      {"Bolt Rifle", "wpn_boltrifle", "", 2, 74, 2, 5, 40, 120.0f, 150.0f, 1200, 4500},
      {"Scout Rifle", "wpn_scoutrifle", "", 2, 189, 2, 5, 30, 150.0f, 160.0f, 1300, 4800},
      {"Baseball Bat", "wpn_bat", "old_bat", 0, 66, 7, 0, 0, 2.0f, 40.0f, 700, 0},
      {"Crowbar", "wpn_crowbar", "", 0, 65, 7, 0, 0, 2.0f, 45.0f, 750, 0},
      {"Switchblade", "wpn_knife", "x1", 0, 65, 6, 0, 0, 1.5f, 35.0f, 450, 0},
      {"Brass Knuckles", "wpn_knuckles", "", 0, 63, 5, 0, 0, 1.0f, 25.0f, 350, 0},
      {"Bottle", "wpn_bottle", "", 0, 63, 7, 0, 0, 1.5f, 20.0f, 600, 0},
      {"Hand Grenade", "wpn_grenade", "", 0, 0, 4, 1, 3, 25.0f, 300.0f, 0, 1500},
      {"Fire Bottle", "wpn_firebottle", "", 0, 0, 4, 1, 2, 20.0f, 200.0f, 0, 1500},
      {"Lockpick", "itm_lockpick", "", 0, 0, 0, 0, 0, 0.0f, 0.0f, 0, 0},
      {"Car Key", "itm_carkey", "", 0, 0, 0, 0, 0, 0.0f, 0.0f, 0, 0},
      {"Flashlight", "itm_flashlight", "", 0, 0, 6, 0, 0, 0.0f, 0.0f, 0, 0},
      {"", "itm_unused", "", 0, 0, 0, 0, 0, 0.0f, 0.0f, 0, 0},
      {"Bolt Rifle", "wpn_boltrifle2", "", 2, 74, 2, 5, 40, 120.0f, 150.0f, 1200, 4500},
      {"Signal Pistol", "wpn_flaregun", "", 1, 64, 1, 1, 6, 60.0f, 10.0f, 1000, 3000},
      {"Hunting Rifle", "wpn_hunting", "", 2, 74, 8, 3, 24, 110.0f, 140.0f, 1100, 4000},
      {"Coach Gun", "wpn_coachgun", "", 4, 73, 3, 2, 24, 15.0f, 130.0f, 400, 3000},
      {"Machine Pistol", "wpn_machpist", "", 3, 70, 1, 20, 100, 28.0f, 30.0f, 60, 2400},
      {"Derringer", "wpn_derringer", "", 1, 67, 1, 2, 20, 10.0f, 40.0f, 350, 2200},
      {"Target Pistol", "wpn_targetpist", "", 1, 70, 1, 10, 60, 45.0f, 35.0f, 500, 2100},
      {"Police Carbine", "wpn_carbine", "", 2, 74, 3, 15, 90, 90.0f, 80.0f, 250, 3200},
      {"Drum Gun", "wpn_drumgun", "", 3, 71, 3, 100, 300, 38.0f, 33.0f, 85, 5000},
      {"Pipe Wrench", "wpn_wrench", "", 0, 65, 7, 0, 0, 2.0f, 42.0f, 800, 0},
      {"Hatchet", "wpn_hatchet", "", 0, 65, 7, 0, 0, 1.8f, 55.0f, 850, 0},
      {"Dynamite", "wpn_dynamite", "", 0, 0, 4, 1, 2, 18.0f, 400.0f, 0, 2000},
      {"Wallet", "itm_wallet", "", 0, 0, 0, 0, 0, 0.0f, 0.0f, 0, 0},
      {"Money Case", "itm_moneycase", "", 0, 0, 0, 0, 0, 0.0f, 0.0f, 0, 0},
      {"Sealed Envelope With Secret Papers!!", "itm_documents_16", "", 0, 0, 0, 0, 0, 0.0f, 0.0f, 0, 0},
  };
}

std::string WeaponsDemo() { return WeaponsFileBytes(WeaponsDemoRecords()); }

}  // namespace Samples
