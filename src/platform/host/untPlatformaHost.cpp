// The host stand-in of the platform.
//
// Divisions: state and settings; locating Windows paths on the host; directory listings and
// attributes; files and directories; open files; drives; shell folders and links; system
// values; resources, versions and fonts; paths as texts; registry.
#include "platform/host/untPlatformaHost.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <utility>

#include "platform/host/untRejestrHost.h"
#include "platform/host/untSciezkaHost.h"
#include "platform/host/untWersjaPE.h"
#include "platform/host/untWspolneHost.h"
#include "textutil/untKodowanie.h"
#include "textutil/untUtils.h"

namespace orvala::platform {

namespace fs = std::filesystem;
using host::TSciezkaWin;

// --- State and settings -----------------------------------------------------------------------

namespace {

struct TNaped {
  fs::path folder;
  TTypNapedu type = TTypNapedu::Fixed;
  bool freeSpaceSet = false;
  std::optional<std::int64_t> freeSpace;
};

// Largest file FileVersionString reads whole (a version resource sits in a program file).
constexpr std::uintmax_t kMaxObrazPE = 256u << 20;

}  // namespace

struct TPlatformaHost::TStan {
  std::map<char, TNaped> drives;
  std::map<int, TWideString> specialFolders;
  std::string windowsDirectory = "C:\\WINDOWS";
  std::string systemDirectory = "C:\\WINDOWS\\system32";
  std::string tempDirectory = "C:\\WINDOWS\\TEMP\\";
  std::string moduleFileName = "C:\\Instalator.exe";
  std::uint32_t lcid = 1045;
  bool nt = true;
  std::map<std::string, std::vector<std::uint8_t>> resources;  // by upper-cased name
  std::map<TWideString, std::string> versions;                 // by folded Windows path
  std::map<std::string, std::vector<int>> fonts;               // by lower-cased face
  std::map<std::string, std::uint32_t> attributes;             // by host path (UTF-8)
  host::TRejestrPamieci registry;
  std::vector<TSkrotHost> links;

  // An 8-bit path of the ANSI code page (kept by the registry, which speaks it too), parsed.
  std::optional<TSciezkaWin> Parse(const std::string& path) const {
    return host::ParsePath(path, registry.codePage);
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
    }
    return e;
  }
};

TPlatformaHost::TPlatformaHost() : stan_(std::make_unique<TStan>()) {}
TPlatformaHost::~TPlatformaHost() = default;

void TPlatformaHost::MapDrive(char letter, const fs::path& folder, TTypNapedu type) {
  TNaped& d = stan_->drives[static_cast<char>(UpperChar1250(static_cast<std::uint8_t>(letter)))];
  d.folder = folder;
  d.type = type;
}

void TPlatformaHost::SetFreeSpace(char letter, std::optional<std::int64_t> bytes) {
  TNaped& d = stan_->drives[static_cast<char>(UpperChar1250(static_cast<std::uint8_t>(letter)))];
  d.freeSpaceSet = true;
  d.freeSpace = bytes;
}

void TPlatformaHost::SetSpecialFolder(int folder, const TWideString& path) {
  stan_->specialFolders[folder] = path;
}
void TPlatformaHost::SetWindowsDirectory(const std::string& path) {
  stan_->windowsDirectory = path;
}
void TPlatformaHost::SetSystemDirectory(const std::string& path) {
  stan_->systemDirectory = path;
}
void TPlatformaHost::SetTempDirectory(const std::string& path) {
  stan_->tempDirectory = path;
}
void TPlatformaHost::SetModuleFileName(const std::string& path) {
  stan_->moduleFileName = path;
}
void TPlatformaHost::SetThreadLocale(std::uint32_t lcid) {
  stan_->lcid = lcid;
}
void TPlatformaHost::SetAnsiCodePage(TStronaKodowa codePage) {
  stan_->registry.codePage = codePage;
}
TStronaKodowa TPlatformaHost::AnsiCodePage() const {
  return stan_->registry.codePage;
}
void TPlatformaHost::SetNtPlatform(bool nt) {
  stan_->nt = nt;
}

void TPlatformaHost::SetResource(const std::string& name, std::vector<std::uint8_t> data) {
  stan_->resources[UpperText1250(name)] = std::move(data);
}

