// What the parts of the Win32 platform share: the path checks made before a path reaches the
// system, and the conversions of texts between the program's strings and the wide API.
// Internal to src/platform/win32.
#pragma once

#include "platform/win32/untWindows.h"

#include <string>

#include "platform/untPlatforma.h"

namespace orvala::platform::win32 {

constexpr DWORD kBufor = kMaxPath + 1;  // 261-character buffers for the system calls

inline bool Dopuszczalna(const std::string& path) {
  return !path.empty() && path.size() <= kMaxPath && path.find('\0') == std::string::npos;
}
inline bool Dopuszczalna(const TWideString& path) {
  return !path.empty() && path.size() <= kMaxPath && path.find(u'\0') == TWideString::npos;
}
inline bool KonczySieUkosnikiem(const std::string& path) {
  return !path.empty() && path.back() == '\\';
}

inline std::wstring Szeroki(const TWideString& text) {
  return std::wstring(text.begin(), text.end());
}

// An 8-bit text of the ANSI code page in UTF-16 (value names, non-NT shell folders).
inline std::wstring ZAnsi(const std::string& text) {
  if (text.empty()) {
    return std::wstring();
  }
  const int n =
      ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) {
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  }
  return out;
}

}  // namespace orvala::platform::win32
