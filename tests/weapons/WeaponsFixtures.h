#pragma once
// Fixtures shared by the weapons tests: the demo records and files built from them.
#include "tests/support/TestSupport.h"
#include "tools/samples/WeaponsSample.h"
#include "weapons/WeaponsFile.h"

#include <QString>
#include <QVariant>

#include <string>
#include <vector>

namespace WeaponsFixtures {

// Demo record indexes used by the tests.
constexpr int HeavyRevolver = 2;  // Range 35.5, SoundType 68 "Magnum", HoldingType 1
constexpr int BoltRifle = 7;      // shares its name with SharedBoltRifle
constexpr int SharedBoltRifle = 20;
constexpr int Unnamed = 19;       // empty name
constexpr int SignalPistol = 21;  // SoundType 64, which has no name
constexpr int HuntingRifle = 22;  // HoldingType 8, which has no name
constexpr int Envelope = 34;      // 36-character name, 16-character object

inline std::vector<Samples::TWeaponFields> DemoRecords() { return Samples::WeaponsDemoRecords(); }
inline std::string DemoFile() { return Samples::WeaponsFileBytes(DemoRecords()); }

// The value of a record's field by its row label, as a QVariant (text or number).
inline QVariant FieldOf(const WeaponRecord& r, const QString& label)
{
  if (label == "Object") return QString::fromLatin1(r.Object.c_str());
  if (label == "RoundsPerClip") return r.RoundsPerClip;
  if (label == "TotalRounds") return r.TotalRounds;
  if (label == "Range") return double(r.Range);
  if (label == "Damage") return double(r.Damage);
  if (label == "BurstRateMS") return r.BurstRateMS;
  if (label == "ReloadRateMS") return r.ReloadRateMS;
  if (label == "RecoilStyle") return r.RecoilStyle;
  if (label == "SoundType") return r.SoundType;
  if (label == "HoldingType") return r.HoldingType;
  return QVariant();
}

// File offsets of the bytes in which two files differ.
inline std::vector<size_t> DifferingBytes(const std::string& a, const std::string& b)
{
  std::vector<size_t> out;
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    if (a[i] != b[i])
      out.push_back(i);
  return out;
}

}  // namespace WeaponsFixtures
