// The Win32 platform: directory listings, files and directories, open files, drives and the
// wide-path twins. Every path is checked against kMaxPath before it reaches the system.
#include "platform/win32/untWindows.h"

#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untPlatformaWin32Wspolne.h"
#include "platform/win32/untUchwyty.h"

namespace orvala::platform {

using namespace win32;

namespace {

DWORD Atrybuty(const std::string& path) {
  const TSciezka p = Sciezka(path);
  if (!p.ok) {
    return INVALID_FILE_ATTRIBUTES;
  }
  return SystemNt() ? ::GetFileAttributesW(p.W()) : ::GetFileAttributesA(p.A());
}

template <typename Dane>
TWpisKatalogu Wpis(const Dane& data) {
  return TWpisKatalogu{ZSystemu(data.cFileName), data.dwFileAttributes,
                       (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                       (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                           data.ftLastWriteTime.dwLowDateTime};
}

// One directory search, through FindFirstFileW on an NT-family system, FindFirstFileA on any
// other.
class TWyszukiwanie {
 public:
  explicit TWyszukiwanie(const TSciezka& pattern) {
    if (SystemNt()) {
      find_.Reset(::FindFirstFileW(pattern.W(), &wide_));
    } else {
      find_.Reset(::FindFirstFileA(pattern.A(), &ansi_));
    }
  }
  bool Found() const { return static_cast<bool>(find_); }
  TWpisKatalogu Entry() const { return SystemNt() ? Wpis(wide_) : Wpis(ansi_); }
  bool Next() {
    return SystemNt() ? ::FindNextFileW(find_.Get(), &wide_) != FALSE
                      : ::FindNextFileA(find_.Get(), &ansi_) != FALSE;
  }

 private:
  TUchwytWyszukiwania find_;
  WIN32_FIND_DATAW wide_{};
  WIN32_FIND_DATAA ansi_{};
};

}  // namespace

// --- Directory listings --------------------------------------------------------------------------

bool TPlatformaWin32::ListDirectory(const std::string& directory,
                                    std::vector<TWpisKatalogu>& entries) {
  std::string pattern = directory;
  while (KonczySieUkosnikiem(pattern)) {
    pattern.pop_back();
  }
  pattern += "\\*";
  const TSciezka p = Sciezka(pattern);
  if (!Sciezka(directory).ok || !p.ok) {
    return false;
  }
  TWyszukiwanie find(p);
  if (!find.Found()) {
    // An empty drive root has no entries at all, not even "." and "..".
    const bool empty = ::GetLastError() == ERROR_FILE_NOT_FOUND && DirectoryExists(directory);
    if (empty) {
      entries.clear();
    }
    return empty;
  }
  std::vector<TWpisKatalogu> found;
  do {
    found.push_back(find.Entry());
  } while (find.Next());
  if (::GetLastError() != ERROR_NO_MORE_FILES) {
    return false;
  }
  entries = std::move(found);
  return true;
}

std::optional<TWpisKatalogu> TPlatformaWin32::FindEntry(const std::string& path) {
  const TSciezka p = Sciezka(path);
  if (!p.ok || KonczySieUkosnikiem(path) || path.find_first_of("*?") != std::string::npos) {
    return std::nullopt;
  }
  const TWyszukiwanie find(p);
  if (!find.Found()) {
    return std::nullopt;
  }
  return find.Entry();
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
  const TSciezka p = Sciezka(path);
  return p.ok && (SystemNt() ? ::CreateDirectoryW(p.W(), nullptr)
                             : ::CreateDirectoryA(p.A(), nullptr)) != FALSE;
}

bool TPlatformaWin32::RemoveDirectory(const std::string& path) {
  const TSciezka p = Sciezka(path);
  return p.ok && (SystemNt() ? ::RemoveDirectoryW(p.W()) : ::RemoveDirectoryA(p.A())) != FALSE;
}

TWynik TPlatformaWin32::DeleteFile(const std::string& path) {
  const TSciezka p = Sciezka(path);
  return Wynik(p.ok && !KonczySieUkosnikiem(path) &&
                   (SystemNt() ? ::DeleteFileW(p.W()) : ::DeleteFileA(p.A())) != FALSE,
               path);
}

namespace {

bool Przenies(const std::string& from, const std::string& to, DWORD flags) {
  const TSciezka a = Sciezka(from);
  const TSciezka b = Sciezka(to);
  return a.ok && b.ok &&
         (SystemNt() ? ::MoveFileExW(a.W(), b.W(), flags) : ::MoveFileExA(a.A(), b.A(), flags)) !=
             FALSE;
}

}  // namespace

TWynik TPlatformaWin32::RenameFile(const std::string& from, const std::string& to) {
  return Wynik(Przenies(from, to, MOVEFILE_COPY_ALLOWED), from);
}

TWynik TPlatformaWin32::ReplaceFile(const std::string& replacement, const std::string& replaced) {
  return Wynik(Przenies(replacement, replaced, MOVEFILE_REPLACE_EXISTING), replaced);
}

bool TPlatformaWin32::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
  const DWORD bits = attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem);
  const DWORD value = bits != 0 ? bits : FILE_ATTRIBUTE_NORMAL;
  const TSciezka p = Sciezka(path);
  return p.ok && (SystemNt() ? ::SetFileAttributesW(p.W(), value)
                             : ::SetFileAttributesA(p.A(), value)) != FALSE;
}

bool TPlatformaWin32::CopyFileNoOverwrite(const std::string& from, const std::string& to) {
  const TSciezka a = Sciezka(from);
  const TSciezka b = Sciezka(to);
  return a.ok && b.ok &&
         (SystemNt() ? ::CopyFileW(a.W(), b.W(), TRUE) : ::CopyFileA(a.A(), b.A(), TRUE)) != FALSE;
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

TWynikPliku Otworz(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  const TSciezka p = Sciezka(path);
  if (!p.ok || KonczySieUkosnikiem(path)) {
    return Wynik(false, path);
  }
  TUchwytPliku h(SystemNt() ? ::CreateFileW(p.W(), access, share, nullptr, disposition,
                                            FILE_ATTRIBUTE_NORMAL, nullptr)
                            : ::CreateFileA(p.A(), access, share, nullptr, disposition,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) {
    return Wynik(false, path);
  }
  return std::make_unique<TPlikWin32>(std::move(h));
}

}  // namespace

TWynikPliku TPlatformaWin32::OpenRead(const std::string& path) {
  return Otworz(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
}

TWynikPliku TPlatformaWin32::CreateWrite(const std::string& path) {
  // Windows refuses CREATE_ALWAYS with normal attributes over a read-only, hidden or system
  // file. Wine running as root overwrites them all the same, so the rule is checked here too:
  // one behaviour on every system the program and its tests run on.
  const DWORD existing = Atrybuty(path);
  if (existing != INVALID_FILE_ATTRIBUTES &&
      (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return Wynik(false, path);
  }
  return Otworz(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
}

// --- Drives ------------------------------------------------------------------------------------

// Measured at the folder itself, not at its drive's root: a share or a volume mounted in a
// folder has space of its own. GetDiskFreeSpaceEx wants a trailing backslash on a share.
std::optional<std::int64_t> TPlatformaWin32::FreeSpace(const std::string& folder) {
  ULARGE_INTEGER available;
  ULARGE_INTEGER total;
  ULARGE_INTEGER free;
  BOOL got = FALSE;
  if (folder.empty()) {  // the current drive
    got = SystemNt() ? ::GetDiskFreeSpaceExW(nullptr, &available, &total, &free)
                     : ::GetDiskFreeSpaceExA(nullptr, &available, &total, &free);
  } else {
    const TSciezka p = Sciezka(folder);
    if (!p.ok || !KonczySieUkosnikiem(folder)) {
      return std::nullopt;
    }
    got = SystemNt() ? ::GetDiskFreeSpaceExW(p.W(), &available, &total, &free)
                     : ::GetDiskFreeSpaceExA(p.A(), &available, &total, &free);
  }
  if (!got) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(available.QuadPart);
}

namespace {

// The roots in a NUL-separated list that ends with an empty string, of `Znak` characters.
template <typename Znak, typename F>
std::vector<std::string> Korzenie(F call) {
  constexpr DWORD kRozmiar = 5000;
  std::vector<Znak> buffer(kRozmiar + 1, Znak{});
  const DWORD n = call(kRozmiar, buffer.data());
  std::vector<std::string> roots;
  if (n == 0 || n > kRozmiar) {
    return roots;
  }
  for (const Znak* p = buffer.data(); *p != Znak{};) {
    roots.push_back(ZSystemu(p));
    while (*p != Znak{}) {
      ++p;
    }
    ++p;
  }
  return roots;
}

}  // namespace

std::vector<std::string> TPlatformaWin32::LogicalDrives() {
  if (SystemNt()) {
    return Korzenie<wchar_t>([](DWORD n, wchar_t* b) { return ::GetLogicalDriveStringsW(n, b); });
  }
  return Korzenie<char>([](DWORD n, char* b) { return ::GetLogicalDriveStringsA(n, b); });
}

TTypNapedu TPlatformaWin32::DriveType(const std::string& root) {
  const TSciezka p = Sciezka(root);
  if (!p.ok) {
    return TTypNapedu::NoRootDir;
  }
  return static_cast<TTypNapedu>(SystemNt() ? ::GetDriveTypeW(p.W()) : ::GetDriveTypeA(p.A()));
}

// --- Wide paths --------------------------------------------------------------------------------

bool TPlatformaWin32::CreateDirectoryWide(const TWideString& path) {
  return Dopuszczalna(path) && ::CreateDirectoryW(WideChars(path), nullptr) != FALSE;
}

bool TPlatformaWin32::DirectoryExistsWide(const TWideString& path) {
  const DWORD a =
      Dopuszczalna(path) ? ::GetFileAttributesW(WideChars(path)) : INVALID_FILE_ATTRIBUTES;
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool TPlatformaWin32::FileExistsWide(const TWideString& path) {
  if (!Dopuszczalna(path) || path.back() == u'\\') {
    return false;
  }
  const DWORD a = ::GetFileAttributesW(WideChars(path));
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace orvala::platform
