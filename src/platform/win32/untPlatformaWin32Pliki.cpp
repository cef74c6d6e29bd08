// The Win32 platform: directory listings, files and directories, open files, drives and the
// wide-path twins. Every path is checked against kMaxPath before it reaches the system.
#include "platform/win32/untWindows.h"

#include <cstring>

#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untPlatformaWin32Wspolne.h"
#include "platform/win32/untUchwyty.h"

namespace orvala::platform {

using namespace win32;

namespace {

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

// Measured at the folder itself, not at its drive's root: a share or a volume mounted in a
// folder has space of its own. GetDiskFreeSpaceEx wants a trailing backslash on a share.
std::optional<std::int64_t> TPlatformaWin32::FreeSpace(const std::string& folder) {
  if (!folder.empty() && (!Dopuszczalna(folder) || !KonczySieUkosnikiem(folder))) {
    return std::nullopt;
  }
  ULARGE_INTEGER available;
  ULARGE_INTEGER total;
  ULARGE_INTEGER free;
  const std::wstring wide = ZAnsi(folder);
  const BOOL got = IsNtPlatform() ? ::GetDiskFreeSpaceExW(folder.empty() ? nullptr : wide.c_str(),
                                                          &available, &total, &free)
                                  : ::GetDiskFreeSpaceExA(folder.empty() ? nullptr : folder.c_str(),
                                                          &available, &total, &free);
  if (!got) {
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

}  // namespace orvala::platform
