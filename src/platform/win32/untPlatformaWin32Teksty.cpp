// The Win32 platform: paths as the UTF-16 texts that controls show and users type, compared as
// the file system compares names, and the check against the ANSI code page.
#include "platform/win32/untWindows.h"

#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untPlatformaWin32Wspolne.h"
#include "textutil/untKodowanie.h"

namespace orvala::platform {

using namespace win32;

TWideString TPlatformaWin32::WidenPath(std::string_view path) {
  return FromWideChars(ZUtf8(path, false));
}

bool TPlatformaWin32::NarrowPath(const TWideString& path, std::string& narrow) {
  const std::wstring wide(WideChars(path), path.size());
  narrow = DoUtf8(wide);
  if (ZUtf8(narrow) != wide) {
    return false;  // an unpaired surrogate
  }
  if (SystemNt()) {
    return true;
  }
  std::string ansi;
  const bool held = DoAnsi(wide, ansi);
  narrow = ZSystemu(ansi.c_str());
  return held;
}

std::string TPlatformaWin32::FoldPath(std::string_view path) {
  if (!SystemNt()) {
    return FoldCaseUtf8(path);
  }
  // The system's own mapping, the one its file systems compare names by: upper case, without
  // regard to the user's language.
  std::wstring wide = ZUtf8(path);
  if (wide.empty()) {
    return FoldCaseUtf8(path);  // empty, or no UTF-8: nothing the system would find
  }
  const int n = static_cast<int>(wide.size());
  if (::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.data(), n, wide.data(), n) != n) {
    return FoldCaseUtf8(path);
  }
  return DoUtf8(wide);
}

bool TPlatformaWin32::AnsiCodePageHolds(std::string_view path) {
  std::string ansi;
  const std::wstring wide = ZUtf8(path);
  return (!wide.empty() || path.empty()) && DoAnsi(wide, ansi);
}

}  // namespace orvala::platform
