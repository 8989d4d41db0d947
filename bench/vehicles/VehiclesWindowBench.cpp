// The vehicles window's load (reading and listing) and save of a generated 1,000-record
// file, offscreen, timed and with peak memory.
//   QT_QPA_PLATFORM=offscreen vehicles_window_bench [records]
#include "BenchSupport.h"

#include "tools/samples/Samples.h"
#include "tools/samples/VehiclesSample.h"
#include "ui/Dialogs.h"
#include "vehicles/Vehicles.h"

#include <QApplication>

#include <filesystem>

namespace fs = std::filesystem;

namespace {
// Answers every message box silently.
class TSilentDialogs : public TDialogs {
public:
  void ShowMessage(const QString&) override {}
  bool Confirm(const QString&) override { return true; }
};
}  // namespace

int main(int argc, char** argv)
{
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TSilentDialogs dialogs;
  SetDialogs(&dialogs);
  const int records = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
  const std::string bytes = Samples::VehiclesGenerated(records);
  const fs::path dir = fs::temp_directory_path() /
                       ("velkora-vehicles-wbench-" + std::to_string(Bench::Clock::now().time_since_epoch().count()));
  fs::create_directories(dir);
  const std::string path = (dir / "vehicles.bin").u8string();
  Samples::WriteBytes(path, bytes);

  TVehiclesWin win;
  win.show();
  QCoreApplication::processEvents();
  Bench::ResetPeak();
  auto start = Bench::Clock::now();
  win.LoadFile(path);
  QCoreApplication::processEvents();
  const double load = Bench::MillisecondsSince(start);
  const long loadPeak = Bench::PeakKiB();
  Bench::ResetPeak();
  start = Bench::Clock::now();
  win.SaveFile();
  const double save = Bench::MillisecondsSince(start);
  const long savePeak = Bench::PeakKiB();
  std::printf("vehicles window, %d records (%d listed), %zu bytes\n", records, win.ObjectTree->topLevelItemCount(),
              bytes.size());
  Bench::Report("LoadFile (read, list, show first)", load, loadPeak);
  Bench::Report("SaveFile", save, savePeak);
  const bool ok = !win.Modified && Samples::ReadBytes(path) == bytes;
  SetDialogs(nullptr);
  fs::remove_all(dir);
  return ok ? 0 : 1;
}
