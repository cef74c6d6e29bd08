// Windows paths of the host stand-in: parsing "C:\dir\file" into a drive letter and names, and
// resolving the names case-insensitively against a host folder, as Windows does.
//
// Divisions: case folding of UTF-16 names; parsing of 8-bit and wide paths; conversion between
// host (UTF-8) names and fs::path; resolution of parsed paths under a host folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "textutil/untKodowanie.h"
#include "textutil/untTekst.h"

namespace orvala::platform::host {

// One character folded as names are compared (FoldCase; a surrogate stays as it is).
char16_t FoldChar(char16_t c);
bool EqualFolded(const TWideString& a, const TWideString& b);

// A Windows path split into its parts. "." and empty names are dropped and ".." goes one level
// up (never above the root), as Windows normalises full paths.
struct TSciezkaWin {
  char drive = 0;                  // 'A'..'Z'
  std::vector<TWideString> names;  // the names below the root
  bool trailingSeparator = false;  // "C:\dir\" (the root itself counts as without one)
  bool IsRoot() const { return names.empty(); }
};

// Parses a full path "X:\..." (UTF-8, or UTF-16). Nullopt for a path that is longer than
// kMaxPath UTF-16 characters, relative, a UNC path, or has a name with a character Windows
// refuses in names (< > : " | ? * and control characters); on a system that is not of the NT
// family (`nt` false) also for a path that the ANSI code page `cp` cannot hold.
std::optional<TSciezkaWin> ParsePath(const std::string& path, TStronaKodowa cp, bool nt);
std::optional<TSciezkaWin> ParseWidePath(const TWideString& path);

// Host paths from and to UTF-8 (std::filesystem on both toolchains, via char8_t).
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);
// A name (UTF-8) as a listing shows it: itself on an NT-family system; elsewhere what the
// ANSI code page `cp` makes of it ('?' for a character it lacks).
std::string ListedName(const std::string& utf8, TStronaKodowa cp, bool nt);

// The host path of `names` under `root`: each existing name is matched case-insensitively (an
// exact match first), the rest is appended as written. `complete` tells whether every name
// was found.
struct TRozwiazanie {
  std::filesystem::path path;
  bool complete = false;
};
TRozwiazanie Resolve(const std::filesystem::path& root, const std::vector<TWideString>& names);

}  // namespace orvala::platform::host
