// The narrow interface between the setup program's engine and the operating system.
//
// The engine never calls the OS directly: it asks the process-wide platform (Platform()) for
// files, directories, the registry, shell folders and links, resources, versions, fonts and the
// locale. Two implementations exist: Win32 (the real one, src/platform/win32) and Host (a small
// stand-in over std::filesystem and memory, src/platform/host) that lets the engine, the tools
// and the tests run natively. A fault-injecting wrapper (untPlatformaAwarie.h) sits over either.
//
// TPlatforma is made of one interface per part, so that a stand-in or a test implements only
// the part it needs: TPlatformaPliki (files and directories, untPlatformaPliki.h),
// TPlatformaSciezki (paths as texts), TPlatformaRejestr (the registry, untPlatformaRejestr.h),
// TPlatformaPowloka (the user served, shell folders and links), TPlatformaSystem (system
// folders and values, pauses, processes) and TPlatformaZasoby (the program's resources, file
// versions, fonts).
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
//  - Every call reports failure through its result; nothing throws. The file operations that
//    tell why they failed (a file another program holds) return the reason with the result
//    (TWynik, TWynikPliku).
//  - Handles (TPlikPlatformy, TKluczRejestru) are owning objects: destroying one closes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/untPlatformaPliki.h"
#include "platform/untPlatformaRejestr.h"
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

// Shell special-folder numbers used by the program.
inline constexpr int kFolderDesktop = 0;
inline constexpr int kFolderPrograms = 2;
inline constexpr int kFolderCommonPrograms = 23;
inline constexpr int kFolderCommonDesktop = 25;

// Paths as texts: for controls, and compared as the file system compares them.
class TPlatformaSciezki {
 public:
  virtual ~TPlatformaSciezki() = default;

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
};

// The user served, and the shell's folders and links.
class TPlatformaPowloka {
 public:
  virtual ~TPlatformaPowloka() = default;

  // When the user logged on to the session (the owner of the shell) is not the account the
  // program runs as (an administrator's password typed at the elevation prompt, "Run as"),
  // the per-user registry (TKorzen::CurrentUser) and the per-user special folders become that
  // user's from now on: what an installation leaves for its user reaches the user at the
  // screen, as after an elevation of the user's own. True when they did; false when the two
  // are one, or when it cannot be told (then nothing changes).
  virtual bool ServeLoggedOnUser() = 0;
  // The folder's path as the shell reports it (no trailing backslash added); empty on failure.
  virtual TWideString SpecialFolder(int folder) = 0;
  // A shell link at `linkPath` to `target`, with working directory and description (the
  // UTF-16 text the shell shows as its tooltip). False when the link object or one of its
  // interfaces cannot be had.
  virtual bool CreateShellLink(const std::string& target, const std::string& workingDirectory,
                               const TWideString& linkPath, const TWideString& description) = 0;
};

// The system's folders and values, pauses, and the processes of the machine.
class TPlatformaSystem {
 public:
  virtual ~TPlatformaSystem() = default;

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
};

// The program's own resources, file versions, fonts.
class TPlatformaZasoby {
 public:
  virtual ~TPlatformaZasoby() = default;

  // The RCDATA resource `name` of the program's own module, whole. False when missing.
  virtual bool LoadResource(const std::string& name, std::vector<std::uint8_t>& data) = 0;
  // The "FileVersion" string of the first translation of the file's version resource.
  virtual bool FileVersionString(const std::string& path, std::string& version) = 0;
  // The character-set numbers the system reports for each font of face `face`, in order.
  virtual std::vector<int> FontCharsets(const std::string& face) = 0;
};

// The whole platform: every part, as the program entry installs it.
class TPlatforma : public TPlatformaPliki,
                   public TPlatformaSciezki,
                   public TPlatformaRejestr,
                   public TPlatformaPowloka,
                   public TPlatformaSystem,
                   public TPlatformaZasoby {};

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
