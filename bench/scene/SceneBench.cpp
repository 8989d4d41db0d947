// Load and save figures of the scene editor on a generated scene of about 16 MiB with 20,000
// records: the walk against one plain read of the file, the window's load (walk and tree), the
// copy of one script save against a plain copy of the file, and one whole script save.
#include "binfile/Binaryfile.h"
#include "scene/Scene2.h"
#include "scene/Scene2File.h"
#include "tools/samples/SceneSample.h"
#include "tools/samples/Samples.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace fs = std::filesystem;

namespace {

// A "Vm...:" figure of /proc/self/status in KiB, or -1 where it cannot be read.
long StatusKiB(const char* field)
{
#ifdef __linux__
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0)
      return std::stol(line.substr(key.size()));
#else
  (void)field;
#endif
  return -1;
}

// Returns freed heap memory to the system and resets the peak (VmHWM) to the resident size,
// so that a run's peak counts what the run itself holds.
void ResetPeak()
{
#ifdef __GLIBC__
  malloc_trim(0);
#endif
#ifdef __linux__
  std::ofstream("/proc/self/clear_refs") << "5";
#endif
}

struct Figure {
  double Ms;
  long PeakKiB;   // peak resident size during the run
  long AboveKiB;  // how far the peak rose above the resident size at the run's start
};

// The best time of `runs` runs of `work` (after `prepare`, not timed), with the peak memory of the last.
Figure Measure(int runs, const std::function<void()>& work, const std::function<void()>& prepare = {})
{
  Figure best{1e300, -1, -1};
  for (int i = 0; i < runs; ++i) {
    if (prepare)
      prepare();
    ResetPeak();
    const long start = StatusKiB("VmRSS");
    const auto t0 = std::chrono::steady_clock::now();
    work();
    const auto t1 = std::chrono::steady_clock::now();
    best.Ms = std::min(best.Ms, std::chrono::duration<double, std::milli>(t1 - t0).count());
    best.PeakKiB = StatusKiB("VmHWM");
    best.AboveKiB = best.PeakKiB >= 0 && start >= 0 ? best.PeakKiB - start : -1;
  }
  return best;
}

void Report(const char* what, const Figure& f, const char* extra = "")
{
  std::printf("%-40s %8.1f ms   peak %7ld KiB (+%6ld KiB)%s\n", what, f.Ms, f.PeakKiB, f.AboveKiB, extra);
}

}  // namespace

int main(int argc, char** argv)
{
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int runs = 5;
#ifdef __GLIBC__
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);  // large blocks come from and go back to the system
#endif

  const fs::path dir = fs::temp_directory_path() / "velkora-scene-bench";
  fs::create_directories(dir);
  const std::string path = (dir / "scene2.bin").u8string();
  const std::string original = Samples::SceneGenerated(20000, 16u << 20);
  Samples::WriteBytes(path, original);
  std::printf("scene: %zu bytes (%.1f MiB)\n", original.size(), original.size() / 1048576.0);

  std::size_t sink = 0;
  const Figure read = Measure(runs, [&] {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    std::string bytes(size_t(fs::file_size(fs::u8path(path))), '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    sink += size_t(in.gcount());
  });
  TSceneFile scene;
  const Figure walk = Measure(runs, [&] { scene.ReadIndex(path); });
  std::printf("records: %d\n", scene.RecordCount());
  Report("plain read of the file", read);
  char ratio[64];
  std::snprintf(ratio, sizeof ratio, "   x%.2f of the plain read", walk.Ms / read.Ms);
  Report("walk (open, read, index)", walk, ratio);

  double treeMs = 0;
  const Figure load = Measure(runs, [&] {
    TScene2Win win;
    win.LoadFile(path);
    sink += win.RecordCount();
  });
  treeMs = load.Ms - walk.Ms;
  Report("window load (walk and tree)", load);
  std::printf("%-40s %8.1f ms\n", "  of which the tree (load - walk)", treeMs);

  // One script near the start of the file, so the copy moves almost all of it after the new text.
  int target = -1;
  for (int i = 0; i < scene.RecordCount() && target < 0; ++i)
    if (scene.Records[size_t(i)].HasScript)
      target = i;
  const SceneRecord record = scene.Records[size_t(target)];
  const std::string edited = "// benchmark edit\r\n" + record.Script;
  const Scene::ScriptSavePlan plan = Scene::PlanScriptSave([&] {
    SceneRecord r = record;
    r.Script = edited;
    return r;
  }());

  const fs::path plainCopy = dir / "plain-copy.bin";
  const Figure copy = Measure(runs, [&] { fs::copy_file(fs::u8path(path), plainCopy, fs::copy_options::overwrite_existing); });
  TBinaryFile file;
  const Figure replace = Measure(runs, [&] {
    file.Open(path);
    file.ReplaceBlock(int32_t(plan.Start), int32_t(plan.End), edited);
  });
  Report("plain copy (copy_file)", copy);
  std::snprintf(ratio, sizeof ratio, "   x%.2f of the plain copy", replace.Ms / copy.Ms);
  Report("save copy (ReplaceBlock to .NEW)", replace, ratio);

  const Figure save = Measure(
      runs,
      [&] {
        scene.SaveChanged();
      },
      [&] {
        Samples::WriteBytes(path, original);
        scene.ReadIndex(path);
        scene.Records[size_t(target)].Script = edited;
        scene.Records[size_t(target)].ScriptChanged = true;
      });
  Report("one script save (copy, patch, re-read)", save);

  std::unique_ptr<TScene2Win> win;
  const Figure winSave = Measure(
      runs,
      [&] { win->SaveFile(); },
      [&] {
        win.reset();
        Samples::WriteBytes(path, original);
        win = std::make_unique<TScene2Win>();
        win->LoadFile(path);
        win->RecordAt(target)->Script = edited;
        win->RecordAt(target)->ScriptChanged = true;
        win->Modified = true;
      });
  Report("window save (as above, and the tree)", winSave);
  win.reset();

  fs::remove_all(dir);
  return sink == 0 ? 1 : 0;
}
