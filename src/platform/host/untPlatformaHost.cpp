// The host stand-in of the platform: files, directories and drives.
//
// Divisions: settings; inspection; directory listings and attributes; files and directories;
// open files; drives. Its state (mapped drives, set values, the registry, the links and the
// locating of Windows paths on the host) is untStanHost.h; the wide paths, paths as texts,
// registry, shell, system values, resources, versions and fonts are untSystemHost.cpp.
#include "platform/host/untPlatformaHost.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <utility>

#include "platform/host/untStanHost.h"
#include "textutil/untKodowanie.h"
#include "textutil/untUtils.h"

namespace orvala::platform {

// --- Settings ----------------------------------------------------------------------------------

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
void TPlatformaHost::SetShellUser(const std::string& user) {
  stan_->shellUser = user;
}
void TPlatformaHost::SetSpecialFolderOfUser(const std::string& user, int folder,
                                            const TWideString& path) {
  stan_->userFolders[user][folder] = path;
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
  stan_->codePage = codePage;
}
TStronaKodowa TPlatformaHost::AnsiCodePage() const {
  return stan_->codePage;
}
void TPlatformaHost::SetNtPlatform(bool nt) {
  stan_->nt = nt;
}
bool TPlatformaHost::NtPlatform() const {
  return stan_->nt;
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

bool TPlatformaHost::KeyExistsForProgramAccount(const std::string& path) const {
  const std::string served = stan_->registry.User();
  stan_->registry.SetUser("");
  const bool exists = stan_->registry.Exists(TKorzen::CurrentUser, path);
  stan_->registry.SetUser(served);
  return exists;
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

const std::vector<std::string>& TPlatformaHost::PendingDeletions() const {
  return stan_->pendingDeletions;
}

void TPlatformaHost::RefuseDeletionsAtRestart(bool refuse) {
  stan_->refuseDeletionsAtRestart = refuse;
}

int TPlatformaHost::VolumeFlushes() const {
  return stan_->volumeFlushes;
}

int TPlatformaHost::KeyFlushes() const {
  return stan_->registry.Flushes();
}

void TPlatformaHost::PowerCut() {
  stan_->registry.PowerCut();
}

std::uint64_t TPlatformaHost::PausedMilliseconds() const {
  return stan_->paused;
}

void TPlatformaHost::SetProcessIdentity(const std::string& identity) {
  stan_->processIdentity = identity;
  stan_->liveProcesses.insert(identity);
}

void TPlatformaHost::EndProcess(const std::string& identity) {
  stan_->liveProcesses.erase(identity);
}

// --- Durability and processes ------------------------------------------------------------------

bool TPlatformaHost::FlushVolume(const std::string& path) {
  if (path.size() < 2 || path[1] != ':' || !stan_->Parse(path)) {
    return false;
  }
  ++stan_->volumeFlushes;
  return true;
}

// The host stand-in does not wait: the time is only added up for the tests.
void TPlatformaHost::Pause(std::uint32_t milliseconds) {
  stan_->paused += milliseconds;
}

std::string TPlatformaHost::ProcessIdentity() {
  return stan_->processIdentity;
}

bool TPlatformaHost::ProcessAlive(const std::string& identity) {
  return stan_->liveProcesses.count(identity) != 0;
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
    found.push_back(stan_->EntryOf(it->path(), stan_->Listed(it->path().filename())));
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
  return stan_->EntryOf(*found, stan_->Listed(found->filename()));
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

TWynik TPlatformaHost::DeleteFile(const std::string& path) {
  const std::optional<fs::path> found = stan_->ExistingFile(stan_->Parse(path));
  std::error_code ec;
  if (!found || (stan_->SideAttributes(*found) & kAttrReadOnly) != 0 || !fs::remove(*found, ec)) {
    return TWynik::Failed();
  }
  stan_->ForgetAttributes(*found);
  return TWynik();
}

TWynik TPlatformaHost::RenameFile(const std::string& from, const std::string& to) {
  const std::optional<TSciezkaWin> source = stan_->Parse(from);
  if (!source || source->IsRoot()) {
    return TWynik::Failed();
  }
  const std::optional<fs::path> old = stan_->Existing(source);
  const auto place = stan_->InExistingDirectory(stan_->Parse(to));
  if (!old || !place) {
    return TWynik::Failed();
  }
  fs::path target = place->path;
  if (place->exists) {
    if (place->path.lexically_normal() != old->lexically_normal()) {
      return TWynik::Failed();  // the new name is taken
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
    return TWynik::Failed();
  }
  stan_->MoveAttributes(*old, target);
  return TWynik();
}

TWynik TPlatformaHost::ReplaceFile(const std::string& replacement, const std::string& replaced) {
  const std::optional<fs::path> from = stan_->ExistingFile(stan_->Parse(replacement));
  const auto place = stan_->InExistingDirectory(stan_->Parse(replaced));
  std::error_code ec;
  if (!from || !place) {
    return TWynik::Failed();
  }
  if (place->exists && (fs::is_directory(place->path, ec) ||
                        (stan_->SideAttributes(place->path) & kAttrReadOnly) != 0)) {
    return TWynik::Failed();
  }
  fs::rename(*from, place->path, ec);
  if (ec) {
    return TWynik::Failed();
  }
  stan_->ForgetAttributes(place->path);
  stan_->MoveAttributes(*from, place->path);
  return TWynik();
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

bool TPlatformaHost::DeleteFileAtRestart(const std::string& path) {
  if (stan_->refuseDeletionsAtRestart || !FileExists(path)) {
    return false;
  }
  stan_->pendingDeletions.push_back(path);
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

TWynikPliku TPlatformaHost::OpenRead(const std::string& path) {
  const std::optional<fs::path> found = stan_->ExistingFile(stan_->Parse(path));
  if (!found) {
    return TWynik::Failed();
  }
  return Opened(std::make_unique<TPlikHost>(*found, std::ios::in));
}

TWynikPliku TPlatformaHost::CreateWrite(const std::string& path) {
  const std::optional<TSciezkaWin> p = stan_->Parse(path);
  if (!p || p->trailingSeparator) {
    return TWynik::Failed();
  }
  const auto place = stan_->InExistingDirectory(p);
  std::error_code ec;
  if (!place) {
    return TWynik::Failed();
  }
  if (place->exists) {
    // CREATE_ALWAYS with normal attributes refuses a directory, a read-only file, and a hidden
    // or system file.
    if (fs::is_directory(place->path, ec) ||
        (stan_->SideAttributes(place->path) & (kAttrReadOnly | kAttrHidden | kAttrSystem)) != 0) {
      return TWynik::Failed();
    }
  }
  return Opened(std::make_unique<TPlikHost>(place->path, std::ios::out | std::ios::trunc));
}

// --- Drives ------------------------------------------------------------------------------------

std::optional<std::int64_t> TPlatformaHost::FreeSpace(const std::string& folder) {
  const std::optional<char> letter = host::FolderDriveLetter(folder);
  const auto it = letter ? stan_->drives.find(*letter) : stan_->drives.end();
  if (it == stan_->drives.end()) {
    return std::nullopt;
  }
  if (it->second.freeSpaceSet) {
    return it->second.freeSpace;
  }
  // The host folder itself: one mounted below the drive's folder has space of its own.
  const std::optional<fs::path> place = folder.empty() ? it->second.folder : HostPath(folder);
  if (!place) {
    return std::nullopt;
  }
  std::error_code ec;
  const fs::space_info space = fs::space(*place, ec);
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

}  // namespace orvala::platform
