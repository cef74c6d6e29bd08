// System integration: the steps of the installation run that tie the package into the system.
//
//  - CreateShellLink: one shell link (target, the target's directory as working directory,
//    description) through the platform.
//  - CreateShortcuts: the Start-menu group and the desktop shortcuts of the shortcut table
//    for the active edition and the effective language, as the options page asks.
//  - WriteRegistry: the package key in both hives (each pass trapped on its own), the
//    uninstall entry in the chosen hive (written in that hive's pass), the component keys
//    under HKEY_CURRENT_USER.
//  - EnsureSystemComponent: a shared component of at least a given version in the system
//    directory, copied from the CD only when it is missing (an older copy stays in place).
//
// None of them shows a message. Errors that end the run are raised as EInOutError or
// ERegistryError (untBledy.h).
#pragma once

#include <cstdint>
#include <string>

#include "engine/untPrzebiegInstalacji.h"
#include "textutil/untTekst.h"

namespace orvala {

// The language of shortcut names, the group folder and link descriptions: the interface
// language on an NT-family system; otherwise the interface language when it is the locale's,
// else Russian when the locale is Russian, else Polish.
LanguageId EffectiveShortcutLanguage(LanguageId interfaceLanguage);

// The "EstimatedSize" of `bytes`: kilobytes rounded up, 0 for none, at most 0x7FFFFFFF.
std::int32_t EstimatedSizeKilobytes(std::int64_t bytes);

// A shell link at `linkPath` to `target`, working directory the target's directory with
// trailing backslash. False when the link could not be made.
bool CreateShellLink(const std::string& target, const TWideString& linkPath,
                     const TWideString& description);

// Creates `path` (UTF-16) with every missing parent. True when it exists afterwards.
bool CreateDirectoryTreeWide(const TWideString& path);

// Stage text 143; the group and desktop shortcuts of the options. A row whose program is not
// in the target gets no shortcut, a failed link is skipped, an existing link is overwritten.
void CreateShortcuts(const TOpcjeInstalacji& options, TObserwatorInstalacji& observer);

// Stage text 144; the registry entries of the package. The uninstall entry, in
// HKEY_LOCAL_MACHINE for all users and otherwise in HKEY_CURRENT_USER, holds "DisplayName",
// "UninstallString" (the uninstaller's path in double quotes), "DisplayVersion", "Publisher",
// "DisplayIcon" (the main program), "InstallLocation" (the target), "EstimatedSize" (the
// required bytes in KB, a DWORD), "NoModify" and "NoRepair" (DWORDs). A failure in a hive's
// pass ends that pass only; a failed write to a component key raises ERegistryError.
void WriteRegistry(const TOpcjeInstalacji& options, TObserwatorInstalacji& observer);

// `file` of at least version major.minor in the system directory. True when the system
// directory is unknown, the file there is recent enough, or copying it from `sourceDirectory`
// (never over an existing file) succeeded.
bool EnsureSystemComponent(const std::string& file, const std::string& sourceDirectory, int major,
                           int minor);

}  // namespace orvala
