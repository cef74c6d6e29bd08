// The Win32 implementation of the platform.
//
// Divisions: path checks; directory listings; files and directories; open files; drives; wide
// paths; paths as texts; registry; shell folders and links; system values; resources, versions and
// fonts. Every path is checked against kMaxPath before it reaches the system, and every buffer
// handed to the system has its size passed with it.
#include "platform/win32/untWindows.h"

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <winver.h>

#include <cstring>

#include "platform/untBlokWersji.h"
#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untUchwyty.h"

namespace orvala::platform {

using namespace win32;

namespace {

// --- Path checks -----------------------------------------------------------------------------

constexpr DWORD kBufor = kMaxPath + 1;  // 261-character buffers for the system calls

bool Dopuszczalna(const std::string& path) {
  return !path.empty() && path.size() <= kMaxPath && path.find('\0') == std::string::npos;
}
bool Dopuszczalna(const TWideString& path) {
  return !path.empty() && path.size() <= kMaxPath && path.find(u'\0') == TWideString::npos;
}
bool KonczySieUkosnikiem(const std::string& path) {
  return !path.empty() && path.back() == '\\';
}

std::wstring Szeroki(const TWideString& text) {
  return std::wstring(text.begin(), text.end());
}

// An 8-bit text of the ANSI code page in UTF-16 (value names, non-NT shell folders).
std::wstring ZAnsi(const std::string& text) {
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

DWORD Atrybuty(const std::string& path) {
  return Dopuszczalna(path) ? ::GetFileAttributesA(path.c_str()) : INVALID_FILE_ATTRIBUTES;
}

TWpisKatalogu Wpis(const WIN32_FIND_DATAA& data) {
  return TWpisKatalogu{data.cFileName, data.dwFileAttributes,
                       (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
}

}  // namespace

// --- Directory listings --------------------------------------------------------------------------

bool TPlatformaWin32::ListDirectory(const std::string& directory,
                                    std::vector<TWpisKatalogu>& entries) {
  std::string pattern = directory;
  while (KonczySieUkosnikiem(pattern)) {
    pattern.pop_back();
  }
  pattern += "\\*";
  if (!Dopuszczalna(directory) || !Dopuszczalna(pattern)) {
    return false;
  }
  WIN32_FIND_DATAA data;
  TUchwytWyszukiwania find(::FindFirstFileA(pattern.c_str(), &data));
  if (!find) {
    // An empty drive root has no entries at all, not even "." and "..".
    const bool empty = ::GetLastError() == ERROR_FILE_NOT_FOUND && DirectoryExists(directory);
    if (empty) {
      entries.clear();
    }
    return empty;
  }
  std::vector<TWpisKatalogu> found;
  do {
    found.push_back(Wpis(data));
  } while (::FindNextFileA(find.Get(), &data));
  if (::GetLastError() != ERROR_NO_MORE_FILES) {
    return false;
  }
  entries = std::move(found);
  return true;
}

std::optional<TWpisKatalogu> TPlatformaWin32::FindEntry(const std::string& path) {
  if (!Dopuszczalna(path) || KonczySieUkosnikiem(path) ||
      path.find_first_of("*?") != std::string::npos) {
    return std::nullopt;
  }
  WIN32_FIND_DATAA data;
  TUchwytWyszukiwania find(::FindFirstFileA(path.c_str(), &data));
  if (!find) {
    return std::nullopt;
  }
  return Wpis(data);
}

// --- Files and directories ---------------------------------------------------------------------

bool TPlatformaWin32::FileExists(const std::string& path) {
  const DWORD a = KonczySieUkosnikiem(path) ? INVALID_FILE_ATTRIBUTES : Atrybuty(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool TPlatformaWin32::DirectoryExists(const std::string& path) {
  const DWORD a = Atrybuty(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool TPlatformaWin32::CreateDirectory(const std::string& path) {
  return Dopuszczalna(path) && ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool TPlatformaWin32::RemoveDirectory(const std::string& path) {
  return Dopuszczalna(path) && ::RemoveDirectoryA(path.c_str()) != FALSE;
}

bool TPlatformaWin32::DeleteFile(const std::string& path) {
  return Dopuszczalna(path) && !KonczySieUkosnikiem(path) && ::DeleteFileA(path.c_str()) != FALSE;
}

bool TPlatformaWin32::RenameFile(const std::string& from, const std::string& to) {
  return Dopuszczalna(from) && Dopuszczalna(to) &&
         ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED) != FALSE;
}

bool TPlatformaWin32::ReplaceFile(const std::string& replacement, const std::string& replaced) {
  return Dopuszczalna(replacement) && Dopuszczalna(replaced) &&
         ::MoveFileExA(replacement.c_str(), replaced.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool TPlatformaWin32::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
  const DWORD bits = attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem);
  return Dopuszczalna(path) &&
         ::SetFileAttributesA(path.c_str(), bits != 0 ? bits : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

bool TPlatformaWin32::CopyFileNoOverwrite(const std::string& from, const std::string& to) {
  return Dopuszczalna(from) && Dopuszczalna(to) &&
         ::CopyFileA(from.c_str(), to.c_str(), TRUE) != FALSE;
}

// --- Open files ------------------------------------------------------------------------------

namespace {

class TPlikWin32 final : public TPlikPlatformy {
 public:
  explicit TPlikWin32(TUchwytPliku handle) : handle_(std::move(handle)) {}

  bool Read(void* buffer, std::size_t count, std::size_t& got) override {
    got = 0;
    DWORD n = 0;
    if (!handle_ || count > MAXDWORD ||
        !::ReadFile(handle_.Get(), buffer, static_cast<DWORD>(count), &n, nullptr)) {
      return false;
    }
    got = n;
    return true;
  }
  bool Write(const void* buffer, std::size_t count, std::size_t& written) override {
    written = 0;
    DWORD n = 0;
    if (!handle_ || count > MAXDWORD ||
        !::WriteFile(handle_.Get(), buffer, static_cast<DWORD>(count), &n, nullptr)) {
      return false;
    }
    written = n;
    return written == count;
  }
  std::optional<std::uint64_t> Size() override {
    LARGE_INTEGER size;
    if (!handle_ || !::GetFileSizeEx(handle_.Get(), &size)) {
      return std::nullopt;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
  }
  bool Close() override {
    const HANDLE h = handle_.Release();
    return h != INVALID_HANDLE_VALUE && ::CloseHandle(h) != FALSE;
  }

 private:
  TUchwytPliku handle_;
};

std::unique_ptr<TPlikPlatformy> Otworz(const std::string& path, DWORD access, DWORD share,
                                       DWORD disposition) {
  if (!Dopuszczalna(path) || KonczySieUkosnikiem(path)) {
    return nullptr;
  }
  TUchwytPliku h(::CreateFileA(path.c_str(), access, share, nullptr, disposition,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) {
    return nullptr;
  }
  return std::make_unique<TPlikWin32>(std::move(h));
}

}  // namespace

std::unique_ptr<TPlikPlatformy> TPlatformaWin32::OpenRead(const std::string& path) {
  return Otworz(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
}

std::unique_ptr<TPlikPlatformy> TPlatformaWin32::CreateWrite(const std::string& path) {
  // Windows refuses CREATE_ALWAYS with normal attributes over a read-only, hidden or system
  // file. Wine running as root overwrites them all the same, so the rule is checked here too:
  // one behaviour on every system the program and its tests run on.
  const DWORD existing = Atrybuty(path);
  if (existing != INVALID_FILE_ATTRIBUTES &&
      (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return Otworz(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
}

// --- Drives ------------------------------------------------------------------------------------

std::optional<std::int64_t> TPlatformaWin32::FreeSpace(int drive) {
  if (drive < 0 || drive > 26) {
    return std::nullopt;
  }
  const std::string root = std::string(1, static_cast<char>('A' + drive - 1)) + ":\\";
  ULARGE_INTEGER available;
  ULARGE_INTEGER total;
  ULARGE_INTEGER free;
  if (!::GetDiskFreeSpaceExA(drive == 0 ? nullptr : root.c_str(), &available, &total, &free)) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(available.QuadPart);
}

std::vector<std::string> TPlatformaWin32::LogicalDrives() {
  constexpr DWORD kRozmiar = 5000;
  std::vector<char> buffer(kRozmiar + 1, '\0');
  const DWORD n = ::GetLogicalDriveStringsA(kRozmiar, buffer.data());
  std::vector<std::string> roots;
  if (n == 0 || n > kRozmiar) {
    return roots;
  }
  for (const char* p = buffer.data(); *p != '\0'; p += std::strlen(p) + 1) {
    roots.emplace_back(p);
  }
  return roots;
}

TTypNapedu TPlatformaWin32::DriveType(const std::string& root) {
  if (!Dopuszczalna(root)) {
    return TTypNapedu::NoRootDir;
  }
  return static_cast<TTypNapedu>(::GetDriveTypeA(root.c_str()));
}

// --- Wide paths --------------------------------------------------------------------------------

bool TPlatformaWin32::CreateDirectoryWide(const TWideString& path) {
  return Dopuszczalna(path) && ::CreateDirectoryW(Szeroki(path).c_str(), nullptr) != FALSE;
}

bool TPlatformaWin32::DirectoryExistsWide(const TWideString& path) {
  const DWORD a =
      Dopuszczalna(path) ? ::GetFileAttributesW(Szeroki(path).c_str()) : INVALID_FILE_ATTRIBUTES;
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool TPlatformaWin32::FileExistsWide(const TWideString& path) {
  if (!Dopuszczalna(path) || path.back() == u'\\') {
    return false;
  }
  const DWORD a = ::GetFileAttributesW(Szeroki(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// --- Paths as texts ------------------------------------------------------------------------------

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

// --- Registry ------------------------------------------------------------------------------------

namespace {

class TKluczWin32 final : public TKluczRejestru {
 public:
  explicit TKluczWin32(TUchwytKlucza key) : key_(std::move(key)) {}

  bool ReadString(const std::string& name, std::string& value) override {
    DWORD type = 0;
    DWORD size = 0;
    if (!key_ ||
        ::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      return false;
    }
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    if (::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      return false;
    }
    // The stored data need not end with its NUL; the extra byte guarantees one.
    value.assign(buffer.data(), strnlen(buffer.data(), std::min<std::size_t>(size, buffer.size())));
    return true;
  }
  bool ReadInteger(const std::string& name, std::int32_t& value) override {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (!key_ ||
        ::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                           &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data) {
      return false;
    }
    value = static_cast<std::int32_t>(data);
    return true;
  }
  bool WriteString(const std::string& name, const std::string& value) override {
    return key_ && ::RegSetValueExA(key_.Get(), name.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  }
  bool WriteWideString(const std::string& name, const TWideString& value) override {
    const std::wstring wide = Szeroki(value);
    return key_ && ::RegSetValueExW(key_.Get(), ZAnsi(name).c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(wide.c_str()),
                                    static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) ==
                       ERROR_SUCCESS;
  }
  bool WriteInteger(const std::string& name, std::int32_t value) override {
    const DWORD data = static_cast<DWORD>(value);
    return key_ &&
           ::RegSetValueExA(key_.Get(), name.c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
  }
  bool WriteBool(const std::string& name, bool value) override {
    return WriteInteger(name, value ? 1 : 0);
  }
  bool Close() override {
    const HKEY key = key_.Release();
    return key != nullptr && ::RegCloseKey(key) == ERROR_SUCCESS;
  }

 private:
  TUchwytKlucza key_;
};

}  // namespace

std::unique_ptr<TKluczRejestru> TPlatformaWin32::OpenKey(TKorzen root, const std::string& path,
                                                         std::uint32_t access, bool create) {
  const HKEY hive = root == TKorzen::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  TUchwytKlucza key;
  LONG result = ERROR_SUCCESS;
  if (create) {
    DWORD disposition = 0;
    result = ::RegCreateKeyExA(hive, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               static_cast<REGSAM>(access), nullptr, key.Put(), &disposition);
  } else {
    result = ::RegOpenKeyExA(hive, path.c_str(), 0, static_cast<REGSAM>(access), key.Put());
  }
  if (result != ERROR_SUCCESS || !key) {
    return nullptr;
  }
  return std::make_unique<TKluczWin32>(std::move(key));
}

// --- Shell -------------------------------------------------------------------------------------

TWideString TPlatformaWin32::SpecialFolder(int folder) {
  if (IsNtPlatform()) {
    wchar_t path[MAX_PATH + 1] = {};
    if (::SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
      return TWideString();
    }
    path[MAX_PATH] = L'\0';
    return TWideString(path, path + wcslen(path));
  }
  char path[MAX_PATH + 1] = {};
  if (::SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
    return TWideString();
  }
  path[MAX_PATH] = '\0';
  const std::wstring wide = ZAnsi(path);
  return TWideString(wide.begin(), wide.end());
}

namespace {

// COM for the calling thread for the length of one call (when it was not initialised yet).
class TZasiegCom {
 public:
  TZasiegCom() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~TZasiegCom() {
    if (SUCCEEDED(result_)) {
      ::CoUninitialize();
    }
  }
  TZasiegCom(const TZasiegCom&) = delete;
  TZasiegCom& operator=(const TZasiegCom&) = delete;
  bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

}  // namespace

bool TPlatformaWin32::CreateShellLink(const std::string& target,
                                      const std::string& workingDirectory,
                                      const TWideString& linkPath, const std::string& description) {
  if (!Dopuszczalna(target) || workingDirectory.size() > kMaxPath || !Dopuszczalna(linkPath)) {
    return false;
  }
  const TZasiegCom com;
  if (!com.Usable()) {
    return false;
  }
  TWskaznikCom<IShellLinkA> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.Put()))) ||
      !link) {
    return false;
  }
  if (FAILED(link.Get()->SetPath(target.c_str())) ||
      FAILED(link.Get()->SetWorkingDirectory(workingDirectory.c_str())) ||
      FAILED(link.Get()->SetDescription(description.c_str()))) {
    return false;
  }
  TWskaznikCom<IPersistFile> file;
  if (FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()))) ||
      !file) {
    return false;
  }
  return SUCCEEDED(file.Get()->Save(Szeroki(linkPath).c_str(), FALSE));
}

// --- System values -----------------------------------------------------------------------------

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