void TPlatformaHost::SetFileVersion(const std::string& path, const std::string& version) {
  if (const std::optional<TSciezkaWin> p = stan_->Parse(path)) {
    stan_->versions[host::FoldedKey(*p)] = version;
  }
}

void TPlatformaHost::SetFontCharsets(const std::string& face, std::vector<int> charsets) {
  stan_->fonts[LowerText1250(face)] = std::move(charsets);
}

void TPlatformaHost::SetAttributes(const std::string& path, std::uint32_t attributes) {
  SetFileAttributes(path, attributes);
}

// --- Inspection --------------------------------------------------------------------------------

std::optional<fs::path> TPlatformaHost::HostPath(const std::string& path) {
  const std::optional<TSciezkaWin> p = stan_->Parse(path);
  if (!p) {
    return std::nullopt;
  }
  const std::optional<host::TRozwiazanie> r = stan_->Locate(*p);
  if (!r) {
    return std::nullopt;
  }
  return r->path;
}

bool TPlatformaHost::KeyExists(TKorzen root, const std::string& path) const {
  return stan_->registry.Exists(root, path);
}

std::optional<TWartoscRejestru> TPlatformaHost::RegistryValue(TKorzen root, const std::string& key,
                                                              const std::string& name) const {
  const host::TRejestrPamieci::TKlucz* k = stan_->registry.Find(root, key);
  if (k == nullptr) {
    return std::nullopt;
  }
  const auto it = k->values.find(LowerText1250(name));
  if (it == k->values.end()) {
    return std::nullopt;
  }
  return it->second.value;
}

void TPlatformaHost::DeleteKey(TKorzen root, const std::string& path) {
  stan_->registry.Delete(root, path);
}

const std::vector<TSkrotHost>& TPlatformaHost::Links() const {
  return stan_->links;
}

// --- Directory listings --------------------------------------------------------------------------

bool TPlatformaHost::ListDirectory(const std::string& directory,
                                   std::vector<TWpisKatalogu>& entries) {
  const std::optional<TSciezkaWin> p = stan_->Parse(directory);
  const std::optional<fs::path> dir = stan_->Existing(p);
  std::error_code ec;
  if (!dir || !fs::is_directory(*dir, ec)) {
    return false;
  }
  std::vector<TWpisKatalogu> found;
  for (fs::directory_iterator it(*dir, ec), end; !ec && it != end; it.increment(ec)) {
    found.push_back(stan_->EntryOf(
        it->path(), host::HostNameToAnsi(it->path().filename(), stan_->registry.codePage)));
  }
  if (ec) {
    return false;
  }
  host::FinishListing(std::move(found), p->IsRoot(), entries);
  return true;
}

std::optional<TWpisKatalogu> TPlatformaHost::FindEntry(const std::string& path) {
  const std::optional<TSciezkaWin> p = stan_->Parse(path);
  if (!p || p->IsRoot() || p->trailingSeparator) {
    return std::nullopt;
  }
  const std::optional<fs::path> found = stan_->Existing(p);
  if (!found) {
    return std::nullopt;
  }
  return stan_->EntryOf(*found, host::HostNameToAnsi(found->filename(), stan_->registry.codePage));
}

// --- Files and directories ---------------------------------------------------------------------

bool TPlatformaHost::FileExists(const std::string& path) {
  return stan_->ExistingFile(stan_->Parse(path)).has_value();
}

bool TPlatformaHost::DirectoryExists(const std::string& path) {
  return stan_->IsDirectory(stan_->Parse(path));
}

bool TPlatformaHost::CreateDirectory(const std::string& path) {
  return stan_->MakeDirectory(stan_->Parse(path));
}

bool TPlatformaHost::RemoveDirectory(const std::string& path) {
  const std::optional<TSciezkaWin> p = stan_->Parse(path);
  if (!p || p->IsRoot()) {
    return false;
  }
  const std::optional<fs::path> found = stan_->Existing(p);
  std::error_code ec;
  if (!found || !fs::is_directory(fs::symlink_status(*found, ec)) || !fs::is_empty(*found, ec) ||
      !fs::remove(*found, ec)) {
    return false;
  }
  stan_->ForgetAttributes(*found);
  return true;
}

