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
// The reason: a planned failure may be given one (TPrzyczynaBledu, default Inna), which the
// failed call returns with its result (TWynik, TWynikPliku); a call passed through to the inner
// platform returns the inner platform's result, reason included. So FailNth(TOperacja::Rename,
// 2, TPrzyczynaBledu::PlikWUzyciu) makes the second rename meet a file another program holds.
//
// What a failed call does:
//   OpenRead, CreateWrite, RegistryOpen   no file (the planned reason) / key (nullptr); the inner
//                                         platform is not called, so CreateWrite neither creates
//                                         nor truncates.
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
// nothing more (a file operation's reason: Inna). Reading still passes. What the machine holds
// then is what a process killed between those two calls leaves.
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

// The operations of the platform the wrapper passes through or guards, one line each:
//   PASS(result, name, (parameters), (arguments))              passed to the inner platform
//   GUARD(result, name, (parameters), (arguments), effect, counter)
//       counted against `counter` (kBezLicznika: none) and failed as planned; with the effect
//       Zmienia it changes the machine, so KillAt stops it. A failed call returns false (a
//       TWynik: failed, for the planned reason) and the inner platform is not called.
// The openings (OpenRead, CreateWrite, OpenKey) wrap what they open and are written out.
#define ORVALA_OPERACJE_PLATFORMY(PASS, GUARD)                                                     \
  PASS(bool, ListDirectory, (const std::string& directory, std::vector<TWpisKatalogu>& entries),   \
       (directory, entries))                                                                       \
  PASS(std::optional<TWpisKatalogu>, FindEntry, (const std::string& path), (path))                 \
  PASS(bool, FileExists, (const std::string& path), (path))                                        \
  PASS(bool, DirectoryExists, (const std::string& path), (path))                                   \
  GUARD(bool, CreateDirectory, (const std::string& path), (path), Zmienia,                         \
        TOperacja::CreateDirectory)                                                                \
  GUARD(bool, RemoveDirectory, (const std::string& path), (path), Zmienia,                         \
        TOperacja::RemoveDirectory)                                                                \
  GUARD(TWynik, DeleteFile, (const std::string& path), (path), Zmienia, TOperacja::Delete)         \
  GUARD(TWynik, RenameFile, (const std::string& from, const std::string& to), (from, to), Zmienia, \
        TOperacja::Rename)                                                                         \
  GUARD(TWynik, ReplaceFile, (const std::string& replacement, const std::string& replaced),        \
        (replacement, replaced), Zmienia, TOperacja::Replace)                                      \
  GUARD(bool, SetFileAttributes, (const std::string& path, std::uint32_t attributes),              \
        (path, attributes), Zmienia, kBezLicznika)                                                 \
  GUARD(bool, DeleteFileAtRestart, (const std::string& path), (path), Zmienia,                     \
        TOperacja::DeleteAtRestart)                                                                \
  GUARD(bool, FlushVolume, (const std::string& path), (path), NieZmienia, TOperacja::FlushVolume)  \
  GUARD(bool, CopyFileNoOverwrite, (const std::string& from, const std::string& to), (from, to),   \
        Zmienia, TOperacja::CopyFile)                                                              \
  PASS(std::optional<std::int64_t>, FreeSpace, (const std::string& folder), (folder))              \
  PASS(std::vector<std::string>, LogicalDrives, (), ())                                            \
  PASS(TTypNapedu, DriveType, (const std::string& root), (root))                                   \
  GUARD(bool, CreateDirectoryWide, (const TWideString& path), (path), Zmienia,                     \
        TOperacja::CreateDirectory)                                                                \
  PASS(bool, DirectoryExistsWide, (const TWideString& path), (path))                               \
  PASS(bool, FileExistsWide, (const TWideString& path), (path))                                    \
  PASS(TWideString, WidenPath, (std::string_view path), (path))                                    \
  PASS(bool, NarrowPath, (const TWideString& path, std::string& narrow), (path, narrow))           \
  PASS(std::string, FoldPath, (std::string_view path), (path))                                     \
  PASS(bool, AnsiCodePageHolds, (std::string_view path), (path))                                   \
  GUARD(bool, RemoveKey, (TKorzen root, const std::string& path), (root, path), Zmienia,           \
        kBezLicznika)                                                                              \
  PASS(bool, ServeLoggedOnUser, (), ())                                                            \
  PASS(TWideString, SpecialFolder, (int folder), (folder))                                         \
  GUARD(bool, CreateShellLink,                                                                     \
        (const std::string& target, const std::string& workingDirectory,                           \
         const TWideString& linkPath, const TWideString& description),                             \
        (target, workingDirectory, linkPath, description), Zmienia, TOperacja::ShellLink)          \
  PASS(std::string, WindowsDirectory, (), ())                                                      \
  PASS(std::string, SystemDirectory, (), ())                                                       \
  PASS(std::string, TempDirectory, (), ())                                                         \
  PASS(std::string, ModuleFileName, (), ())                                                        \
  PASS(std::uint32_t, ThreadLocale, (), ())                                                        \
  PASS(bool, IsNtPlatform, (), ())                                                                 \
  PASS(void, Pause, (std::uint32_t milliseconds), (milliseconds))                                  \
  PASS(std::string, ProcessIdentity, (), ())                                                       \
  PASS(bool, ProcessAlive, (const std::string& identity), (identity))                              \
  PASS(bool, LoadResource, (const std::string& name, std::vector<std::uint8_t>& data),             \
       (name, data))                                                                               \
  PASS(bool, FileVersionString, (const std::string& path, std::string& version), (path, version))  \
  PASS(std::vector<int>, FontCharsets, (const std::string& face), (face))

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

  // Counts one call of `operation`; the reason when it is to fail, nothing when it goes on
  // (used by the wrapped files and keys as well).
  std::optional<TPrzyczynaBledu> Count(TOperacja operation);

  // --- TPlatforma --------------------------------------------------------------------------
#define ORVALA_DEKLARACJA(result, name, parameters, ...) result name parameters override;
  ORVALA_OPERACJE_PLATFORMY(ORVALA_DEKLARACJA, ORVALA_DEKLARACJA)
#undef ORVALA_DEKLARACJA
  TWynikPliku OpenRead(const std::string& path) override;
  TWynikPliku CreateWrite(const std::string& path) override;
  std::unique_ptr<TKluczRejestru> OpenKey(TKorzen root, const std::string& path,
                                          std::uint32_t access, bool create) override;

 private:
  // Whether a guarded call changes the machine.
  enum class TSkutek : bool { NieZmienia, Zmienia };
  // The counter of a guarded call that counts against none.
  static constexpr std::optional<TOperacja> kBezLicznika = std::nullopt;
  // A guarded call: the process killed, or a planned failure, fails it (false, a TWynik or
  // TWynikPliku with the reason, or no key); otherwise `forward` makes it on the inner platform.
  template <typename R, typename F>
  R Guarded(TSkutek effect, std::optional<TOperacja> counter, F&& forward);

  struct TPlan {
    int calls = 0;
    std::map<int, TPrzyczynaBledu> nth;
    int from = 0;  // 0: none
    TPrzyczynaBledu fromReason = TPrzyczynaBledu::Inna;
  };
  TPlatforma& inner_;
  std::array<TPlan, kLiczbaOperacji> plans_{};
  int changes_ = 0;
  int killAt_ = 0;
};

}  // namespace orvala::platform
