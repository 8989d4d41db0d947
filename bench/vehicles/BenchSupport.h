#pragma once
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#ifdef __linux__
#include <cstdlib>
#include <cstring>
#endif

// Timing and peak-memory helpers of the vehicles benchmarks.
namespace Bench {

using Clock = std::chrono::steady_clock;

inline double MillisecondsSince(Clock::time_point start)
{
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The process's peak resident memory in KiB, or -1 where it cannot be read.
inline long PeakKiB()
{
#ifdef __linux__
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.compare(0, 6, "VmHWM:") == 0)
      return std::strtol(line.c_str() + 6, nullptr, 10);
#endif
  return -1;
}

// Starts a new peak measurement from the current resident memory, where the system allows it.
inline bool ResetPeak()
{
#ifdef __linux__
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.close();
  return !clear.fail();
#else
  return false;
#endif
}

inline void Report(const char* what, double ms, long peakKiB)
{
  if (peakKiB >= 0)
    std::printf("%-34s %10.2f ms   peak %8ld KiB\n", what, ms, peakKiB);
  else
    std::printf("%-34s %10.2f ms\n", what, ms);
}

}  // namespace Bench
