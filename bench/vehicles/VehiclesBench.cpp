// Load and save of a generated vehicles.bin of 1,000 records through the file code, timed,
// with peak memory, and the save compared with one plain rewrite of the same file.
//   vehicles_bench [records] [repetitions]
#include "BenchSupport.h"

#include "tools/samples/Samples.h"
#include "tools/samples/VehiclesSample.h"
#include "vehicles/VehiclesFile.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
  const int records = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
  const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const std::string bytes = Samples::VehiclesGenerated(records);
  const fs::path dir = fs::temp_directory_path() /
                       ("velkora-vehicles-bench-" + std::to_string(Bench::Clock::now().time_since_epoch().count()));
  fs::create_directories(dir);
  const std::string path = (dir / "vehicles.bin").u8string();
  if (!Samples::WriteBytes(path, bytes)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  std::printf("vehicles.bin: %d records, %zu bytes, best of %d runs\n", records, bytes.size(), repetitions);

  std::vector<double> load, save, rewrite;
  long loadPeak = -1, savePeak = -1;
  for (int run = 0; run < repetitions; ++run) {
    TVehiclesFile file;
    Bench::ResetPeak();
    auto start = Bench::Clock::now();
    const std::string problem = file.Load(path);
    load.push_back(Bench::MillisecondsSince(start));
    loadPeak = std::max(loadPeak, Bench::PeakKiB());
    if (!problem.empty() || file.Count() != records) {
      std::fprintf(stderr, "load failed: %s\n", problem.c_str());
      return 1;
    }
    Bench::ResetPeak();
    start = Bench::Clock::now();
    const bool saved = file.Save();
    save.push_back(Bench::MillisecondsSince(start));
    savePeak = std::max(savePeak, Bench::PeakKiB());
    if (!saved) {
      std::fprintf(stderr, "save failed\n");
      return 1;
    }
    // One plain rewrite of the whole file, for comparison.
    start = Bench::Clock::now();
    if (!Samples::WriteBytes(path, bytes)) {
      std::fprintf(stderr, "rewrite failed\n");
      return 1;
    }
    rewrite.push_back(Bench::MillisecondsSince(start));
  }
  const bool identical = Samples::ReadBytes(path) == bytes;
  fs::remove_all(dir);

  const double bestLoad = *std::min_element(load.begin(), load.end());
  const double bestSave = *std::min_element(save.begin(), save.end());
  const double bestRewrite = *std::min_element(rewrite.begin(), rewrite.end());
  Bench::Report("load (read all records)", bestLoad, loadPeak);
  Bench::Report("save (31 in-place writes/record)", bestSave, savePeak);
  Bench::Report("plain rewrite of the file", bestRewrite, -1);
  std::printf("save / plain rewrite: %.1f x\n", bestSave / bestRewrite);
  std::printf("file unchanged by the saves: %s\n", identical ? "yes" : "NO");
  return identical ? 0 : 1;
}
