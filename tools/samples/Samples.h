#pragma once
#include <string>

// Synthetic, well-formed game files of the three kinds, made from the file layouts with
// invented values. The demo files of the quick start and the tests' fixtures come from here.
namespace Samples {

std::string VehiclesDemo();  // vehicles.bin
std::string WeaponsDemo();   // predmety.def
std::string SceneDemo();     // scene2.bin

// Writes `bytes` to `path` (UTF-8), replacing the file; false on any failure.
bool WriteBytes(const std::string& path, const std::string& bytes);
// The whole file at `path`, or an empty text when it cannot be read.
std::string ReadBytes(const std::string& path);

}  // namespace Samples
