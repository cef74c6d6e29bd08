// The host stand-in of the platform: just enough Windows to run the engine, the tools and the
// tests natively (and under Wine, since it uses only the C++ standard library).
//
//  - Drive letters map to host folders; names are resolved case-insensitively (FoldCase), and
//    host names (UTF-8) are the engine's names as they are. The ANSI code page, a setting
//    (Windows-1250 unless SetAnsiCodePage says otherwise: 1250, 1251 or UTF-8), decides only
//    what it decides on Windows: AnsiCodePageHolds, and every path of a non-NT platform (one
//    it cannot hold fails the call; a listed name shows '?' for what it lacks).
//  - Read-only, hidden and system attributes are kept in a side table (the host file system
//    has none).
//  - The registry lives in memory; shell folders, system directories, the locale, resources,
//    file versions and font charsets come from settings made by the test or the tool.
//  - Shell links are recorded as small text files at the link path.
//  - File versions: a path set with SetFileVersion answers with that string; any other file is
//    read as a PE image and its VS_VERSIONINFO resource queried as VerQueryValue would.
//
// Rules of Windows it keeps (the conformance suite checks them against the real platform):
// "." and ".." below a drive root only; a trailing backslash names a directory only; paths
// longer than kMaxPath, relative, UNC or with a character Windows refuses in names fail;
// CreateWrite refuses a directory and a read-only, hidden or system file; DeleteFile refuses a
// read-only file; RenameFile refuses an existing target and keeps the attributes of what it
// renames; a registry key opened with read access takes no writes, and a key deleted while open
// takes nothing at all.
//
// What it does not model: other code pages; short 8.3 names, trailing dots and spaces,
// device names (CON, NUL) and wildcards in names; a current directory; sharing and locking of open
// files (no failure's reason says a file is in use: the fault-injecting wrapper makes that
// failure); deletion at restart beyond recording it (PendingDeletions); time stamps; attributes are
// per platform object, not stored on the host; registry types other than strings and DWORDs, key
// security and persistence; real .lnk files.
//
// Defaults before any setting: no drives, Windows "C:\WINDOWS", system
// "C:\WINDOWS\system32", temporary "C:\WINDOWS\TEMP\", program "C:\Instalator.exe",
// locale 1045, an NT platform, no shell folders, resources, versions or fonts.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/untPlatforma.h"
#include "textutil/untKodowanie.h"

namespace orvala::platform {

// A registry value as kept in memory.
struct TWartoscRejestru {
  enum class TTyp { String, Dword } type;
  std::string text;  // String: UTF-8, whether written through the 8-bit or the wide call
  std::int32_t number = 0;
};

// A shell link as recorded by CreateShellLink.
struct TSkrotHost {
  TWideString linkPath;
  std::string target;
  std::string workingDirectory;
  TWideString description;
};

class TPlatformaHost : public TPlatforma {
 public:
  TPlatformaHost();
  ~TPlatformaHost() override;

  // --- Settings --------------------------------------------------------------------------
  // Drive `letter` ('C', 'D', ...) is the host folder `folder`, of the given type.
  void MapDrive(char letter, const std::filesystem::path& folder,
                TTypNapedu type = TTypNapedu::Fixed);
  // Free space reported for a drive (default: the host file system's); nullopt = the query fails.
  void SetFreeSpace(char letter, std::optional<std::int64_t> bytes);
  void SetSpecialFolder(int folder, const TWideString& path);  // empty = the folder is missing
  // The user logged on to the session, when another than the account the program runs as
  // ("" = the same); ServeLoggedOnUser then takes that user's registry hive and folders.
  void SetShellUser(const std::string& user);
  // A per-user special folder of `user` (its registry hive starts empty).
  void SetSpecialFolderOfUser(const std::string& user, int folder, const TWideString& path);
  void SetWindowsDirectory(const std::string& path);
  void SetSystemDirectory(const std::string& path);
  void SetTempDirectory(const std::string& path);
  void SetModuleFileName(const std::string& path);
  void SetThreadLocale(std::uint32_t lcid);
  // The system's ANSI code page (default Windows-1250).
  void SetAnsiCodePage(TStronaKodowa codePage);
  TStronaKodowa AnsiCodePage() const;
  void SetNtPlatform(bool nt);
  bool NtPlatform() const;
  void SetResource(const std::string& name, std::vector<std::uint8_t> data);
  void SetFileVersion(const std::string& path, const std::string& version);
  void SetFontCharsets(const std::string& face, std::vector<int> charsets);
  // Marks an entry read-only/hidden/system (kAttr* bits), as SetFileAttributes does.
  void SetAttributes(const std::string& path, std::uint32_t attributes);

