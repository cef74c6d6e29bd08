// A fault-injecting platform: wraps any TPlatforma and makes chosen calls fail, so that tests can
// reach every failure branch of the engine (the k-th read, a write that comes up short, a delete
// that fails, a registry key that cannot be opened).
//
// Usage:
//   TPlatformaHost host;                       // or the Win32 platform
//   TPlatformaAwarie faults(host);
//   TZasiegPlatformy scope(faults);
//   faults.FailNth(TOperacja::Write, 3);       // the 3rd write of the run comes up short
//   ... run the code under test ...
//   EXPECT_EQ(faults.Calls(TOperacja::Write), 3);
//
// Counting: each operation has its own counter, starting at 0 when the wrapper is made (or
// after ResetCounts) and incremented on every call, failed or not. FailNth(op, k) fails the
// call that makes the counter k (so FailNth(op, Calls(op) + 1) fails the next one); FailFrom
// fails that call and every later one (a full disk, a key that stays locked). Several FailNth
// of one operation add up.
//
// The reason: a planned failure may be given one (TPrzyczynaBledu, default Inna), which
// FailureReason reports until the next counted call; a call passed through to the inner
// platform that fails is explained by the inner platform. So FailNth(TOperacja::Rename, 2,
// TPrzyczynaBledu::PlikWUzyciu) makes the second rename meet a file another program holds.
//
// What a failed call does:
//   OpenRead, CreateWrite, RegistryOpen   no file / key (nullptr); the inner platform is not
//                                         called, so CreateWrite neither creates nor truncates.
//   Read                                  false, nothing read.
//   Write                                 a short write: the first half of the block (rounded
//                                         down) is written through, `written` says how much,
//                                         and the call returns false.
//   Close                                 the file is closed all the same, the call says false.
//   Delete, Rename, Replace, CopyFile,
//   CreateDirectory, RemoveDirectory,
//   ShellLink, DeleteAtRestart            false; the inner platform is not called.
//   RegistryWrite                         false for WriteString/WriteWideString/WriteInteger/
//                                         WriteBool/DeleteValue; nothing is written.
//   RegistryFlush, FlushVolume            false; nothing is flushed.
// The wide-path CreateDirectoryWide counts as CreateDirectory. Everything else passes through.
//
// A process killed: KillAt(n) lets the first n - 1 calls that change the machine (a file
// created, written, deleted, renamed or replaced, a folder made or removed, attributes, a link,
// a registry value written or deleted, a key made or removed, a deletion at restart) through,
// and from the n-th on none of them does anything: each fails, as a dead process changes
// nothing more. Reading still passes. What the machine holds then is what a process killed
// between those two calls leaves.
// Files and keys opened through the wrapper count against it: they must not outlive it.
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <optional>

#include "platform/untPlatforma.h"

namespace orvala::platform {

enum class TOperacja : std::size_t {
  OpenRead,
  CreateWrite,
  Read,
  Write,
  Close,
  Delete,
  Rename,
  Replace,
  CopyFile,
  CreateDirectory,
  RemoveDirectory,
  RegistryOpen,
  RegistryWrite,
  ShellLink,
  RegistryFlush,
  FlushVolume,
  DeleteAtRestart,
};
inline constexpr std::size_t kLiczbaOperacji =
    static_cast<std::size_t>(TOperacja::DeleteAtRestart) + 1;

class TPlatformaAwarie : public TPlatforma {
 public:
  explicit TPlatformaAwarie(TPlatforma& inner);

  void FailNth(TOperacja operation, int n, TPrzyczynaBledu reason = TPrzyczynaBledu::Inna);
  void FailFrom(TOperacja operation, int n, TPrzyczynaBledu reason = TPrzyczynaBledu::Inna);
  // Forgets every planned failure (counters stay).
  void ClearFailures();
  void ResetCounts();
  int Calls(TOperacja operation) const;
  // From the n-th call that changes the machine on, nothing changes (1-based; 0: never).
  void KillAt(int n);
  // Calls that changed or would have changed the machine so far.
  int Changes() const { return changes_; }
  // Counts one change and tells whether the process still lives to make it.
  bool Survives();

  // Counts one call of `operation` and tells whether it is to fail (used by the wrapped files
  // and keys as well).
  bool Count(TOperacja operation);

  // --- TPlatforma --------------------------------------------------------------------------
  bool ListDirectory(const std::string& directory, std::vector<TWpisKatalogu>& entries) override;
  std::optional<TWpisKatalogu> FindEntry(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  bool ReplaceFile(const std::string& replacement, const std::string& replaced) override;
  bool SetFileAttributes(const std::string& path, std::uint32_t attributes) override;
  TPrzyczynaBledu FailureReason(const std::string& path) override;
  bool DeleteFileAtRestart(const std::string& path) override;
  bool FlushVolume(const std::string& path) override;
  bool CopyFileNoOverwrite(const std::string& from, const std::string& to) override;
  std::unique_ptr<TPlikPlatformy> OpenRead(const std::string& path) override;
  std::unique_ptr<TPlikPlatformy> CreateWrite(const std::string& path) override;
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
  struct TPlan {
    int calls = 0;
    std::map<int, TPrzyczynaBledu> nth;
    int from = 0;  // 0: none
    TPrzyczynaBledu fromReason = TPrzyczynaBledu::Inna;
  };
  TPlatforma& inner_;
  std::array<TPlan, kLiczbaOperacji> plans_{};
  std::optional<TPrzyczynaBledu>
      injected_;  // the reason of the last counted call, when failed here
  int changes_ = 0;
  int killAt_ = 0;
};

}  // namespace orvala::platform
