#include "tools/samples/VehiclesSample.h"

#include "tools/samples/Samples.h"

#include <cstring>

namespace Samples {

namespace {

void Put32(std::string& bytes, size_t pos, uint32_t value)
{
  if (pos + 4 > bytes.size())
    return;
  for (int i = 0; i < 4; ++i)
    bytes[pos + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutF(std::string& bytes, size_t pos, float value)
{
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  Put32(bytes, pos, bits);
}

void Put8(std::string& bytes, size_t pos, uint8_t value)
{
  if (pos < bytes.size())
    bytes[pos] = static_cast<char>(value);
}

}  // namespace

std::string VehicleRecordBytes(const TVehicleValues& v)
{
  const size_t size = static_cast<size_t>(v.RecordLength < 0 ? 4 : int64_t(v.RecordLength) + 4);
  std::string bytes(size, '\0');
  // Uninterpreted bytes: a pseudo-random pattern, different per seed.
  uint32_t state = v.FillerSeed * 2654435761u + 1;
  for (size_t i = 36; i < size; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    bytes[i] = static_cast<char>(state & 0xFF);
  }
  Put32(bytes, VehicleAt::RecordLength, static_cast<uint32_t>(v.RecordLength));
  for (size_t i = 0; i < 32 && VehicleAt::Name + i < size; ++i)
    bytes[VehicleAt::Name + i] = i < v.Name.size() ? v.Name[i] : '\0';
  using namespace VehicleAt;
  const struct {
    size_t at;
    float value;
  } floats[] = {{Weight, v.Weight},
                {MaxSpeedKMH, v.MaxSpeedKMH},
                {GearSpeedFactor, v.GearSpeedFactor},
                {RedLineRPM, v.RedLineRPM},
                {MaxRPM, v.MaxRPM},
                {IdleRPM, v.IdleRPM},
                {MaxPower, v.MaxPower},
                {PowerBandKwHi, v.PowerBandKwHi},
                {PowerBandKwLo, v.PowerBandKwLo},
                {PowerBandRPMHi, v.PowerBandRPMHi},
                {PowerBandRPMLo, v.PowerBandRPMLo},
                {HitPoints, v.HitPoints},
                {VehicleAt::GearFactor, v.GearFactor},
                {DownForceFront, v.DownForceFront},
                {DownForceRear, v.DownForceRear},
                {PowerBandPeakRPM, v.PowerBandPeakRPM},
                {Gears, v.Gears},
                {ShiftDelayTicks, v.ShiftDelayTicks},
                {SpeedModifier, v.SpeedModifier},
                {FirstGearLength, v.FirstGearLength},
                {SecondGearLength, v.SecondGearLength},
                {ThirdGearLength, v.ThirdGearLength},
                {FourthGearLength, v.FourthGearLength},
                {CenterOfGravity, v.CenterOfGravity},
                {RearWheelSlip, v.RearWheelSlip},
                {PushFactor1, v.PushFactor1},
                {PushFactor2, v.PushFactor2}};
  for (const auto& f : floats)
    PutF(bytes, f.at, f.value);
  Put8(bytes, VehicleAt::FWD, v.FWD);
  Put8(bytes, VehicleAt::RWD, v.RWD);
  Put8(bytes, VehicleAt::Roof, v.Roof);
  Put8(bytes, VehicleAt::FourWheelTurning, static_cast<uint8_t>(v.FourWheelTurning & 0xFF));
  Put8(bytes, VehicleAt::FourWheelTurning + 1, static_cast<uint8_t>(v.FourWheelTurning >> 8));
  return bytes;
}

std::string JoinVehicleRecords(const std::vector<std::string>& records, int32_t count)
{
  std::string bytes(8, '\0');
  Put32(bytes, 0, 1);
  Put32(bytes, 4, static_cast<uint32_t>(count));
  for (const std::string& record : records)
    bytes += record;
  return bytes;
}

std::string VehiclesFileBytes(const std::vector<TVehicleValues>& records)
{
  std::vector<std::string> bytes;
  for (const TVehicleValues& v : records)
    bytes.push_back(VehicleRecordBytes(v));
  return JoinVehicleRecords(bytes, static_cast<int32_t>(records.size()));
}

std::string VehiclesGenerated(int count)
{
  static const char* const names[] = {"fordtco", "fordtFor", "Flamer", "taxi", "hudcou", "cad_road", "chev", "arrow"};
  std::vector<TVehicleValues> records;
  records.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    TVehicleValues v;
    v.Name = std::string(names[i % 8]) + (i < 8 ? "" : std::to_string(i));
    v.RecordLength = 1780 + (i % 5) * 12;
    v.Weight = 900.0f + static_cast<float>(i % 40) * 25.0f;
    v.MaxSpeedKMH = 90.0f + static_cast<float>(i % 60) * 0.75f;
    v.MaxPower = 30.0f + static_cast<float>(i % 50);
    v.FirstGearLength = 2.5f + static_cast<float>(i % 7) * 0.125f;
    v.FWD = static_cast<uint8_t>(i % 3 == 0);
    v.RWD = static_cast<uint8_t>(i % 3 != 0);
    v.FourWheelTurning = i % 11 == 0 ? 200 : 256;
    v.FillerSeed = static_cast<uint32_t>(i + 1);
    records.push_back(v);
  }
  return VehiclesFileBytes(records);
}

std::string VehiclesDemo()
{
  std::vector<TVehicleValues> records;
  auto add = [&](const char* name, int32_t length, float weight, float maxSpeed, float power, float redLine,
                 float maxRpm, float first, float second, float third, float fourth, float gears, uint8_t fwd,
                 uint8_t rwd, uint16_t fourWheel, uint8_t roof) {
    TVehicleValues v;
    v.Name = name;
    v.RecordLength = length;
    v.Weight = weight;
    v.MaxSpeedKMH = maxSpeed;
    v.MaxPower = power;
    v.PowerBandKwHi = power * 0.9f;
    v.PowerBandKwLo = power * 0.3f;
    v.RedLineRPM = redLine;
    v.MaxRPM = maxRpm;
    v.PowerBandPeakRPM = redLine * 0.8f;
    v.PowerBandRPMHi = redLine * 0.9f;
    v.PowerBandRPMLo = redLine * 0.3f;
    v.FirstGearLength = first;
    v.SecondGearLength = second;
    v.ThirdGearLength = third;
    v.FourthGearLength = fourth;
    v.Gears = gears;
    v.FWD = fwd;
    v.RWD = rwd;
    v.FourWheelTurning = fourWheel;
    v.Roof = roof;
    v.HitPoints = weight / 10.0f;
    v.FillerSeed = static_cast<uint32_t>(records.size() + 7);
    records.push_back(v);
  };
  add("fordtco", 1780, 780, 68.5f, 15, 1800, 2000, 3.27f, 1.83f, 1, 0, 2, 0, 1, 256, 1);
  add("fordtFor", 1780, 820, 67.25f, 15, 1800, 2000, 3.27f, 1.83f, 1, 0, 2, 0, 1, 256, 1);
  add("Flamer", 1800, 1350, 165.4f, 110, 5200, 5600, 2.85f, 1.72f, 1.25f, 1, 4, 0, 1, 256, 0);
  add("TBirdold", 1780, 1420, 142.75f, 88, 4400, 4800, 2.9f, 1.65f, 1.15f, 0, 3, 1, 0, 256, 1);
  add("tbirdold", 1780, 1420, 142.75f, 88, 4400, 4800, 2.9f, 1.65f, 1.15f, 0, 3, 1, 0, 256, 1);
  add("taxi", 1780, 1180, 112.6f, 52, 3600, 4000, 3.1f, 1.78f, 1.05f, 0, 3, 0, 1, 256, 1);
  add("cad_road", 1900, 2150, 148.2f, 120, 3400, 3800, 2.75f, 1.55f, 1, 0, 3, 0, 1, 256, 0);
  add("duesenberg", 1780, 1650, 178.9f, 190, 4200, 4600, 2.6f, 1.6f, 1.2f, 1, 4, 0, 1, 200, 0);
  add("prototype7", 1780, 990, 131.3f, 75, 6000, 6500, 3.4f, 2.1f, 1.4f, 1.05f, 4, 1, 1, 200, 1);
  add("", 1780, 5000, 40, 30, 2200, 2500, 4.1f, 2.3f, 1.3f, 0, 3, 0, 1, 256, 1);
  add("truckA", 1820, 3400, 72.4f, 40, 2400, 2800, 4.3f, 2.4f, 1.5f, 1, 4, 0, 1, 256, 1);
  return VehiclesFileBytes(records);
}

}  // namespace Samples
