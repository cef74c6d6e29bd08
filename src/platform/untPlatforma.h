// The narrow interface between the setup program's engine and the operating system.
//
// The engine never calls the OS directly: it asks the process-wide platform (Platform()) for
// files, directories, the registry, shell folders and links, resources, versions, fonts and the
// locale. Two implementations exist: Win32 (the real one, src/platform/win32) and Host (a small
// stand-in over std::filesystem and memory, src/platform/host) that lets the engine, the tools
// and the tests run natively. A fault-injecting wrapper (untPlatformaAwarie.h) sits over either.
//
// Conventions:
//  - Paths are 8-bit strings that hold UTF-8, in Windows form ("C:\dir\file"), at most kMaxPath
//    UTF-16 characters; a longer path fails the call (false / empty), it never overruns
//    anything. Every name of a CD or a disk passes, whatever the system's ANSI code page. The
//    implementation alone converts them: to UTF-16 for the wide functions on an NT-family
//    system, to the ANSI code page on any other (where a path the code page cannot hold fails
//    the call, as the system could not take it either). WidenPath and NarrowPath are the
//    conversions for controls. 8-bit registry strings are held the same way (the program's are
//    paths or ASCII).
//  - Paths and names are compared as the file system compares them (FoldPath, SamePath), never
//    by a text table's case mapping.
//  - The ANSI code page decides one thing more: whether the package's own 8-bit programs can
//    be told a folder (AnsiCodePageHolds).
//  - Wide paths (TWideString, UTF-16) are used where the program builds texts in UTF-16:
//    shortcut files and the Start-menu group folder.
//  - Every call reports failure through its result; nothing throws.
//  - Handles (TPlikPlatformy, TKluczRejestru) are owning objects: destroying one closes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "textutil/untTekst.h"

namespace orvala::platform {

inline constexpr std::size_t kMaxPath = 260;

// The length of a path (UTF-8) in UTF-16 characters, as the system counts it against kMaxPath.
constexpr std::size_t PathLength(std::string_view path) {
  std::size_t n = 0;
  for (const char c : path) {
    const auto b = static_cast<unsigned char>(c);
    if ((b & 0xC0) != 0x80) {
      n += b >= 0xF0 ? 2 : 1;  // a character beyond the BMP is a surrogate pair
    }
  }
  return n;
}

// Attribute bits, with the values Windows uses.
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrReparsePoint = 0x400;  // a junction or a symbolic link

// One entry of a directory listing.
struct TWpisKatalogu {
  std::string name;          // file name only (UTF-8)
  std::uint32_t attributes;  // kAttr* bits
  std::uint64_t size;        // 64-bit size; 0 for directories
  // The last write time: 100 ns units since 1601 (as Windows keeps it); the host stand-in's
  // own clock there. Only ever compared with another reading of the same entry.
  std::uint64_t modified = 0;
  bool IsDirectory() const { return (attributes & kAttrDirectory) != 0; }
};

// An open untyped file. Read/Write report the bytes actually moved; Close is explicit so that
// a failing close can be reported, and the destructor closes quietly if Close was not called.
class TPlikPlatformy {
 public:
  virtual ~TPlikPlatformy() = default;
  // Reads up to `count` bytes; `got` = bytes read (0 at the end). False on an I/O error.
  virtual bool Read(void* buffer, std::size_t count, std::size_t& got) = 0;
  // Writes `count` bytes; `written` = bytes actually written (less on a short write).
  virtual bool Write(const void* buffer, std::size_t count, std::size_t& written) = 0;
  // Size of the file in bytes.
  virtual std::optional<std::uint64_t> Size() = 0;
  virtual bool Close() = 0;
};

// Drive types, with the values GetDriveType returns.
enum class TTypNapedu : unsigned {
  Unknown = 0,
  NoRootDir = 1,
  Removable = 2,
  Fixed = 3,
  Remote = 4,
  CdRom = 5,
  RamDisk = 6,
};

// Why a file operation failed, as far as the program tells failures apart.
enum class TPrzyczynaBledu {
  Inna,         // anything else (missing, refused, read-only, no space, ...)
  PlikWUzyciu,  // another program holds the file: a sharing or lock violation, or access
                // denied on a file that is not read-only (a running program's .exe)
};

enum class TKorzen { CurrentUser, LocalMachine };

inline constexpr std::uint32_t kKeyRead = 0x20019;       // KEY_READ
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;  // KEY_ALL_ACCESS

// An open registry key.
class TKluczRejestru {
 public:
  virtual ~TKluczRejestru() = default;
  // True and `value` set when the value exists and is a string; otherwise false, value untouched.
  virtual bool ReadString(const std::string& name, std::string& value) = 0;
  // The same for a REG_DWORD. The program only writes integers; reading them back is how both
  // implementations are held to storing DWORDs.
  virtual bool ReadInteger(const std::string& name, std::int32_t& value) = 0;
  virtual bool WriteString(const std::string& name, const std::string& value) = 0;
  // A UTF-16 string value (REG_SZ written through the wide API).
  virtual bool WriteWideString(const std::string& name, const TWideString& value) = 0;
  virtual bool WriteInteger(const std::string& name, std::int32_t value) = 0;  // REG_DWORD
  virtual bool WriteBool(const std::string& name, bool value) = 0;             // REG_DWORD 1 / 0
  virtual bool DeleteValue(const std::string& name) = 0;  // false when it is not there
  // The names of the key's values, in no particular order.
  virtual std::vector<std::string> ValueNames() = 0;
  // Writes the key's changes to the disk before it returns (the system writes them lazily,
  // seconds later, otherwise).
  virtual bool Flush() = 0;
  virtual bool Close() = 0;
};

// Shell special-folder numbers used by the program.
inline constexpr int kFolderDesktop = 0;
inline constexpr int kFolderPrograms = 2;
inline constexpr int kFolderCommonPrograms = 23;
inline constexpr int kFolderCommonDesktop = 25;

class TPlatforma {
 public:
  virtual ~TPlatforma() = default;

