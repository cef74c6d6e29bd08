// Paths and system folders. Divisions: the rules of a folder's backslash and a file's folder;
// full folder paths and their limits; system and shell folders; free space and tree sizes; the
// exclusion list; file versions; the installation medium.
#include "engine/untSciezki.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <vector>

#include "config/untInstalStale.h"
#include "config/untRejestr.h"
#include "config/untStaleApp.h"
#include "platform/untPlatforma.h"
#include "textutil/untKodowanie.h"
#include "textutil/untUtils.h"

namespace orvala {

namespace {

using platform::kMaxPath;
using platform::Platform;

constexpr const char* kKluczWersjiWindows = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kKluczFolderowPowloki =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

constexpr std::string_view kStaleWykluczenia =
    "<.><..><umowapol.txt><umowaang.txt><umowadeu.txt><umowafr.txt><instalator.exe>"
    "<instaluj.exe><instalka.exe><autorun.inf><comctl32.dll><comctl32.ocx><divev.ttf>"
    "<SAPI51tts.exe><SyntezaMowy.exe><start.exe>";

std::string WithinLimit(std::string path) {
  return platform::PathLength(path) <= kMaxPath ? path : std::string();
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A decimal integer, or 0 when the text is not one (as a whole).
int DecimalOrZero(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end ? value : 0;
}

// Calls visit(entry, length) for every entry below `folder`, "." and ".." left out and each name
// of the exclusion list skipped with its subtree; `length` is the entry's path relative to where
// the walk started, in UTF-16 characters (`prefix`: that of `folder` with its backslash).
void WalkTree(const std::string& folder, const std::string& exclusions, std::size_t prefix,
              const std::function<void(const platform::TWpisKatalogu&, std::size_t)>& visit) {
  std::vector<platform::TWpisKatalogu> entries;
  if (!Platform().ListDirectory(folder, entries)) {
    return;
  }
  for (const platform::TWpisKatalogu& e : entries) {
    if (e.name == "." || e.name == ".." || IsNameExcluded(e.name, exclusions)) {
      continue;
    }
    const std::size_t length = prefix + platform::PathLength(e.name);
    visit(e, length);
    if (e.IsDirectory()) {
      WalkTree(WithTrailingBackslash(folder) + e.name, exclusions, length + 1, visit);
    }
  }
}

// One name of a folder path, as Windows keeps it (IsFullFolderPath).
bool IsPlainName(std::string_view name) {
  if (name.empty() || name == "." || name == ".." || name.back() == ' ' || name.back() == '.') {
    return false;
  }
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("<>:\"/|?*").find(c) != std::string_view::npos) {
      return false;
    }
  }
  // A device name stays one with an extension, and with spaces before it ("CON .txt").
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') {
    stem.remove_suffix(1);
  }
  const std::string upper = UpperText1250(stem);
  if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" || upper == "CONIN$" ||
      upper == "CONOUT$") {
    return false;
  }
  return !(upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
           upper[3] >= '1' && upper[3] <= '9');
}

}  // namespace

std::string WithTrailingBackslash(const std::string& path) {
  return path.empty() || path.back() == '\\' ? path : path + '\\';
}

TWideString WithTrailingBackslash(const TWideString& path) {
  return path.empty() || path.back() == u'\\' ? path : path + u'\\';
}

std::string DirectoryOfPath(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\:");
  if (slash == std::string::npos) {
    return std::string();
  }
  std::string directory = path.substr(0, slash + 1);
  return directory.back() == ':' ? directory + "\\" : directory;
}

std::string WithoutTrailingBackslash(std::string path) {
  while (!path.empty() && path.back() == '\\') {
    path.pop_back();
  }
  return path;
}

bool IsFullFolderPath(std::string_view target) {
  std::string_view rest;
  if (target.size() >= 3 &&
      ((target[0] >= 'A' && target[0] <= 'Z') || (target[0] >= 'a' && target[0] <= 'z')) &&
      target[1] == ':' && target[2] == '\\') {
    rest = target.substr(3);
    if (rest.empty()) {
      return true;  // the root of a drive
    }
  } else if (target.starts_with("\\\\")) {
    // \\server\share: both names are needed, and they follow the rules of any other name.
    rest = target.substr(2);
    const std::size_t server = rest.find('\\');
    if (server == std::string_view::npos || !IsPlainName(rest.substr(0, server))) {
      return false;
    }
    rest = rest.substr(server + 1);
  } else {
    return false;
  }
  if (rest.ends_with('\\')) {
    rest.remove_suffix(1);
  }
  while (true) {
    const std::size_t end = rest.find('\\');
    if (!IsPlainName(rest.substr(0, end))) {
      return false;
    }
    if (end == std::string_view::npos) {
      return true;
    }
    rest = rest.substr(end + 1);
  }
}

TNajdluzszeSciezki LongestRelativePaths(const std::string& folder, const std::string& exclusions) {
  TNajdluzszeSciezki longest;
  WalkTree(folder, exclusions, 0, [&longest](const platform::TWpisKatalogu& e, std::size_t length) {
    std::size_t& kind = e.IsDirectory() ? longest.folder : longest.file;
    kind = std::max(kind, length);
  });
  return longest;
}

bool FitsBelowTarget(const std::string& target, const TNajdluzszeSciezki& longest) {
  std::size_t base = platform::PathLength(target);
  if (base > kNajdluzszaSciezkaFolderu) {
    return false;
  }
  if (!target.ends_with('\\')) {
    ++base;  // the backslash before the names below it
  }
  return (longest.file == 0 || base + longest.file <= kNajdluzszaSciezkaPliku) &&
         (longest.folder == 0 || base + longest.folder <= kNajdluzszaSciezkaFolderu);
}