bool TPlatformaHost::DeleteFile(const std::string& path) {
  const std::optional<fs::path> found = stan_->ExistingFile(stan_->Parse(path));
  std::error_code ec;
  if (!found || (stan_->SideAttributes(*found) & kAttrReadOnly) != 0 || !fs::remove(*found, ec)) {
    return false;
  }
  stan_->ForgetAttributes(*found);
  return true;
}

bool TPlatformaHost::RenameFile(const std::string& from, const std::string& to) {
  const std::optional<TSciezkaWin> source = stan_->Parse(from);
  if (!source || source->IsRoot()) {
    return false;
  }
  const std::optional<fs::path> old = stan_->Existing(source);
  const auto place = stan_->InExistingDirectory(stan_->Parse(to));
  if (!old || !place) {
    return false;
  }
  fs::path target = place->path;
  if (place->exists) {
    if (place->path.lexically_normal() != old->lexically_normal()) {
      return false;  // the new name is taken
    }
    // The same entry under a name differing only in case: take the name as written.
    TSciezkaWin written = *stan_->Parse(to);
    target = place->path.parent_path() / host::PathFromUtf8(Utf16ToUtf8(written.names.back()));
  }
  std::error_code ec;
  if (place->exists) {
    // A host that ignores case itself takes renaming a file onto itself for nothing to do:
    // go through a temporary name.
    fs::path step = target;
    step += ".orvala-zmiana";
    fs::rename(*old, step, ec);
    if (!ec) {
      fs::rename(step, target, ec);
    }
  } else {
    fs::rename(*old, target, ec);
  }
  if (ec) {
    return false;
  }
  stan_->MoveAttributes(*old, target);
  return true;
}

bool TPlatformaHost::ReplaceFile(const std::string& replacement, const std::string& replaced) {
  const std::optional<fs::path> from = stan_->ExistingFile(stan_->Parse(replacement));
  const auto place = stan_->InExistingDirectory(stan_->Parse(replaced));
  std::error_code ec;
  if (!from || !place) {
    return false;
  }
  if (place->exists && (fs::is_directory(place->path, ec) ||
                        (stan_->SideAttributes(place->path) & kAttrReadOnly) != 0)) {
    return false;
  }
  fs::rename(*from, place->path, ec);
  if (ec) {
    return false;
  }
  stan_->ForgetAttributes(place->path);
  stan_->MoveAttributes(*from, place->path);
  return true;
}

bool TPlatformaHost::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
  const std::optional<fs::path> p = stan_->Existing(stan_->Parse(path));
  if (!p) {
    return false;
  }
  const std::uint32_t bits = attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem);
  if (bits != 0) {
    stan_->attributes[TStan::AttributeKey(*p)] = bits;
  } else {
    stan_->ForgetAttributes(*p);
  }
  return true;
}

bool TPlatformaHost::CopyFileNoOverwrite(const std::string& from, const std::string& to) {
  const std::optional<fs::path> old = stan_->ExistingFile(stan_->Parse(from));
  const auto place = stan_->InExistingDirectory(stan_->Parse(to));
  std::error_code ec;
  if (!old || !place || place->exists ||
      !fs::copy_file(*old, place->path, fs::copy_options::none, ec) || ec) {
    return false;
  }
  if (const std::uint32_t a = stan_->SideAttributes(*old)) {
    stan_->attributes[TStan::AttributeKey(place->path)] = a;
  }
  return true;
}

// --- Open files ------------------------------------------------------------------------------

namespace {

class TPlikHost final : public TPlikPlatformy {
 public:
  TPlikHost(fs::path path, std::ios::openmode mode) : path_(std::move(path)) {
    buffer_.open(path_, mode | std::ios::binary);
  }
  ~TPlikHost() override { buffer_.close(); }
  bool IsOpen() const { return buffer_.is_open(); }

