#include "tests/support/TestSupport.h"

#include "tools/samples/Samples.h"

#include <cstring>

std::string TScratchDir::Write(const std::string& name, const std::string& bytes) const
{
  const std::string path = Path(name);
  Samples::WriteBytes(path, bytes);
  return path;
}

std::string TScratchDir::Read(const std::string& path) { return Samples::ReadBytes(path); }

std::string Bytes(std::initializer_list<int> values)
{
  std::string out;
  for (int v : values)
    out.push_back(static_cast<char>(v & 0xFF));
  return out;
}

void PutInt(std::string& bytes, size_t pos, int32_t value)
{
  for (int i = 0; i < 4; ++i)
    bytes[pos + i] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

void PutShort(std::string& bytes, size_t pos, int32_t value)
{
  for (int i = 0; i < 2; ++i)
    bytes[pos + i] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

void PutFloat(std::string& bytes, size_t pos, float value)
{
  int32_t bits;
  std::memcpy(&bits, &value, 4);
  PutInt(bytes, pos, bits);
}

int32_t GetInt(const std::string& bytes, size_t pos)
{
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = (v << 8) | static_cast<unsigned char>(bytes[pos + i]);
  return static_cast<int32_t>(v);
}

float GetFloat(const std::string& bytes, size_t pos)
{
  const int32_t bits = GetInt(bytes, pos);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}
