#pragma once
#include <cstdint>
#include <fstream>
#include <string>

// Positioned, typed access to one game file: little-endian reads at base + offset
// through a read-only stream, and in-place writes that each reopen the file by `Path`.
// Results are 1 for success and -1 for failure; nothing throws and nothing is shown.
//
// Paths are UTF-8; game text is 8-bit and passed through unchanged. No read or write
// reaches outside the file: a typed read there gives 0 (an empty text), a write that
// would extend the file or starts before it fails.
class TBinaryFile {
public:
  TBinaryFile() = default;
  ~TBinaryFile();
  TBinaryFile(const TBinaryFile&) = delete;
  TBinaryFile& operator=(const TBinaryFile&) = delete;

  std::string Path;  // set by every Open, even a failed one
  int32_t Size = 0;  // length measured by the last successful Open or by ReplaceBlock

  int Open(const std::string& path);
  int Close();
  bool IsOpen() const { return reader_.is_open(); }

  uint8_t ReadByte(int32_t base, int32_t offset);
  uint16_t ReadShort(int32_t base, int32_t offset);
  int32_t ReadInt(int32_t base, int32_t offset);
  float ReadFloat(int32_t base, int32_t offset);
  std::string ReadString16(int32_t base, int32_t offset) { return ReadText(base, offset, 16); }
  std::string ReadString32(int32_t base, int32_t offset) { return ReadText(base, offset, 32); }
  std::string ReadString36(int32_t base, int32_t offset) { return ReadText(base, offset, 36); }
  // Exactly `count` bytes from `position`; bytes past the end of the file read as 0x0A.
  std::string ReadBlock(int32_t position, int32_t count);

  int WriteByte(int32_t base, int32_t offset, int32_t value);
  int WriteShort(int32_t base, int32_t offset, int32_t value);
  int WriteInt(int32_t base, int32_t offset, int32_t value);
  int WriteFloat(int32_t base, int32_t offset, float value);
  // Writes a float as the exact four bytes given by its bit pattern (keeps NaN payloads).
  int WriteFloatBits(int32_t base, int32_t offset, uint32_t bits);
  // Up to 16 characters, followed by one zero byte when shorter; the rest of the field is kept.
  int WriteString16(int32_t base, int32_t offset, const std::string& text);

  // Writes `Path` + ".NEW": the file's bytes before `start`, then `block`, then the bytes
  // from `end` on. The file itself is not changed. Closes the reading stream; `Size` holds
  // the old file's length. -1 when the arguments are out of range, a file cannot be opened,
  // or any read, write, flush or close fails.
  int ReplaceBlock(int32_t start, int32_t end, const std::string& block);

  static bool IsNumericChar(char c) { return (c >= '0' && c <= '9') || c == '.'; }
  static bool IsNumericText(const std::string& text);

  // Length of the file at `path` now, or -1 when it cannot be measured.
  static int64_t FileLength(const std::string& path);

private:
  bool ReadRaw(int64_t position, char* out, int32_t count);
  std::string ReadText(int32_t base, int32_t offset, int32_t width);
  int WriteRaw(int64_t position, const char* bytes, int32_t count);

  std::ifstream reader_;
};
