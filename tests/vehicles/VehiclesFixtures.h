#pragma once
#include "tests/support/TestSupport.h"
#include "tools/samples/VehiclesSample.h"

#include <QMetaType>

#include <cstring>
#include <string>
#include <vector>

Q_DECLARE_METATYPE(std::string)

// Small vehicles.bin fixtures for the tests, built from invented values.
namespace Fixture {

using Samples::TVehicleValues;
namespace At = Samples::VehicleAt;

// The first record starts right after the 8-byte header.
constexpr size_t FirstBase = 8;

// A record whose check box fields already hold the values the grid writes back (RWD 1,
// FWD 0, FourWheelTurning 256, Roof 1), so an accepted edit normalises nothing.
inline TVehicleValues Car(const std::string& name, uint32_t seed = 1, int32_t recordLength = 1780)
{
  TVehicleValues v;
  v.Name = name;
  v.FillerSeed = seed;
  v.RecordLength = recordLength;
  return v;
}

inline std::string File(const std::vector<TVehicleValues>& records) { return Samples::VehiclesFileBytes(records); }

// Start of record `index` in a file built from `records`.
inline size_t BaseOf(const std::vector<TVehicleValues>& records, size_t index)
{
  size_t base = FirstBase;
  for (size_t i = 0; i < index; ++i)
    base += static_cast<size_t>(records[i].RecordLength) + 4;
  return base;
}

inline void PutBits(std::string& bytes, size_t pos, uint32_t bits) { PutInt(bytes, pos, static_cast<int32_t>(bits)); }

inline uint32_t FloatBits(float value)
{
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  return bits;
}

// Positions where two byte strings of equal length differ.
inline std::vector<size_t> Differences(const std::string& a, const std::string& b)
{
  std::vector<size_t> at;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] != b[i])
      at.push_back(i);
  return at;
}

}  // namespace Fixture
