// The state of the host stand-in of the platform, shared by its source files: the mapped
// drives, the values the tests set, the in-memory registry, the recorded links, and the
// helpers that locate Windows paths on the host.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/host/untPlatformaHost.h"
#include "platform/host/untRejestrHost.h"
#include "platform/host/untSciezkaHost.h"
#include "platform/host/untWspolneHost.h"

namespace orvala::platform {

namespace fs = std::filesystem;
using host::TSciezkaWin;

// A mapped drive: its host folder, its type, and the free space a test may set.
struct TNaped {
  fs::path folder;
  TTypNapedu type = TTypNapedu::Fixed;
  bool freeSpaceSet = false;
  std::optional<std::int64_t> freeSpace;
};

struct TPlatformaHost::TStan {
  std::map<char, TNaped> drives;
  std::map<int, TWideString> specialFolders;
  std::string shellUser;   // "" = the account the program runs as
  std::string servedUser;  // after ServeLoggedOnUser: shellUser
  std::map<std::string, std::map<int, TWideString>> userFolders;
  std::string windowsDirectory = "C:\\WINDOWS";
  std::string systemDirectory = "C:\\WINDOWS\\system32";
  std::string tempDirectory = "C:\\WINDOWS\\TEMP\\";
  std::string moduleFileName = "C:\\Instalator.exe";
  std::uint32_t lcid = 1045;
  bool nt = true;
  TStronaKodowa codePage = TStronaKodowa::Cp1250;              // the ANSI code page
  std::map<std::string, std::vector<std::uint8_t>> resources;  // by upper-cased name
  std::map<TWideString, std::string> versions;                 // by folded Windows path
  std::map<std::string, std::vector<int>> fonts;               // by lower-cased face
  std::map<std::string, std::uint32_t> attributes;             // by host path (UTF-8)
  host::TRejestrPamieci registry;
  std::vector<TSkrotHost> links;
  std::vector<std::string> pendingDeletions;  // DeleteFileAtRestart, as the paths were given
  bool refuseDeletionsAtRestart = false;
  int volumeFlushes = 0;
  std::uint64_t paused = 0;                    // milliseconds of Pause, in all
  std::string processIdentity = "1:1";         // the program's own process
  std::set<std::string> liveProcesses{"1:1"};  // every identity it has had, until ended

  // A path of the seam (UTF-8), parsed as the system would take it.
  std::optional<TSciezkaWin> Parse(const std::string& path) const {
    return host::ParsePath(path, codePage, nt);
  }
  // A host name as a listing shows it.
  std::string Listed(const fs::path& name) const {
    return host::ListedName(host::Utf8FromPath(name), codePage, nt);
  }

  // Where a parsed Windows path lies on the host, or nullopt for an unmapped drive.
  std::optional<host::TRozwiazanie> Locate(const TSciezkaWin& p) const {
    const auto drive = drives.find(p.drive);
    if (drive == drives.end()) {
      return std::nullopt;
    }
    return host::Resolve(drive->second.folder, p.names);
  }

  // An existing entry: its host path.
  std::optional<fs::path> Existing(const std::optional<TSciezkaWin>& p) const {
    if (!p) {
      return std::nullopt;
    }
    const std::optional<host::TRozwiazanie> r = Locate(*p);
    if (!r || !r->complete) {
      return std::nullopt;
    }
    std::error_code ec;
    if (!fs::exists(r->path, ec)) {
      return std::nullopt;
    }
    return r->path;
  }

  // A path whose parent directory exists: its host path, and whether the entry itself exists.
  struct TMiejsce {
    fs::path path;
    bool exists;
  };
  std::optional<TMiejsce> InExistingDirectory(const std::optional<TSciezkaWin>& p) const {
    if (!p || p->IsRoot()) {
      return std::nullopt;
    }
    TSciezkaWin parent = *p;
    parent.names.pop_back();
    const std::optional<fs::path> dir = Existing(parent);
    std::error_code ec;
    if (!dir || !fs::is_directory(*dir, ec)) {
      return std::nullopt;
    }
    const host::TRozwiazanie r = host::Resolve(*dir, {p->names.back()});
    return TMiejsce{r.path, r.complete && fs::exists(fs::symlink_status(r.path, ec))};
  }

  // An existing file (not a directory) named without a trailing backslash.
  std::optional<fs::path> ExistingFile(const std::optional<TSciezkaWin>& p) const {
    if (!p || p->trailingSeparator) {
      return std::nullopt;
    }
    std::optional<fs::path> found = Existing(p);
    std::error_code ec;
    if (!found || fs::is_directory(*found, ec)) {
      return std::nullopt;
    }
    return found;
  }
  bool IsDirectory(const std::optional<TSciezkaWin>& p) const {
    const std::optional<fs::path> found = Existing(p);
    std::error_code ec;
    return found && fs::is_directory(*found, ec);
  }
  bool MakeDirectory(const std::optional<TSciezkaWin>& p) const {
    const std::optional<TMiejsce> place = InExistingDirectory(p);
    std::error_code ec;
    return place && !place->exists && fs::create_directory(place->path, ec) && !ec;
  }

  static std::string AttributeKey(const fs::path& hostPath) {
    const std::u8string generic = hostPath.lexically_normal().generic_u8string();
    return std::string(generic.begin(), generic.end());
  }
  std::uint32_t SideAttributes(const fs::path& hostPath) const {
    const auto it = attributes.find(AttributeKey(hostPath));
    return it == attributes.end() ? 0 : it->second;
  }
  // Moves the side attributes of `from` (and of everything under it) to `to`.
  void MoveAttributes(const fs::path& from, const fs::path& to) {
    const std::string oldKey = AttributeKey(from);
    const std::string newKey = AttributeKey(to);
    std::map<std::string, std::uint32_t> moved;
    for (auto it = attributes.begin(); it != attributes.end();) {
      if (it->first == oldKey || it->first.compare(0, oldKey.size() + 1, oldKey + '/') == 0) {
        moved[newKey + it->first.substr(oldKey.size())] = it->second;
        it = attributes.erase(it);
      } else {
        ++it;
      }
    }
    attributes.merge(moved);
  }
  void ForgetAttributes(const fs::path& hostPath) { attributes.erase(AttributeKey(hostPath)); }

  TWpisKatalogu EntryOf(const fs::path& hostPath, std::string name) const {
    std::error_code ec;
    const bool directory = fs::is_directory(hostPath, ec);
    TWpisKatalogu e{std::move(name), directory ? kAttrDirectory : kAttrArchive, 0};
    e.attributes |= SideAttributes(hostPath);
    if (!directory) {
      const std::uintmax_t size = fs::file_size(hostPath, ec);
      e.size = ec ? 0 : static_cast<std::uint64_t>(size);
      const fs::file_time_type written = fs::last_write_time(hostPath, ec);
      e.modified = ec ? 0 : static_cast<std::uint64_t>(written.time_since_epoch().count());
    }
    return e;
  }
};

}  // namespace orvala::platform
