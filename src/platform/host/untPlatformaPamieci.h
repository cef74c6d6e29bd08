// The host stand-in with its files in memory: the same rules of Windows paths, names and
// attributes as TPlatformaHost, but every drive, folder and file lives in this object, so that
// fuzzers and tests run without touching the disk.
//
// Everything but files and directories (registry, shell folders, system values, resources, set
// file versions, fonts, the locale) is TPlatformaHost's own. Drives are added with AddDrive;
// the host folders of MapDrive are not used. Shell links are recorded as small text files at the
// link path, as TPlatformaHost writes them, and listed by Links() of this class. A file version
// not set with SetFileVersion is read from the file's bytes as a PE image.
//
// What it does not model beyond TPlatformaHost: files larger than memory (no sparse files),
// and an open file keeps the bytes it was opened on when the entry is deleted or replaced.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/untPlatformaHost.h"

namespace orvala::platform {

class TPlatformaPamieci : public TPlatformaHost {
 public:
  TPlatformaPamieci();
  ~TPlatformaPamieci() override;

  // --- Settings --------------------------------------------------------------------------
  // Drive `letter` exists, empty, with the given type and free space.
  void AddDrive(char letter, TTypNapedu type = TTypNapedu::Fixed,
                std::optional<std::int64_t> freeSpace = std::int64_t{1} << 33);
  // Removes every file and directory, keeping the drives empty (a fuzzer's fresh start).
  void ClearFiles();
  // Puts a whole file (its directory must exist); false when the path cannot hold a file.
  bool PutFile(const std::string& path, std::vector<std::uint8_t> data);
  // The bytes of an existing file, or nullopt.
  std::optional<std::vector<std::uint8_t>> FileBytes(const std::string& path) const;
  const std::vector<TSkrotHost>& MemoryLinks() const;

  // --- TPlatforma: files and directories -------------------------------------------------
  bool ListDirectory(const std::string& directory, std::vector<TWpisKatalogu>& entries) override;
  std::optional<TWpisKatalogu> FindEntry(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  TWynik DeleteFile(const std::string& path) override;
  TWynik RenameFile(const std::string& from, const std::string& to) override;
  TWynik ReplaceFile(const std::string& replacement, const std::string& replaced) override;
  bool SetFileAttributes(const std::string& path, std::uint32_t attributes) override;
  bool CopyFileNoOverwrite(const std::string& from, const std::string& to) override;
  TWynikPliku OpenRead(const std::string& path) override;
  TWynikPliku CreateWrite(const std::string& path) override;
  std::optional<std::int64_t> FreeSpace(const std::string& folder) override;
  std::vector<std::string> LogicalDrives() override;
  TTypNapedu DriveType(const std::string& root) override;
  bool CreateDirectoryWide(const TWideString& path) override;
  bool DirectoryExistsWide(const TWideString& path) override;
  bool FileExistsWide(const TWideString& path) override;
  bool CreateShellLink(const std::string& target, const std::string& workingDirectory,
                       const TWideString& linkPath, const TWideString& description) override;
  bool FileVersionString(const std::string& path, std::string& version) override;

 private:
  struct TPliki;
  std::unique_ptr<TPliki> pliki_;
};

}  // namespace orvala::platform
