#include "binfile/Binaryfile.h"

#include "binfile/Progress.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path NativePath(const std::string& utf8) { return fs::u8path(utf8); }

int32_t ClampToInt32(int64_t value)
{
  return static_cast<int32_t>(std::min<int64_t>(value, std::numeric_limits<int32_t>::max()));
}

uint32_t LittleEndian(const unsigned char* b, int count)
{
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i)
    value = (value << 8) | b[i];
  return value;
}

void StoreLittleEndian(uint32_t value, char* out, int count)
{
  for (int i = 0; i < count; ++i)
    out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Bytes moved per read and write while copying.
constexpr int64_t kCopyChunk = 64 * 1024;
// Positions of the old file between two status updates of the copy.
constexpr int64_t kStatusInterval = 10000;

}  // namespace

TBinaryFile::~TBinaryFile() { Close(); }

int TBinaryFile::Open(const std::string& path)
{
  Path = path;
  if (reader_.is_open())
    reader_.close();
  reader_.clear();
  reader_.open(NativePath(path), std::ios::in | std::ios::binary);
  if (!reader_.is_open()) {
    reader_.clear();
    return -1;
  }
  reader_.seekg(0, std::ios::end);
  const std::streamoff end = reader_.tellg();
  reader_.clear();
  reader_.seekg(0, std::ios::beg);
  Size = end < 0 ? 0 : ClampToInt32(end);
  return 1;
}

int TBinaryFile::Close()
{
  if (!reader_.is_open())
    return -1;
  reader_.close();
  reader_.clear();
  return 1;
}

bool TBinaryFile::ReadRaw(int64_t position, char* out, int32_t count)
{
  if (!reader_.is_open() || position < 0 || count < 0)
    return false;
  reader_.clear();
  reader_.seekg(static_cast<std::streamoff>(position), std::ios::beg);
  reader_.read(out, count);
  const bool complete = reader_.gcount() == count;
  reader_.clear();
  return complete;
}

uint8_t TBinaryFile::ReadByte(int32_t base, int32_t offset)
{
  unsigned char b[1] = {0};
  return ReadRaw(int64_t(base) + offset, reinterpret_cast<char*>(b), 1) ? b[0] : 0;
}

uint16_t TBinaryFile::ReadShort(int32_t base, int32_t offset)
{
  unsigned char b[2] = {0, 0};
  return ReadRaw(int64_t(base) + offset, reinterpret_cast<char*>(b), 2) ? static_cast<uint16_t>(LittleEndian(b, 2)) : 0;
}

int32_t TBinaryFile::ReadInt(int32_t base, int32_t offset)
{
  unsigned char b[4] = {0, 0, 0, 0};
  return ReadRaw(int64_t(base) + offset, reinterpret_cast<char*>(b), 4) ? static_cast<int32_t>(LittleEndian(b, 4)) : 0;
}

