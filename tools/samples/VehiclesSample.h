#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Builds vehicles.bin files from invented values: the demo file, the tests' fixtures and the
// benchmarks' large files. The layout is written out here on its own, independent of the editor.
namespace Samples {

// Record-relative offsets of the vehicle fields.
namespace VehicleAt {
constexpr size_t RecordLength = 0, Name = 4, Weight = 44, MaxSpeedKMH = 48, GearSpeedFactor = 52, RedLineRPM = 56,
                 MaxRPM = 60, IdleRPM = 64, MaxPower = 68, PowerBandKwHi = 72, PowerBandKwLo = 76,
                 PowerBandRPMHi = 80, PowerBandRPMLo = 84, HitPoints = 88, GearFactor = 96, DownForceFront = 108,
                 DownForceRear = 112, PowerBandPeakRPM = 116, Gears = 120, ShiftDelayTicks = 124,
                 SpeedModifier = 128, FirstGearLength = 136, SecondGearLength = 148, ThirdGearLength = 160,
                 FourthGearLength = 172, CenterOfGravity = 312, RearWheelSlip = 316, PushFactor1 = 340,
                 PushFactor2 = 344, FWD = 428, RWD = 547, FourWheelTurning = 548, Roof = 1570;
}

// The values of one record; bytes the editor does not interpret are filled from FillerSeed.
struct TVehicleValues {
  std::string Name;
  int32_t RecordLength = 1780;
  float Weight = 1200, MaxSpeedKMH = 110, GearSpeedFactor = 1, RedLineRPM = 3800, MaxRPM = 4200, IdleRPM = 700,
        MaxPower = 45, PowerBandKwHi = 40, PowerBandKwLo = 12, PowerBandRPMHi = 3500, PowerBandRPMLo = 1200,
        HitPoints = 100, GearFactor = 4, DownForceFront = 0, DownForceRear = 0, PowerBandPeakRPM = 3000, Gears = 3,
        ShiftDelayTicks = 12, SpeedModifier = 1, FirstGearLength = 3.2f, SecondGearLength = 1.8f,
        ThirdGearLength = 1, FourthGearLength = 0, CenterOfGravity = -0.2f, RearWheelSlip = 0.85f,
        PushFactor1 = 1, PushFactor2 = 1;
  uint8_t FWD = 0, RWD = 1, Roof = 1;
  uint16_t FourWheelTurning = 256;
  uint32_t FillerSeed = 1;
};

// The bytes of one record: RecordLength + 4 of them.
std::string VehicleRecordBytes(const TVehicleValues& values);
// A whole file: kind marker 1, the record count and the records.
std::string VehiclesFileBytes(const std::vector<TVehicleValues>& records);
// A file of records given as bytes, under a header that announces `count` of them.
std::string JoinVehicleRecords(const std::vector<std::string>& records, int32_t count);
// A file of `count` records with varied names, lengths and values.
std::string VehiclesGenerated(int count);

}  // namespace Samples