TWideString SpecialFolderPath(int folder) {
  TWideString path = Platform().SpecialFolder(folder);
  if (!path.empty() && path.back() != u'\\') {
    path += u'\\';
  }
  return path;
}

std::string WindowsDirectory() {
  return WithinLimit(Platform().WindowsDirectory());
}
std::string SystemDirectory() {
  return WithinLimit(Platform().SystemDirectory());
}
std::string TempDirectory() {
  return WithinLimit(Platform().TempDirectory());
}

std::string ProgramFilesDirectory() {
  std::string value;
  ReadRegistryString(TKorzen::LocalMachine, kKluczWersjiWindows, "ProgramFilesDir", value);
  return WithinLimit(value);
}

std::string ProgramsFolderFromRegistry(bool allUsers) {
  std::string value;
  if (allUsers) {
    ReadRegistryString(TKorzen::LocalMachine, kKluczFolderowPowloki, "Common Programs", value);
  }
  if (value.empty()) {
    ReadRegistryString(TKorzen::CurrentUser, kKluczFolderowPowloki, "Programs", value);
  }
  return WithinLimit(value);
}

int DriveNumber(const std::string& path) {
  if (path.empty()) {
    return 0;
  }
  return static_cast<int>(UpperChar1250(static_cast<std::uint8_t>(path[0]))) - 64;
}

std::string NearestExistingFolder(const std::string& target) {
  // The root that ends the walk: "C:\" or "\\server\share\" (its length), 0 for none.
  std::size_t root = 0;
  if (target.size() >= 2 && target[1] == ':') {
    root = 2;
  } else if (target.rfind("\\\\", 0) == 0) {
    const std::size_t server = target.find('\\', 2);
    const std::size_t share = server == std::string::npos ? server : target.find('\\', server + 1);
    root = share == std::string::npos ? target.size() : share;
  }
  if (root == 0) {
    return {};
  }
  std::string folder = target;
  while (folder.size() > root) {
    while (folder.size() > root && folder.back() == '\\') {
      folder.pop_back();
    }
    if (folder.size() > root && Platform().DirectoryExists(folder)) {
      return folder + '\\';
    }
    const std::size_t slash = folder.find_last_of('\\');
    folder.resize(slash == std::string::npos || slash < root ? root : slash);
  }
  return folder.substr(0, root) + '\\';
}

std::uint64_t DirectoryTreeSize(const std::string& folder, const std::string& exclusions) {
  if (folder.empty() || platform::PathLength(folder) > kMaxPath) {
    return 0;
  }
  std::uint64_t total = 0;
  WalkTree(folder, exclusions, 0,
           [&total](const platform::TWpisKatalogu& e, std::size_t) { total += e.size; });
  return total;
}

bool IsNameExcluded(std::string_view name, std::string_view exclusions) {
  platform::TPlatforma& os = Platform();
  const std::string folded = os.FoldPath(name);
  std::size_t open = exclusions.find('<');
  while (open != std::string_view::npos) {
    const std::size_t close = exclusions.find('>', open + 1);
    if (close == std::string_view::npos) {
      break;
    }
    const std::string_view item = exclusions.substr(open + 1, close - open - 1);
    // An item holds no "<" (names cannot): a stray one starts the next item.
    const std::size_t inner = item.rfind('<');
    if (inner != std::string_view::npos) {
      open += inner + 1;
      continue;
    }
    if (os.FoldPath(item) == folded) {
      return true;
    }
    open = exclusions.find('<', close + 1);
  }
  return false;
}

std::string BuildExclusionList(int edition, bool installDictionaries) {
  const TOpisEdycji& e = EditionDescriptor(edition);
  std::string list(kStaleWykluczenia);
  list += e.ownExclusions;
  list += '<';
  list += FoldCaseUtf8(FileNameOf(Platform().ModuleFileName()));
  list += '>';
  if (!installDictionaries) {
    list += e.dictionaryFiles;
  }
  return list;
}

bool FileVersionAtLeast(const std::string& path, int major, int minor) {
  std::string version;
  if (path.empty() || !Platform().FileVersionString(path, version)) {
    return false;
  }
  const std::size_t dot = version.find('.');
  const std::string_view text(version);
  const int fileMajor = DecimalOrZero(text.substr(0, dot));
  int fileMinor = 0;
  if (dot != std::string::npos) {
    const std::string_view rest = text.substr(dot + 1);
    fileMinor = DecimalOrZero(rest.substr(0, rest.find('.')));
  }
  return fileMajor > major || (fileMajor == major && fileMinor >= minor);
}

bool IsSourceDirectory(const std::string& folder) {
  if (folder.empty()) {
    return false;
  }
  platform::TPlatforma& p = Platform();
  return (p.FileExists(folder + kProgramCD) || p.FileExists(folder + kProgramCD2)) &&
         p.FileExists(folder + kUmowaCD);
}

std::string InstallerDriveRoot() {
  return UpperText1250(DirectoryOfPath(Platform().ModuleFileName())).substr(0, 3);
}

std::string ProgramDirectory() {
  return DirectoryOfPath(Platform().ModuleFileName());
}

std::uint64_t RequiredInstallationBytes(const std::string& source, bool installDictionaries) {
  return DirectoryTreeSize(source, BuildExclusionList(ActiveEdition(), installDictionaries)) +
         kRezerwaProgramuGlownego;
}

}  // namespace orvala