float TBinaryFile::ReadFloat(int32_t base, int32_t offset)
{
  unsigned char b[4] = {0, 0, 0, 0};
  if (!ReadRaw(int64_t(base) + offset, reinterpret_cast<char*>(b), 4))
    return 0.0f;
  const uint32_t bits = LittleEndian(b, 4);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string TBinaryFile::ReadText(int32_t base, int32_t offset, int32_t width)
{
  std::string field(static_cast<size_t>(width), '\0');
  if (!ReadRaw(int64_t(base) + offset, field.data(), width))
    return std::string();
  const size_t zero = field.find('\0');
  if (zero != std::string::npos)
    field.resize(zero);
  return field;
}

std::string TBinaryFile::ReadBlock(int32_t position, int32_t count)
{
  if (count <= 0)
    return std::string();
  std::string block(static_cast<size_t>(count), '\x0A');
  if (reader_.is_open() && position >= 0) {
    reader_.clear();
    reader_.seekg(position, std::ios::beg);
    reader_.read(block.data(), count);
    reader_.clear();
  }
  return block;
}

int TBinaryFile::WriteRaw(int64_t position, const char* bytes, int32_t count)
{
  std::fstream out(NativePath(Path), std::ios::in | std::ios::out | std::ios::binary);
  if (!out.is_open())
    return -1;
  out.seekp(0, std::ios::end);
  const std::streamoff length = out.tellp();
  if (position < 0 || length < 0 || position + count > length)
    return -1;  // in-place writes never extend the file
  out.seekp(static_cast<std::streamoff>(position), std::ios::beg);
  out.write(bytes, count);
  out.flush();
  const bool written = out.good();
  out.close();
  return written && !out.fail() ? 1 : -1;
}

int TBinaryFile::WriteByte(int32_t base, int32_t offset, int32_t value)
{
  char b[1];
  StoreLittleEndian(static_cast<uint32_t>(value), b, 1);
  return WriteRaw(int64_t(base) + offset, b, 1);
}

int TBinaryFile::WriteShort(int32_t base, int32_t offset, int32_t value)
{
  char b[2];
  StoreLittleEndian(static_cast<uint32_t>(value), b, 2);
  return WriteRaw(int64_t(base) + offset, b, 2);
}

int TBinaryFile::WriteInt(int32_t base, int32_t offset, int32_t value)
{
  char b[4];
  StoreLittleEndian(static_cast<uint32_t>(value), b, 4);
  return WriteRaw(int64_t(base) + offset, b, 4);
}

int TBinaryFile::WriteFloat(int32_t base, int32_t offset, float value)
{
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return WriteFloatBits(base, offset, bits);
}

int TBinaryFile::WriteFloatBits(int32_t base, int32_t offset, uint32_t bits)
{
  char b[4];
  StoreLittleEndian(bits, b, 4);
  return WriteRaw(int64_t(base) + offset, b, 4);
}

int TBinaryFile::WriteString16(int32_t base, int32_t offset, const std::string& text)
{
  std::string field = text.substr(0, 16);
  if (field.size() < 16)
    field.push_back('\0');
  return WriteRaw(int64_t(base) + offset, field.data(), static_cast<int32_t>(field.size()));
}

bool TBinaryFile::IsNumericText(const std::string& text)
{
  return std::all_of(text.begin(), text.end(), IsNumericChar);
}

int64_t TBinaryFile::FileLength(const std::string& path)
{
  std::error_code ec;
  const auto length = fs::file_size(NativePath(path), ec);
  return ec ? -1 : static_cast<int64_t>(length);
}

int TBinaryFile::ReplaceBlock(int32_t start, int32_t end, const std::string& block)
{
  const std::string outName = Path + ".NEW";
  TProgress& progress = Progress();
  progress.Show();
  progress.SetCaption("Saving Changes");

  Close();
  std::ifstream in(NativePath(Path), std::ios::in | std::ios::binary);
  std::ofstream out(NativePath(outName), std::ios::out | std::ios::binary | std::ios::trunc);
  int result = -1;
  if (in.is_open() && out.is_open() && start >= 0 && end >= start) {
    progress.SetStatus("Saving ...");
    progress.RepaintMain();
    in.seekg(0, std::ios::end);
    const int64_t oldSize = in.tellg();
    in.seekg(0, std::ios::beg);
    if (oldSize >= 0 && start <= oldSize) {
      Size = ClampToInt32(oldSize);
      std::vector<char> buffer(static_cast<size_t>(kCopyChunk));
      bool ok = true;
      // Copies the old bytes [from, to) to the output.
      auto copyRange = [&](int64_t from, int64_t to) {
        in.seekg(static_cast<std::streamoff>(from), std::ios::beg);
        while (ok && from < to) {
          const int64_t n = std::min(kCopyChunk, to - from);
          in.read(buffer.data(), static_cast<std::streamsize>(n));
          ok = in.gcount() == n && out.write(buffer.data(), static_cast<std::streamsize>(n)).good();
          from += n;
        }
      };
      // The walk over the old file's positions, one status interval at a time: positions
      // before `start` are copied, `start` receives the block, positions from `end` on are copied.
      for (int64_t pos = 0; ok && pos < oldSize;) {
        if (pos > 0 && pos % kStatusInterval == 0) {
          progress.RepaintMain();
          progress.SetStatus("Saving .");
        }
        const int64_t stop = std::min(oldSize, pos - pos % kStatusInterval + kStatusInterval);
        if (pos < start)
          copyRange(pos, std::min<int64_t>(stop, start));
        if (ok && start >= pos && start < stop)
          ok = out.write(block.data(), static_cast<std::streamsize>(block.size())).good();
        if (ok && stop > end)
          copyRange(std::max<int64_t>(pos, end), stop);
        pos = stop;
      }
      if (ok && start == oldSize)
        ok = out.write(block.data(), static_cast<std::streamsize>(block.size())).good();
      out.flush();
      ok = ok && out.good();
      out.close();
      ok = ok && !out.fail();
      const int64_t expected = start + static_cast<int64_t>(block.size()) + std::max<int64_t>(0, oldSize - end);
      if (ok && FileLength(outName) == expected)
        result = 1;
    }
  }
  if (in.is_open())
    in.close();
  if (out.is_open())
    out.close();
  progress.Hide();
  return result;
}
