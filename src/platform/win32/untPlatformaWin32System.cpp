// The Win32 platform: system folders and values, the program's own resources, file versions and
// fonts. Every buffer handed to the system has its size passed with it.
#include "platform/win32/untWindows.h"

#include <winver.h>

#include <cstring>
#include <vector>

#include "platform/untBlokWersji.h"
#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untPlatformaWin32Wspolne.h"
#include "platform/win32/untUchwyty.h"

namespace orvala::platform {

using namespace win32;

namespace {

// The answer of a GetXxxDirectoryA-style call into a 261-character buffer; empty on failure or
// when the answer did not fit.
template <typename F>
std::string Katalog(F call) {
  char buffer[kBufor] = {};
  const UINT n = call(buffer, kBufor);
  return n == 0 || n >= kBufor ? std::string() : std::string(buffer, n);
}

}  // namespace

std::string TPlatformaWin32::WindowsDirectory() {
  return Katalog([](char* b, UINT n) { return ::GetWindowsDirectoryA(b, n); });
}

std::string TPlatformaWin32::SystemDirectory() {
  return Katalog([](char* b, UINT n) { return ::GetSystemDirectoryA(b, n); });
}

std::string TPlatformaWin32::TempDirectory() {
  return Katalog([](char* b, UINT n) { return static_cast<UINT>(::GetTempPathA(n, b)); });
}

std::string TPlatformaWin32::ModuleFileName() {
  return Katalog(
      [](char* b, UINT n) { return static_cast<UINT>(::GetModuleFileNameA(nullptr, b, n)); });
}

std::uint32_t TPlatformaWin32::ThreadLocale() {
  return ::GetThreadLocale();
}

bool TPlatformaWin32::IsNtPlatform() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL ok = ::GetVersionExA(&info);
#pragma GCC diagnostic pop
  return ok && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// --- Resources, versions, fonts ------------------------------------------------------------------

bool TPlatformaWin32::LoadResource(const std::string& name, std::vector<std::uint8_t>& data) {
  if (name.empty()) {
    return false;
  }
  HRSRC found = ::FindResourceA(nullptr, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (found == nullptr) {
    return false;
  }
  HGLOBAL loaded = ::LoadResource(nullptr, found);
  const DWORD size = ::SizeofResource(nullptr, found);
  const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (bytes == nullptr) {
    return false;
  }
  const auto* begin = static_cast<const std::uint8_t*>(bytes);
  data.assign(begin, begin + size);
  return true;
}

bool TPlatformaWin32::FileVersionString(const std::string& path, std::string& version) {
  if (!Dopuszczalna(path)) {
    return false;
  }
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) {
    return false;
  }
  std::vector<std::uint8_t> info(static_cast<std::size_t>(size) + 1, 0);
  if (!::GetFileVersionInfoA(path.c_str(), 0, size, info.data())) {
    return false;
  }
  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(info.data(), kBlokTlumaczen, &value, &length) || value == nullptr ||
      length < 4) {
    return false;
  }
  WORD pair[2];
  std::memcpy(pair, value, sizeof pair);
  const std::string subBlock = FileVersionSubBlock(pair[0], pair[1]);
  value = nullptr;
  length = 0;
  if (!::VerQueryValueA(info.data(), subBlock.c_str(), &value, &length) || value == nullptr) {
    return false;
  }
  version.assign(static_cast<const char*>(value), strnlen(static_cast<const char*>(value), length));
  return true;
}

namespace {

int CALLBACK DodajZestaw(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM context) {
  reinterpret_cast<std::vector<int>*>(context)->push_back(font->lfCharSet);
  return 1;
}

}  // namespace

std::vector<int> TPlatformaWin32::FontCharsets(const std::string& face) {
  std::vector<int> charsets;
  LOGFONTA query{};
  if (face.empty() || face.size() >= sizeof query.lfFaceName) {
    return charsets;
  }
  std::memcpy(query.lfFaceName, face.data(), face.size());
  query.lfCharSet = DEFAULT_CHARSET;
  const TUchwytDC screen = PobierzDC(nullptr);
  if (!screen.Get().dc) {
    return charsets;
  }
  ::EnumFontFamiliesExA(screen.Get().dc, &query, reinterpret_cast<FONTENUMPROCA>(&DodajZestaw),
                        reinterpret_cast<LPARAM>(&charsets), 0);
  return charsets;
}

}  // namespace orvala::platform
