// The Win32 implementation of the platform: the documented API called directly. A path (UTF-8)
// and an 8-bit registry string reach the wide (*W) functions as UTF-16 on an NT-family system,
// and the *A functions in the ANSI code page only on a non-NT one; wide paths and strings always
// go to the *W functions. The program's own ASCII names (registry keys and most value names,
// resource names, a font's face) go to the *A functions on every system.
// Windows only; the program entry installs one with SetPlatform().
//
// One source file per part: untPlatformaWin32Pliki (listings, files, directories, drives),
// ...Teksty (paths as texts), ...Rejestr (registry), ...Powloka (shell folders and links),
// ...System (system values, resources, versions, fonts), untPrzywracanieWin32 (why a file
// operation failed, deletion at restart, removal of a registry key), untUzytkownikSesji (the
// user logged on when the program runs as another account); untPlatformaWin32Wspolne.h holds
// the path checks and conversions they share.
#pragma once

#include <memory>

#include "platform/untPlatforma.h"

struct HKEY__;  // HKEY, without <windows.h> in this header

namespace orvala::platform {

class TPlatformaWin32 : public TPlatforma {
 public:
  TPlatformaWin32();
  ~TPlatformaWin32() override;

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
  // untPrzywracanieWin32.cpp
  bool DeleteFileAtRestart(const std::string& path) override;
  bool FlushVolume(const std::string& path) override;
  bool RemoveKey(TKorzen root, const std::string& path) override;
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
  // untUzytkownikSesji.cpp
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
  // The registry root of `root`: HKEY_CURRENT_USER, or the hive of the user served.
  HKEY__* Hive(TKorzen root) const;
  // The token of the user served, for the per-user shell folders; null: the program's own.
  void* UserToken() const;

  struct TUzytkownikSesji;
  std::unique_ptr<TUzytkownikSesji> loggedOnUser_;  // set by ServeLoggedOnUser
};

}  // namespace orvala::platform
