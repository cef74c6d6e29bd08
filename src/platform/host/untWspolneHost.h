// What the two host stand-ins (files on disk, files in memory) share: the order and the
// navigation entries of a listing, drive letters of roots and drive numbers, and the record of
// a shell link.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/host/untPlatformaHost.h"
#include "platform/host/untSciezkaHost.h"

namespace orvala::platform::host {

// The key of a parsed path: the drive letter, then "\" and each name folded to lower case.
TWideString FoldedKey(const TSciezkaWin& path);

// `entries` = "." and ".." (below a drive root only), then `found` sorted by name without
// regard to case, as NTFS lists a folder.
void FinishListing(std::vector<TWpisKatalogu> found, bool root,
                   std::vector<TWpisKatalogu>& entries);

// The upper-case drive letter of a root "X:" or "X:\", or nullopt for anything else.
std::optional<char> RootLetter(const std::string& root);
// The upper-case drive letter of a folder "X:\..." (an empty folder: the current drive, C), or
// nullopt for a folder on no drive letter (a share).
std::optional<char> FolderDriveLetter(const std::string& folder);

// The text a shell link file holds in the stand-ins.
std::string ShellLinkText(const std::string& target, const std::string& workingDirectory,
                          const TWideString& description);
// Adds `link` to `links`, replacing a link recorded at the same path.
void RecordLink(std::vector<TSkrotHost>& links, TSkrotHost link);

}  // namespace orvala::platform::host
