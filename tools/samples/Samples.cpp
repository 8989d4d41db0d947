#include "tools/samples/Samples.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace Samples {

bool WriteBytes(const std::string& path, const std::string& bytes)
{
  std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

std::string ReadBytes(const std::string& path)
{
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace Samples