  // --- Files and directories -------------------------------------------------------------
  // Every entry of `directory` (no pattern, no trailing backslash needed), hidden and system
  // entries included, in the order the file system gives them; "." and ".." are listed as
  // Windows lists them (present except at a drive root). False when it cannot be enumerated.
  virtual bool ListDirectory(const std::string& directory, std::vector<TWpisKatalogu>& entries) = 0;
  // The entry that `path` names (as a directory search for that exact name would find it).
  virtual std::optional<TWpisKatalogu> FindEntry(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) = 0;       // an existing file, not a directory
  virtual bool DirectoryExists(const std::string& path) = 0;  // an existing directory
  virtual bool CreateDirectory(const std::string& path) = 0;  // one level; false if it exists
  virtual bool RemoveDirectory(const std::string& path) = 0;  // only an empty directory
  virtual bool DeleteFile(const std::string& path) = 0;
  // Gives the entry another name (in the same folder or another one on the same drive); fails
  // when the new name is taken. A read-only or hidden file may be renamed and keeps its
  // attributes.
  virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
  // `replacement` takes the place of `replaced` in one step (replaced may exist or not).
  virtual bool ReplaceFile(const std::string& replacement, const std::string& replaced) = 0;
  // Gives an existing file or directory the attribute bits `attributes` of kAttrReadOnly,
  // kAttrHidden and kAttrSystem (0: none of them); other bits are ignored.
  virtual bool SetFileAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // Why the file operation on `path` that has just failed (DeleteFile, RenameFile, ReplaceFile,
  // CreateWrite, OpenRead) failed. Asked right after the failing call, before any other call.
  virtual TPrzyczynaBledu FailureReason(const std::string& path) = 0;
  // Marks an existing file for deletion at the next restart of the system (it stays where it
  // is until then). False when it cannot be marked.
  virtual bool DeleteFileAtRestart(const std::string& path) = 0;
  // Writes every file's data the system still holds in memory for the volume of `path` to the
  // disk. False when it cannot (an account without administrator rights, a share).
  virtual bool FlushVolume(const std::string& path) = 0;
  // Copies a file; fails when `to` already exists.
  virtual bool CopyFileNoOverwrite(const std::string& from, const std::string& to) = 0;
  virtual std::unique_ptr<TPlikPlatformy> OpenRead(const std::string& path) = 0;
  // Creates the file, or truncates an existing one, for writing.
  virtual std::unique_ptr<TPlikPlatformy> CreateWrite(const std::string& path) = 0;
  // Free bytes available to the user on the volume that holds `folder`: an existing folder with
  // a trailing backslash (a drive root "C:\", a folder on it, a share "\\server\share\");
  // empty: the current drive.
  virtual std::optional<std::int64_t> FreeSpace(const std::string& folder) = 0;
  // Drive roots ("C:\", "D:\", ...) in the order the system gives them.
  virtual std::vector<std::string> LogicalDrives() = 0;
  virtual TTypNapedu DriveType(const std::string& root) = 0;
  // Wide-path twins for the UTF-16 folders of the Start-menu group.
  virtual bool CreateDirectoryWide(const TWideString& path) = 0;
  virtual bool DirectoryExistsWide(const TWideString& path) = 0;
  virtual bool FileExistsWide(const TWideString& path) = 0;

