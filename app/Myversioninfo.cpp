#include "app/Myversioninfo.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>
#include <vector>
#endif

const char* const TMyVersionInfo::Keys[KeyCount] = {
    "CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
    "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments"};

std::string* TMyVersionInfo::Field(int index)
{
  std::string* fields[KeyCount] = {&CompanyName,     &FileDescription,  &FileVersion, &InternalName,   &LegalCopyright,
                                   &LegalTrademarks, &OriginalFilename, &ProductName, &ProductVersion, &Comments};
  return index >= 0 && index < KeyCount ? fields[index] : &FileVersion;
}

std::string TMyVersionInfo::GetValue(int index) const
{
  return *const_cast<TMyVersionInfo*>(this)->Field(index);
}

#ifdef _WIN32

namespace {

std::wstring Widen(const std::string& utf8)
{
  if (utf8.empty())
    return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
  return out;
}

std::string Narrow(const wchar_t* text)
{
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1)
    return std::string();
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
  out.resize(n - 1);
  return out;
}

}  // namespace

int TMyVersionInfo::ReadInfo(const std::string& path)
{
  std::wstring file = Widen(path);
  if (file.empty() || GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
    wchar_t self[32768];
    const DWORD n = GetModuleFileNameW(nullptr, self, 32768);
    file.assign(self, n);
  }
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
  if (size == 0)
    return -1;
  std::vector<unsigned char> buffer(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, buffer.data()))
    return -1;

  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(buffer.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                      &length) ||
      length < sizeof(Translation))
    return 1;  // no translation table: the texts stay empty
  wchar_t table[64];
  swprintf(table, 64, L"\\StringFileInfo\\%04X%04X\\", translation->language, translation->codePage);

  for (int i = 0; i < KeyCount; ++i) {
    const std::wstring query = std::wstring(table) + Widen(Keys[i]);
    wchar_t* text = nullptr;
    UINT chars = 0;
    if (VerQueryValueW(buffer.data(), query.c_str(), reinterpret_cast<void**>(&text), &chars) && text && chars > 0)
      *Field(i) = Narrow(text);
    else
      Field(i)->clear();
  }
  return 1;
}

#else

int TMyVersionInfo::ReadInfo(const std::string&)
{
  // Executables here carry no version record; the build's version serves instead.
  FileVersion = VELKORA_VERSION;
  return 1;
}

#endif
