#include "binfile/Platform.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace fs = std::filesystem;

bool ReplaceFileAtomically(const std::string& from, const std::string& to, std::string* error)
{
#ifdef _WIN32
  const std::wstring src = fs::u8path(from).wstring();
  const std::wstring dst = fs::u8path(to).wstring();
  DWORD lastError = 0;
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (MoveFileExW(src.c_str(), dst.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    lastError = GetLastError();
    if (lastError != ERROR_SHARING_VIOLATION && lastError != ERROR_ACCESS_DENIED && lastError != ERROR_LOCK_VIOLATION)
      break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (error)
    *error = std::system_category().message(static_cast<int>(lastError));
  return false;
#else
  std::error_code ec;
  fs::rename(fs::u8path(from), fs::u8path(to), ec);  // rename(2) replaces `to` atomically
  if (ec && error)
    *error = ec.message();
  return !ec;
#endif
}
