// Paths and system folders: where the Windows, system and temporary directories, Program Files
// and the Start-menu and desktop folders are; how much space a source tree needs; which drive a
// path is on; whether a file's version is recent enough; whether a folder holds the
// installation files; and the exclusion list that decides which source names the copy skips.
//
// Plain functions without state, over the process-wide platform. Paths are UTF-8 strings of at
// most 260 (UTF-16) characters; a longer one yields the empty answer. Nothing
// here throws: a failing system call, a missing registry value or a file without version resource
// yields an empty string, 0 or false.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "textutil/untTekst.h"

namespace orvala {

// The path with one trailing backslash: unchanged when it ends in one already; an empty path
// stays empty (it names no folder, and must not turn into the current drive's root).
std::string WithTrailingBackslash(const std::string& path);
TWideString WithTrailingBackslash(const TWideString& path);
// The folder part of `path`, with its trailing backslash ("C:\a\b.exe" -> "C:\a\", "C:b.exe" ->
// "C:\"); empty for a bare name.
std::string DirectoryOfPath(const std::string& path);
// The path without any trailing backslash ("D:\" -> "D:", "C:\a\\" -> "C:\a").
std::string WithoutTrailingBackslash(std::string path);

// The path of a shell special folder (platform::kFolder*), in UTF-16 with a trailing backslash;
// empty when the system does not have the folder (never a lone backslash).
TWideString SpecialFolderPath(int folder);
std::string WindowsDirectory();
std::string SystemDirectory();
std::string TempDirectory();  // with its trailing backslash
// "ProgramFilesDir" of HKLM\Software\Microsoft\Windows\CurrentVersion, or empty.
std::string ProgramFilesDirectory();
// With `allUsers`: "Common Programs" of the machine's shell folders; when that is empty, or
// without the flag: "Programs" of the user's shell folders.
std::string ProgramsFolderFromRegistry(bool allUsers);

// 0 for an empty path; otherwise the first character upper-cased minus 64 (c: gives 3).
int DriveNumber(const std::string& path);

// The folder whose volume will hold `target`: the target itself or its nearest existing parent,
// with a trailing backslash; the root of its drive ("C:") or share ("\server\share") when
// none of them exists yet; empty for an empty or relative target (the current drive).
std::string NearestExistingFolder(const std::string& target);

// The bytes of every file under `folder` (every attribute), skipping each name in the exclusion
// list at every depth together with its subtree; 0 for a folder that does not exist.
std::uint64_t DirectoryTreeSize(const std::string& folder, const std::string& exclusions);

// The allowance for the main program file, unpacked from the payload and not on the source
// medium: the required-space sum adds it, and the run's gauge moves by it.
inline constexpr std::uint64_t kRezerwaProgramuGlownego = 2'100'000;

// The bytes an installation from `source` needs: DirectoryTreeSize with the exclusion list of
// the active edition for the dictionaries choice, plus the main program's allowance.
std::uint64_t RequiredInstallationBytes(const std::string& source, bool installDictionaries);

// True when the exclusion list ("<name><name>...") holds `name`, both compared as the file
// system compares names (the platform's FoldPath): two names the file system tells apart are
// never one item.
bool IsNameExcluded(std::string_view name, std::string_view exclusions);

// True when Windows takes `target` (UTF-8) as a folder exactly as it is written: an absolute
// path on a drive ("C:\Orvala", the root "C:\" too) or on a share ("\\serwer\udzial\Orvala"),
// one trailing backslash allowed, whose every name is one Windows keeps as it is: not empty, not
// "." or "..", no character Windows forbids in names (control characters and < > : " / | ? *),
// no trailing space or dot (Windows would trim it), not a device name (CON, PRN, AUX, NUL,
// COM1-9, LPT1-9, CONIN$, CONOUT$, with or without an extension). False for a relative or
// drive-relative path ("Orvala", "C:Orvala", "\Orvala") and a device path ("\\?\", "\\.\").
bool IsFullFolderPath(std::string_view target);

// The longest relative paths below a folder, in UTF-16 characters ("Dane\a.bin" is 10).
struct TNajdluzszeSciezki {
  std::size_t file = 0;
  std::size_t folder = 0;
};
// Of every file and folder below `folder`, names on the exclusion list skipped with their
// subtrees, as the copy would write them.
TNajdluzszeSciezki LongestRelativePaths(const std::string& folder, const std::string& exclusions);
// The longest path of a file that Windows' ordinary path functions take, and of a folder (room
// left for a file name of 8.3 characters).
inline constexpr std::size_t kNajdluzszaSciezkaPliku = 259;
inline constexpr std::size_t kNajdluzszaSciezkaFolderu = 247;
// True when `target` and every path of `longest` below it stay within those lengths.
bool FitsBelowTarget(const std::string& target, const TNajdluzszeSciezki& longest);

// The exclusion list: the fixed names, the edition's own, the running setup program's file
// name lower-cased (Unicode case folding), and the edition's dictionaries when they are not
// installed.
std::string BuildExclusionList(int edition, bool installDictionaries);

// True when the FileVersion of the file's version resource is at least major.minor; false for
// a file without version resource. "5.81.4704.1100" passes against 5.1, "4.71" fails against
// 4.72, and "5, 81, 0, 0" reads as major 0.
bool FileVersionAtLeast(const std::string& path, int major, int minor);

// False for an empty argument; true when the folder (with trailing backslash) holds
// "DuzevIv.exe" or "DuzevIv2.exe", and "UmowaPol.txt".
bool IsSourceDirectory(const std::string& folder);
// Those files, for tools that tell what a folder lacks.
inline constexpr char kProgramCD[] = "DuzevIv.exe";
inline constexpr char kProgramCD2[] = "DuzevIv2.exe";
inline constexpr char kUmowaCD[] = "UmowaPol.txt";

// The root of the drive the setup program was started from ("D:\"), upper-cased.
std::string InstallerDriveRoot();
// The directory of the program's own executable file, ending with a backslash.
std::string ProgramDirectory();

}  // namespace orvala