  bool Read(void* buffer, std::size_t count, std::size_t& got) override {
    got = 0;
    if (!buffer_.is_open()) {
      return false;
    }
    auto* out = static_cast<char*>(buffer);
    while (got < count) {
      const std::streamsize n = buffer_.sgetn(out + got, static_cast<std::streamsize>(count - got));
      if (n <= 0) {
        break;
      }
      got += static_cast<std::size_t>(n);
    }
    return true;
  }
  bool Write(const void* buffer, std::size_t count, std::size_t& written) override {
    written = 0;
    if (!buffer_.is_open()) {
      return false;
    }
    const std::streamsize n =
        buffer_.sputn(static_cast<const char*>(buffer), static_cast<std::streamsize>(count));
    written = n > 0 ? static_cast<std::size_t>(n) : 0;
    return written == count;
  }
  std::optional<std::uint64_t> Size() override {
    if (!buffer_.is_open()) {
      return std::nullopt;
    }
    buffer_.pubsync();
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path_, ec);
    if (ec) {
      return std::nullopt;
    }
    return static_cast<std::uint64_t>(size);
  }
  bool Close() override { return buffer_.is_open() && buffer_.close() != nullptr; }

 private:
  fs::path path_;
  std::filebuf buffer_;
};

std::unique_ptr<TPlikPlatformy> Opened(std::unique_ptr<TPlikHost> file) {
  if (!file->IsOpen()) {
    return nullptr;
  }
  return file;
}

}  // namespace

std::unique_ptr<TPlikPlatformy> TPlatformaHost::OpenRead(const std::string& path) {
  const std::optional<fs::path> found = stan_->ExistingFile(stan_->Parse(path));
  if (!found) {
    return nullptr;
  }
  return Opened(std::make_unique<TPlikHost>(*found, std::ios::in));
}

std::unique_ptr<TPlikPlatformy> TPlatformaHost::CreateWrite(const std::string& path) {
  const std::optional<TSciezkaWin> p = stan_->Parse(path);
  if (!p || p->trailingSeparator) {
    return nullptr;
  }
  const auto place = stan_->InExistingDirectory(p);
  std::error_code ec;
  if (!place) {
    return nullptr;
  }
  if (place->exists) {
    // CREATE_ALWAYS with normal attributes refuses a directory, a read-only file, and a hidden
    // or system file.
    if (fs::is_directory(place->path, ec) ||
        (stan_->SideAttributes(place->path) & (kAttrReadOnly | kAttrHidden | kAttrSystem)) != 0) {
      return nullptr;
    }
  }
  return Opened(std::make_unique<TPlikHost>(place->path, std::ios::out | std::ios::trunc));
}

// --- Drives ------------------------------------------------------------------------------------

std::optional<std::int64_t> TPlatformaHost::FreeSpace(int drive) {
  const std::optional<char> letter = host::DriveNumberLetter(drive);
  const auto it = letter ? stan_->drives.find(*letter) : stan_->drives.end();
  if (it == stan_->drives.end()) {
    return std::nullopt;
  }
  if (it->second.freeSpaceSet) {
    return it->second.freeSpace;
  }
  std::error_code ec;
  const fs::space_info space = fs::space(it->second.folder, ec);
  if (ec) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(space.available);
}

std::vector<std::string> TPlatformaHost::LogicalDrives() {
  std::vector<std::string> roots;
  for (const auto& [letter, drive] : stan_->drives) {
    if (!drive.folder.empty()) {
      roots.push_back(std::string(1, letter) + ":\\");
    }
  }
  return roots;
}

TTypNapedu TPlatformaHost::DriveType(const std::string& root) {
  const std::optional<char> letter = host::RootLetter(root);
  const auto it = letter ? stan_->drives.find(*letter) : stan_->drives.end();
  if (it == stan_->drives.end() || it->second.folder.empty()) {
    return TTypNapedu::NoRootDir;
  }
  return it->second.type;
}

// --- Wide paths --------------------------------------------------------------------------------

bool TPlatformaHost::CreateDirectoryWide(const TWideString& path) {
  return stan_->MakeDirectory(host::ParseWidePath(path));
}

bool TPlatformaHost::DirectoryExistsWide(const TWideString& path) {
  return stan_->IsDirectory(host::ParseWidePath(path));
}

bool TPlatformaHost::FileExistsWide(const TWideString& path) {
  return stan_->ExistingFile(host::ParseWidePath(path)).has_value();
}

// --- Paths as texts ------------------------------------------------------------------------------

