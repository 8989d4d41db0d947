#pragma once
#include <string>

// Reader of a file's version record: the ten standard texts of its first translation.
// On platforms whose executables carry no version record the build's version stands in.
class TMyVersionInfo {
public:
  static constexpr int KeyCount = 10;
  // The keys in index order, as the version record names them.
  static const char* const Keys[KeyCount];

  // Fills the texts from the version record of `path` (UTF-8; the running executable when
  // no file exists there). 1 on success, -1 when there is no record or it cannot be read.
  int ReadInfo(const std::string& path);
  // The text of `index` (0..9); any other index gives FileVersion.
  std::string GetValue(int index) const;

  std::string CompanyName;
  std::string FileDescription;
  std::string FileVersion;
  std::string InternalName;
  std::string LegalCopyright;
  std::string LegalTrademarks;
  std::string OriginalFilename;
  std::string ProductName;
  std::string ProductVersion;
  std::string Comments;

private:
  std::string* Field(int index);
};
