// The platform's files and directories: listings, entries, files opened for reading or writing,
// deleting, renaming and replacing, attributes, drives. Part of TPlatforma (untPlatforma.h); a
// stand-in that only moves files implements this part alone.
//
// The file operations that fail for a reason the program tells apart (DeleteFile, RenameFile,
// ReplaceFile, OpenRead, CreateWrite) return it with their result (TWynik, TWynikPliku), so the
// reason cannot be asked too late or about another call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "textutil/untTekst.h"

namespace orvala::platform {

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

// The result of a file operation: done, or failed for a reason. Tested as a bool
// (`if (!os.DeleteFile(p))`); the reason of a failure travels with it.
class TWynik {
 public:
  constexpr TWynik() noexcept = default;  // done
  static constexpr TWynik Failed(TPrzyczynaBledu reason = TPrzyczynaBledu::Inna) noexcept {
    TWynik w;
    w.failed_ = true;
    w.reason_ = reason;
    return w;
  }
  explicit constexpr operator bool() const noexcept { return !failed_; }
  // Why it failed; Inna when it did not.
  constexpr TPrzyczynaBledu Reason() const noexcept { return reason_; }
  // Failed because another program holds the file.
  constexpr bool InUse() const noexcept {
    return failed_ && reason_ == TPrzyczynaBledu::PlikWUzyciu;
  }

 private:
  bool failed_ = false;
  TPrzyczynaBledu reason_ = TPrzyczynaBledu::Inna;
};

// The result of opening a file: the open file, or why there is none. A caller that only wants
// the file takes it as a std::unique_ptr (empty when the opening failed).
class TWynikPliku {
 public:
  template <typename T, typename = std::enable_if_t<std::is_convertible_v<T*, TPlikPlatformy*>>>
  TWynikPliku(std::unique_ptr<T> file) noexcept  // an empty one: failed (Inna)
      : file_(std::move(file)), result_(file_ ? TWynik() : TWynik::Failed()) {}
  // No file: failed for the reason of `failure` (Inna when it was given as done).
  TWynikPliku(TWynik failure) noexcept : result_(failure ? TWynik::Failed() : failure) {}

  explicit operator bool() const noexcept { return file_ != nullptr; }
  TPrzyczynaBledu Reason() const noexcept { return result_.Reason(); }
  bool InUse() const noexcept { return result_.InUse(); }
  TPlikPlatformy* operator->() const noexcept { return file_.get(); }
  TPlikPlatformy& operator*() const noexcept { return *file_; }
  friend bool operator==(const TWynikPliku& result, std::nullptr_t) noexcept {
    return result.file_ == nullptr;
  }
  operator std::unique_ptr<TPlikPlatformy>() && noexcept { return std::move(file_); }

 private:
  std::unique_ptr<TPlikPlatformy> file_;
  TWynik result_;
};

class TPlatformaPliki {
 public:
  virtual ~TPlatformaPliki() = default;

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
  virtual TWynik DeleteFile(const std::string& path) = 0;
  // Gives the entry another name (in the same folder or another one on the same drive); fails
  // when the new name is taken. A read-only or hidden file may be renamed and keeps its
  // attributes. A failure's reason is about `from`.
  virtual TWynik RenameFile(const std::string& from, const std::string& to) = 0;
  // `replacement` takes the place of `replaced` in one step (replaced may exist or not). A
  // failure's reason is about `replaced`.
  virtual TWynik ReplaceFile(const std::string& replacement, const std::string& replaced) = 0;
  // Gives an existing file or directory the attribute bits `attributes` of kAttrReadOnly,
  // kAttrHidden and kAttrSystem (0: none of them); other bits are ignored.
  virtual bool SetFileAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // Marks an existing file for deletion at the next restart of the system (it stays where it
  // is until then). False when it cannot be marked.
  virtual bool DeleteFileAtRestart(const std::string& path) = 0;
  // Writes every file's data the system still holds in memory for the volume of `path` to the
  // disk. False when it cannot (an account without administrator rights, a share).
  virtual bool FlushVolume(const std::string& path) = 0;
  // Copies a file; fails when `to` already exists.
  virtual bool CopyFileNoOverwrite(const std::string& from, const std::string& to) = 0;
  virtual TWynikPliku OpenRead(const std::string& path) = 0;
  // Creates the file, or truncates an existing one, for writing.
  virtual TWynikPliku CreateWrite(const std::string& path) = 0;
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
};

}  // namespace orvala::platform