TWideString TPlatformaHost::WidenPath(std::string_view path) {
  TWideString wide;
  wide.reserve(path.size());
  for (const char c : path) {
    wide += CodePageToUnicode(stan_->registry.codePage, static_cast<std::uint8_t>(c));
  }
  return wide;
}

bool TPlatformaHost::NarrowPath(const TWideString& path, std::string& narrow) {
  narrow.clear();
  narrow.reserve(path.size());
  bool all = true;
  for (const char16_t c : path) {
    const int b = UnicodeToCodePage(stan_->registry.codePage, c);
    all = all && b >= 0;
    narrow += b < 0 ? '?' : static_cast<char>(b);
  }
  return all;
}

// --- Registry ------------------------------------------------------------------------------------

std::unique_ptr<TKluczRejestru> TPlatformaHost::OpenKey(TKorzen root, const std::string& path,
                                                        std::uint32_t access, bool create) {
  return stan_->registry.Open(root, path, access, create);
}

// --- Shell -------------------------------------------------------------------------------------

TWideString TPlatformaHost::SpecialFolder(int folder) {
  const auto it = stan_->specialFolders.find(folder);
  return it == stan_->specialFolders.end() ? TWideString() : it->second;
}

bool TPlatformaHost::CreateShellLink(const std::string& target, const std::string& workingDirectory,
                                     const TWideString& linkPath, const std::string& description) {
  const std::optional<TSciezkaWin> p = host::ParseWidePath(linkPath);
  if (!p || p->trailingSeparator) {
    return false;
  }
  const auto place = stan_->InExistingDirectory(p);
  std::error_code ec;
  if (!place || (place->exists && fs::is_directory(place->path, ec))) {
    return false;
  }
  {
    std::ofstream out(place->path, std::ios::binary | std::ios::trunc);
    out << host::ShellLinkText(target, workingDirectory, description);
    out.close();
    if (!out) {
      return false;
    }
  }
  host::RecordLink(stan_->links, {linkPath, target, workingDirectory, description});
  return true;
}

// --- System values -----------------------------------------------------------------------------

std::string TPlatformaHost::WindowsDirectory() {
  return stan_->windowsDirectory;
}
std::string TPlatformaHost::SystemDirectory() {
  return stan_->systemDirectory;
}
std::string TPlatformaHost::TempDirectory() {
  return stan_->tempDirectory;
}
std::string TPlatformaHost::ModuleFileName() {
  return stan_->moduleFileName;
}
std::uint32_t TPlatformaHost::ThreadLocale() {
  return stan_->lcid;
}
bool TPlatformaHost::IsNtPlatform() {
  return stan_->nt;
}

// --- Resources, versions, fonts ------------------------------------------------------------------

bool TPlatformaHost::LoadResource(const std::string& name, std::vector<std::uint8_t>& data) {
  const auto it = stan_->resources.find(UpperText1250(name));
  if (it == stan_->resources.end()) {
    return false;
  }
  data = it->second;
  return true;
}

bool TPlatformaHost::FileVersionString(const std::string& path, std::string& version) {
  const std::optional<TSciezkaWin> p = stan_->Parse(path);
  if (!p) {
    return false;
  }
  const auto set = stan_->versions.find(host::FoldedKey(*p));
  if (set != stan_->versions.end()) {
    version = set->second;
    return true;
  }
  const std::optional<fs::path> found = stan_->Existing(p);
  std::error_code ec;
  const std::uintmax_t size = found ? fs::file_size(*found, ec) : 0;
  if (!found || ec || size == 0 || size > kMaxObrazPE) {
    return false;
  }
  std::vector<std::uint8_t> image(static_cast<std::size_t>(size));
  std::ifstream in(*found, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(size))) {
    return false;
  }
  const auto info = host::VersionResource(image);
  const std::optional<std::string> text =
      info ? host::FirstTranslationFileVersion(*info) : std::nullopt;
  if (!text) {
    return false;
  }
  version = *text;
  return true;
}

std::vector<int> TPlatformaHost::FontCharsets(const std::string& face) {
  const auto it = stan_->fonts.find(LowerText1250(face));
  return it == stan_->fonts.end() ? std::vector<int>() : it->second;
}

}  // namespace orvala::platform