  // --- Paths as texts ------------------------------------------------------------------
  // A path as the UTF-16 text a control shows (every character kept).
  virtual TWideString WidenPath(std::string_view path) = 0;
  // A UTF-16 text (typed or shown) as a path: false, with U+FFFD in `narrow`, for a text that
  // is no path of this system (an unpaired surrogate; on a non-NT system, '?' for a character
  // that the ANSI code page lacks).
  virtual bool NarrowPath(const TWideString& path, std::string& narrow) = 0;
  // The path folded as the file system folds names (the key two spellings of one entry share).
  virtual std::string FoldPath(std::string_view path) = 0;
  bool SamePath(std::string_view a, std::string_view b) { return FoldPath(a) == FoldPath(b); }
  // Whether the system's ANSI code page holds every character of the path (always for 65001),
  // so that an 8-bit program can be told it.
  virtual bool AnsiCodePageHolds(std::string_view path) = 0;

  // --- Registry --------------------------------------------------------------------------
  // Opens `path` under `root` with `access`; creates missing keys only when `create` is true.
  virtual std::unique_ptr<TKluczRejestru> OpenKey(TKorzen root, const std::string& path,
                                                  std::uint32_t access, bool create) = 0;
  // Deletes the key `path` under `root` with its values (a key with subkeys is not deleted).
  // False when it does not exist or cannot be deleted.
  virtual bool RemoveKey(TKorzen root, const std::string& path) = 0;

  // --- The user served ------------------------------------------------------------------
  // When the user logged on to the session (the owner of the shell) is not the account the
  // program runs as (an administrator's password typed at the elevation prompt, "Run as"),
  // the per-user registry (TKorzen::CurrentUser) and the per-user special folders become that
  // user's from now on: what an installation leaves for its user reaches the user at the
  // screen, as after an elevation of the user's own. True when they did; false when the two
  // are one, or when it cannot be told (then nothing changes).
  virtual bool ServeLoggedOnUser() = 0;

  // --- Shell -----------------------------------------------------------------------------
  // The folder's path as the shell reports it (no trailing backslash added); empty on failure.
  virtual TWideString SpecialFolder(int folder) = 0;
  // A shell link at `linkPath` to `target`, with working directory and description (the
  // UTF-16 text the shell shows as its tooltip). False when the link object or one of its
  // interfaces cannot be had.
  virtual bool CreateShellLink(const std::string& target, const std::string& workingDirectory,
                               const TWideString& linkPath, const TWideString& description) = 0;

  // --- System ----------------------------------------------------------------------------
  virtual std::string WindowsDirectory() = 0;  // empty on failure
  virtual std::string SystemDirectory() = 0;   // empty on failure
  virtual std::string TempDirectory() = 0;     // with trailing backslash; empty on failure
  virtual std::string ModuleFileName() = 0;    // full path of the running program
  virtual std::uint32_t ThreadLocale() = 0;    // LCID, e.g. 1045 Polish, 1049 Russian
  virtual bool IsNtPlatform() = 0;
  // Waits (the thread sleeps) for about `milliseconds`.
  virtual void Pause(std::uint32_t milliseconds) = 0;
  // The running process, as a text that names it alone among all processes of the machine
  // until it restarts (its id and its start time).
  virtual std::string ProcessIdentity() = 0;
  // Whether the process that a ProcessIdentity text names is still running. A process that
  // cannot be asked (another user's) counts as running.
  virtual bool ProcessAlive(const std::string& identity) = 0;

  // --- Program resources, file versions, fonts -------------------------------------------
  // The RCDATA resource `name` of the program's own module, whole. False when missing.
  virtual bool LoadResource(const std::string& name, std::vector<std::uint8_t>& data) = 0;
  // The "FileVersion" string of the first translation of the file's version resource.
  virtual bool FileVersionString(const std::string& path, std::string& version) = 0;
  // The character-set numbers the system reports for each font of face `face`, in order.
  virtual std::vector<int> FontCharsets(const std::string& face) = 0;
};

// The process-wide platform. The program entry installs the Win32 one; tests and tools install
// a host one (or a fault-injecting wrapper) with TZasiegPlatformy.
TPlatforma& Platform();
void SetPlatform(TPlatforma* platform);

// Installs a platform for the lifetime of the scope and restores the previous one after it.
class TZasiegPlatformy {
 public:
  explicit TZasiegPlatformy(TPlatforma& platform);
  ~TZasiegPlatformy();
  TZasiegPlatformy(const TZasiegPlatformy&) = delete;
  TZasiegPlatformy& operator=(const TZasiegPlatformy&) = delete;

 private:
  TPlatforma* previous_;
};

}  // namespace orvala::platform