  // --- Inspection (tests) ----------------------------------------------------------------
  // The host path that a Windows path resolves to (existing or not), or nullopt.
  std::optional<std::filesystem::path> HostPath(const std::string& path);
  bool KeyExists(TKorzen root, const std::string& path) const;
  // A key of the hive of the account the program runs as, whichever user is served.
  bool KeyExistsForProgramAccount(const std::string& path) const;
  std::optional<TWartoscRejestru> RegistryValue(TKorzen root, const std::string& key,
                                                const std::string& name) const;
  void DeleteKey(TKorzen root, const std::string& path);
  const std::vector<TSkrotHost>& Links() const;
  // The paths DeleteFileAtRestart marked, in order.
  const std::vector<std::string>& PendingDeletions() const;
  // DeleteFileAtRestart fails from now on (a system without the list of deletions at restart,
  // an account that may not write it).
  void RefuseDeletionsAtRestart(bool refuse);
  int VolumeFlushes() const;
  int KeyFlushes() const;
  // A power cut: the registry loses what was not flushed since (the files stay as written).
  void PowerCut();
  std::uint64_t PausedMilliseconds() const;
  // The program's own process (ProcessIdentity); every identity it has had runs until ended.
  void SetProcessIdentity(const std::string& identity);
  void EndProcess(const std::string& identity);

  // --- TPlatforma --------------------------------------------------------------------------
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
  bool DeleteFileAtRestart(const std::string& path) override;
  bool FlushVolume(const std::string& path) override;
  bool CopyFileNoOverwrite(const std::string& from, const std::string& to) override;
  TWynikPliku OpenRead(const std::string& path) override;
  TWynikPliku CreateWrite(const std::string& path) override;
  std::optional<std::int64_t> FreeSpace(const std::string& folder) override;
  std::vector<std::string> LogicalDrives() override;
  TTypNapedu DriveType(const std::string& root) override;
  bool CreateDirectoryWide(const TWideString& path) override;
  bool DirectoryExistsWide(const TWideString& path) override;
  bool FileExistsWide(const TWideString& path) override;
  TWideString WidenPath(std::string_view path) override;
  bool NarrowPath(const TWideString& path, std::string& narrow) override;
  std::string FoldPath(std::string_view path) override;
  bool AnsiCodePageHolds(std::string_view path) override;
  std::unique_ptr<TKluczRejestru> OpenKey(TKorzen root, const std::string& path,
                                          std::uint32_t access, bool create) override;
  bool RemoveKey(TKorzen root, const std::string& path) override;
  bool ServeLoggedOnUser() override;
  TWideString SpecialFolder(int folder) override;
  bool CreateShellLink(const std::string& target, const std::string& workingDirectory,
                       const TWideString& linkPath, const TWideString& description) override;
  std::string WindowsDirectory() override;
  std::string SystemDirectory() override;
  std::string TempDirectory() override;
  std::string ModuleFileName() override;
  std::uint32_t ThreadLocale() override;
  bool IsNtPlatform() override;
  void Pause(std::uint32_t milliseconds) override;
  std::string ProcessIdentity() override;
  bool ProcessAlive(const std::string& identity) override;
  bool LoadResource(const std::string& name, std::vector<std::uint8_t>& data) override;
  bool FileVersionString(const std::string& path, std::string& version) override;
  std::vector<int> FontCharsets(const std::string& face) override;

 private:
  struct TStan;
  std::unique_ptr<TStan> stan_;
};

}  // namespace orvala::platform
