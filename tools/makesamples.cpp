// Writes the demo game files (vehicles.bin, predmety.def, scene2.bin) into a folder.
#include "tools/samples/Samples.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv)
{
  const std::filesystem::path dir = std::filesystem::u8path(argc > 1 ? argv[1] : "demo");
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {
      {"vehicles.bin", Samples::VehiclesDemo()},
      {"predmety.def", Samples::WeaponsDemo()},
      {"scene2.bin", Samples::SceneDemo()},
  };
  int status = 0;
  for (const auto& f : files) {
    const std::string path = (dir / f.name).u8string();
    if (Samples::WriteBytes(path, f.bytes)) {
      std::cout << path << " (" << f.bytes.size() << " bytes)\n";
    } else {
      std::cerr << "cannot write " << path << "\n";
      status = 1;
    }
  }
  return status;
}
