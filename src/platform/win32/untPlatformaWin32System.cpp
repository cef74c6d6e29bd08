// The Win32 platform: system folders and values, the program's own resources, file versions and
// fonts. Every buffer handed to the system has its size passed with it.
#include "platform/win32/untWindows.h"

#include <winver.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "platform/untBlokWersji.h"
#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untPlatformaWin32Wspolne.h"
#include "platform/win32/untUchwyty.h"

namespace orvala::platform {

using namespace win32;

namespace {

// The answer of a GetXxxDirectory-style call into a 261-character buffer of `Znak`, in UTF-8;
// empty on failure or when the answer did not fit.
template <typename Znak, typename F>
std::string Katalog(F call) {
  Znak buffer[kBufor] = {};
  const UINT n = call(buffer, kBufor);
  return n == 0 || n >= kBufor ? std::string() : ZSystemu(buffer);
}

}  // namespace

std::string TPlatformaWin32::WindowsDirectory() {
  if (SystemNt()) {
    return Katalog<wchar_t>([](wchar_t* b, UINT n) { return ::GetWindowsDirectoryW(b, n); });
  }
  return Katalog<char>([](char* b, UINT n) { return ::GetWindowsDirectoryA(b, n); });
}

std::string TPlatformaWin32::SystemDirectory() {
  if (SystemNt()) {
    return Katalog<wchar_t>([](wchar_t* b, UINT n) { return ::GetSystemDirectoryW(b, n); });
  }
  return Katalog<char>([](char* b, UINT n) { return ::GetSystemDirectoryA(b, n); });
}

std::string TPlatformaWin32::TempDirectory() {
  if (SystemNt()) {
    return Katalog<wchar_t>(
        [](wchar_t* b, UINT n) { return static_cast<UINT>(::GetTempPathW(n, b)); });
  }
  return Katalog<char>([](char* b, UINT n) { return static_cast<UINT>(::GetTempPathA(n, b)); });
}

std::string TPlatformaWin32::ModuleFileName() {
  if (SystemNt()) {
    return Katalog<wchar_t>(
        [](wchar_t* b, UINT n) { return static_cast<UINT>(::GetModuleFileNameW(nullptr, b, n)); });
  }
  return Katalog<char>(
      [](char* b, UINT n) { return static_cast<UINT>(::GetModuleFileNameA(nullptr, b, n)); });
}

std::uint32_t TPlatformaWin32::ThreadLocale() {
  return ::GetThreadLocale();
}

bool TPlatformaWin32::IsNtPlatform() {
  return SystemNt();
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

namespace {

// The version resource of a file, through the wide functions on an NT-family system.
bool BlokWersji(const TSciezka& p, std::vector<std::uint8_t>& info) {
  DWORD ignored = 0;
  const DWORD size = SystemNt() ? ::GetFileVersionInfoSizeW(p.W(), &ignored)
                                : ::GetFileVersionInfoSizeA(p.A(), &ignored);
  if (size == 0) {
    return false;
  }
  info.assign(static_cast<std::size_t>(size) + 1, 0);
  return (SystemNt() ? ::GetFileVersionInfoW(p.W(), 0, size, info.data())
                     : ::GetFileVersionInfoA(p.A(), 0, size, info.data())) != FALSE;
}

// A value of the version resource: its bytes and length (characters for a string).
bool Wartosc(std::vector<std::uint8_t>& info, const std::string& block, void*& value,
             UINT& length) {
  value = nullptr;
  length = 0;
  const BOOL ok = SystemNt() ? ::VerQueryValueW(info.data(), ZUtf8(block).c_str(), &value, &length)
                             : ::VerQueryValueA(info.data(), block.c_str(), &value, &length);
  return ok && value != nullptr;
}

}  // namespace

bool TPlatformaWin32::FileVersionString(const std::string& path, std::string& version) {
  const TSciezka p = Sciezka(path);
  std::vector<std::uint8_t> info;
  if (!p.ok || !BlokWersji(p, info)) {
    return false;
  }
  void* value = nullptr;
  UINT length = 0;
  if (!Wartosc(info, kBlokTlumaczen, value, length) || length < 4) {
    return false;
  }
  WORD pair[2];
  std::memcpy(pair, value, sizeof pair);
  if (!Wartosc(info, FileVersionSubBlock(pair[0], pair[1]), value, length)) {
    return false;
  }
  if (SystemNt()) {
    const auto* text = static_cast<const wchar_t*>(value);
    version = DoUtf8(std::wstring_view(text, wcsnlen(text, length)));
  } else {
    const auto* text = static_cast<const char*>(value);
    version = ZSystemu(std::string(text, strnlen(text, length)).c_str());
  }
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
