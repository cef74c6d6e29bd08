// What the parts of the Win32 platform share: the conversion of the seam's paths (UTF-8) into
// what the system takes (UTF-16 for the wide functions on an NT-family system, the ANSI code
// page for the *A functions on any other), the checks made before a path reaches the system,
// and the conversions of the system's answers back. Internal to src/platform/win32.
#pragma once

#include "platform/win32/untWindows.h"

#include <string>
#include <string_view>

#include "platform/untPlatforma.h"

namespace orvala::platform::win32 {

constexpr DWORD kBufor = kMaxPath + 1;  // 261-character buffers for the system calls

// Whether the system is of the NT family (asked once: it cannot change while the program runs).
inline bool SystemNt() {
  static const bool nt = [] {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL ok = ::GetVersionExA(&info);
#pragma GCC diagnostic pop
    return ok && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
  }();
  return nt;
}

inline bool Dopuszczalna(const TWideString& path) {
  return !path.empty() && path.size() <= kMaxPath && path.find(u'\0') == TWideString::npos;
}
inline bool KonczySieUkosnikiem(std::string_view path) {
  return !path.empty() && path.back() == '\\';
}

// UTF-8 in UTF-16. With `strict`, malformed UTF-8 gives an empty text; without, U+FFFD stands
// for it (a text to show).
inline std::wstring ZUtf8(std::string_view utf8, bool strict = true) {
  if (utf8.empty()) {
    return std::wstring();
  }
  const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
  const int size = static_cast<int>(utf8.size());
  const int n = ::MultiByteToWideChar(CP_UTF8, flags, utf8.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) {
    ::MultiByteToWideChar(CP_UTF8, flags, utf8.data(), size, out.data(), n);
  }
  return out;
}

// UTF-16 in UTF-8 (an unpaired surrogate becomes U+FFFD).
inline std::string DoUtf8(std::wstring_view wide) {
  if (wide.empty()) {
    return std::string();
  }
  const int size = static_cast<int>(wide.size());
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
  }
  return out;
}

// An 8-bit text of the ANSI code page in UTF-16.
inline std::wstring ZAnsi(std::string_view text) {
  if (text.empty()) {
    return std::wstring();
  }
  const int size = static_cast<int>(text.size());
  const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) {
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, out.data(), n);
  }
  return out;
}

// A UTF-16 text in the ANSI code page: `ansi` gets '?' for each character the code page lacks,
// and the result is false when there was one. No best-fit letter passes for the one written:
// widening back must give the text itself. 65001 holds every text.
inline bool DoAnsi(std::wstring_view wide, std::string& ansi) {
  ansi.clear();
  if (wide.empty()) {
    return true;
  }
  const bool utf8 = ::GetACP() == CP_UTF8;  // takes neither flags nor a default character
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* fallback = utf8 ? nullptr : "?";
  const int size = static_cast<int>(wide.size());
  const int n =
      ::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) {
    ansi.assign(wide.size(), '?');
    return false;
  }
  ansi.assign(static_cast<std::size_t>(n), '\0');
  BOOL lacking = FALSE;
  ::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, ansi.data(), n, fallback,
                        utf8 ? nullptr : &lacking);
  return lacking == FALSE && ZAnsi(ansi) == wide;
}

// A path of the seam as the system takes it. `ok` is false for a path that is empty, holds a
// NUL, is no UTF-8, is longer than kMaxPath, or (on a non-NT system) has a character that the
// ANSI code page lacks: such a path never reaches the system.
struct TSciezka {
  bool ok = false;
  std::wstring wide;  // always (the length check is made on it)
  std::string ansi;   // on a non-NT system
  const wchar_t* W() const { return wide.c_str(); }
  const char* A() const { return ansi.c_str(); }
};

inline TSciezka Sciezka(std::string_view utf8) {
  // A path refused here never reaches the system: the error code says why, so that a failure
  // is not explained by whatever call failed before.
  TSciezka p;
  ::SetLastError(ERROR_INVALID_NAME);
  if (utf8.empty() || utf8.find('\0') != std::string_view::npos) {
    return p;
  }
  p.wide = ZUtf8(utf8);
  if (p.wide.empty() || p.wide.size() > kMaxPath) {
    ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return p;
  }
  p.ok = SystemNt() || DoAnsi(p.wide, p.ansi);
  return p;
}

// A name or path the system answered with, as the seam holds it (UTF-8).
inline std::string ZSystemu(const wchar_t* text) {
  return DoUtf8(text);
}
inline std::string ZSystemu(const char* text) {
  return DoUtf8(ZAnsi(text));
}

// The result of a file operation on `path` that has just said `done`: when it failed, its reason
// from the system's last error, read before any other call can change it
// (untPrzywracanieWin32.cpp).
TWynik Wynik(bool done, const std::string& path);

}  // namespace orvala::platform::win32
