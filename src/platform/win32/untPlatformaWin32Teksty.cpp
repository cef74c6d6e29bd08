// The Win32 platform: paths as the UTF-16 texts that controls show and users type.
#include "platform/win32/untWindows.h"

#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untPlatformaWin32Wspolne.h"

namespace orvala::platform {

using namespace win32;

TWideString TPlatformaWin32::WidenPath(std::string_view path) {
  const std::wstring wide = ZAnsi(std::string(path));
  return TWideString(wide.begin(), wide.end());
}

bool TPlatformaWin32::NarrowPath(const TWideString& path, std::string& narrow) {
  narrow.clear();
  if (path.empty()) {
    return true;
  }
  const std::wstring wide = Szeroki(path);
  const int length = static_cast<int>(wide.size());
  const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0,
                                      nullptr, nullptr);
  if (n <= 0) {
    narrow.assign(path.size(), '?');
    return false;
  }
  narrow.assign(static_cast<std::size_t>(n), '\0');
  BOOL lacking = FALSE;
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, narrow.data(), n, "?",
                        &lacking);
  // Widening back must give the text itself: no best-fit letter passes for the one typed.
  return lacking == FALSE && WidenPath(narrow) == path;
}

}  // namespace orvala::platform
