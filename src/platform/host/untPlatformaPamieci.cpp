// The host stand-in with its files in memory.
//
// Divisions: the tree (entries by folded path); settings; listings and entries; files and
// directories; open files; drives; wide paths, links and versions.
#include "platform/host/untPlatformaPamieci.h"

#include <algorithm>
#include <utility>

#include "platform/host/untSciezkaHost.h"
#include "platform/host/untWersjaPE.h"
#include "platform/host/untWspolneHost.h"
#include "textutil/untKodowanie.h"
#include "textutil/untUtils.h"

namespace orvala::platform {

using host::TSciezkaWin;

// --- The tree ------------------------------------------------------------------------------------

namespace {

using TBajty = std::vector<std::uint8_t>;

struct TWezel {
  TWideString name;  // as written when the entry was made (empty for a drive root)
  bool directory = false;
  std::shared_ptr<TBajty> data;  // files only; shared with the files open on it
  std::uint32_t attributes = 0;  // read-only, hidden, system
};

struct TNapedPamieci {
  TTypNapedu type = TTypNapedu::Fixed;
  std::optional<std::int64_t> freeSpace;
};

TWideString KeyOf(const TSciezkaWin& p) {
  return host::FoldedKey(p);
}

}  // namespace

struct TPlatformaPamieci::TPliki {
  std::map<char, TNapedPamieci> drives;
  std::map<TWideString, TWezel> entries;  // by KeyOf; a drive root under its letter alone
  std::vector<TSkrotHost> links;

  // A parsed path on an existing drive.
  std::optional<TSciezkaWin> OnDrive(std::optional<TSciezkaWin> p) const {
    if (!p || drives.count(p->drive) == 0) {
      return std::nullopt;
    }
    return p;
  }
  TWezel* Find(const std::optional<TSciezkaWin>& p) {
    if (!p) {
      return nullptr;
    }
    const auto it = entries.find(KeyOf(*p));
    return it == entries.end() ? nullptr : &it->second;
  }
  // An existing file (not a directory) named without a trailing backslash.
  TWezel* File(const std::optional<TSciezkaWin>& p) {
    TWezel* n = (p && !p->trailingSeparator) ? Find(p) : nullptr;
    return (n != nullptr && !n->directory) ? n : nullptr;
  }
  TWezel* Directory(const std::optional<TSciezkaWin>& p) {
    TWezel* n = Find(p);
    return (n != nullptr && n->directory) ? n : nullptr;
  }
  // A path below the root whose parent directory exists: its key, and the entry if it exists.
  struct TMiejsce {
    TWideString key;
    TWideString name;
    TWezel* existing;
  };
  std::optional<TMiejsce> InExistingDirectory(const std::optional<TSciezkaWin>& p) {
    if (!p || p->IsRoot()) {
      return std::nullopt;
    }
    TSciezkaWin parent = *p;
    parent.names.pop_back();
    if (Directory(parent) == nullptr) {
      return std::nullopt;
    }
    return TMiejsce{KeyOf(*p), p->names.back(), Find(p)};
  }
  // The keys strictly below `key`, in key order.
  std::vector<TWideString> Below(const TWideString& key) const {
    std::vector<TWideString> found;
    const TWideString prefix = key + u'\\';
    for (auto it = entries.lower_bound(prefix);
         it != entries.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
      found.push_back(it->first);
    }
    return found;
  }
  TWpisKatalogu EntryOf(const TWezel& n, TStronaKodowa cp, bool nt) const {
    TWpisKatalogu e{host::ListedName(Utf16ToUtf8(n.name), cp, nt),
                    n.directory ? kAttrDirectory : kAttrArchive, 0};
    e.attributes |= n.attributes;
    if (!n.directory) {
      e.size = n.data->size();
    }
    return e;
  }
  bool MakeDirectory(const std::optional<TSciezkaWin>& p) {
    const std::optional<TMiejsce> place = InExistingDirectory(OnDrive(p));
    if (!place || place->existing != nullptr) {
      return false;
    }
    entries[place->key] = TWezel{place->name, true, nullptr, 0};
    return true;
  }
};

TPlatformaPamieci::TPlatformaPamieci() : pliki_(std::make_unique<TPliki>()) {}
TPlatformaPamieci::~TPlatformaPamieci() = default;

// --- Settings ------------------------------------------------------------------------------------

void TPlatformaPamieci::AddDrive(char letter, TTypNapedu type,
                                 std::optional<std::int64_t> freeSpace) {
  const auto drive = static_cast<char>(UpperChar1250(static_cast<std::uint8_t>(letter)));
  pliki_->drives[drive] = TNapedPamieci{type, freeSpace};
  pliki_->entries[TWideString(1, static_cast<char16_t>(drive))] = TWezel{{}, true, nullptr, 0};
}

void TPlatformaPamieci::ClearFiles() {
  pliki_->entries.clear();
  pliki_->links.clear();
  for (const auto& [letter, drive] : pliki_->drives) {
    pliki_->entries[TWideString(1, static_cast<char16_t>(letter))] = TWezel{{}, true, nullptr, 0};
  }
}

bool TPlatformaPamieci::PutFile(const std::string& path, std::vector<std::uint8_t> data) {
  std::unique_ptr<TPlikPlatformy> file = CreateWrite(path);
  std::size_t written = 0;
  return file && file->Write(data.data(), data.size(), written) && file->Close();
}

std::optional<std::vector<std::uint8_t>> TPlatformaPamieci::FileBytes(
    const std::string& path) const {
  const TWezel* n =
      pliki_->File(pliki_->OnDrive(host::ParsePath(path, AnsiCodePage(), NtPlatform())));
  if (n == nullptr) {
    return std::nullopt;
  }
  return *n->data;
}

bool TPlatformaPamieci::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
  const std::optional<TSciezkaWin> p = host::ParsePath(path, AnsiCodePage(), NtPlatform());
  TWezel* n = (p && !p->IsRoot()) ? pliki_->Find(p) : nullptr;
  if (n == nullptr) {
    return false;
  }
  n->attributes = attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem);
  return true;
}

const std::vector<TSkrotHost>& TPlatformaPamieci::MemoryLinks() const {
  return pliki_->links;
}

// --- Listings and entries ------------------------------------------------------------------------

bool TPlatformaPamieci::ListDirectory(const std::string& directory,
                                      std::vector<TWpisKatalogu>& entries) {
  const std::optional<TSciezkaWin> p = host::ParsePath(directory, AnsiCodePage(), NtPlatform());
  if (pliki_->Directory(p) == nullptr) {
    return false;
  }
  const TWideString key = KeyOf(*p);
  std::vector<TWpisKatalogu> found;
  for (const TWideString& below : pliki_->Below(key)) {
    if (below.find(u'\\', key.size() + 1) == TWideString::npos) {
      found.push_back(pliki_->EntryOf(pliki_->entries.at(below), AnsiCodePage(), NtPlatform()));
    }
  }
  host::FinishListing(std::move(found), p->IsRoot(), entries);
  return true;
}

std::optional<TWpisKatalogu> TPlatformaPamieci::FindEntry(const std::string& path) {
  const std::optional<TSciezkaWin> p = host::ParsePath(path, AnsiCodePage(), NtPlatform());
  if (!p || p->IsRoot() || p->trailingSeparator) {
    return std::nullopt;
  }
  const TWezel* n = pliki_->Find(p);
  if (n == nullptr) {
    return std::nullopt;
  }
  return pliki_->EntryOf(*n, AnsiCodePage(), NtPlatform());
}

// --- Files and directories -----------------------------------------------------------------------

bool TPlatformaPamieci::FileExists(const std::string& path) {
  return pliki_->File(host::ParsePath(path, AnsiCodePage(), NtPlatform())) != nullptr;
}

bool TPlatformaPamieci::DirectoryExists(const std::string& path) {
  return pliki_->Directory(host::ParsePath(path, AnsiCodePage(), NtPlatform())) != nullptr;
}

bool TPlatformaPamieci::CreateDirectory(const std::string& path) {
  return pliki_->MakeDirectory(host::ParsePath(path, AnsiCodePage(), NtPlatform()));
}

bool TPlatformaPamieci::RemoveDirectory(const std::string& path) {
  const std::optional<TSciezkaWin> p = host::ParsePath(path, AnsiCodePage(), NtPlatform());
  if (!p || p->IsRoot() || pliki_->Directory(p) == nullptr) {
    return false;
  }
  const TWideString key = KeyOf(*p);
  if (!pliki_->Below(key).empty()) {
    return false;
  }
  pliki_->entries.erase(key);
  return true;
}

TWynik TPlatformaPamieci::DeleteFile(const std::string& path) {
  const std::optional<TSciezkaWin> p = host::ParsePath(path, AnsiCodePage(), NtPlatform());
  const TWezel* n = pliki_->File(p);
  if (n == nullptr || (n->attributes & kAttrReadOnly) != 0) {
    return TWynik::Failed();
  }
  pliki_->entries.erase(KeyOf(*p));
  return TWynik();
}

TWynik TPlatformaPamieci::RenameFile(const std::string& from, const std::string& to) {
  const std::optional<TSciezkaWin> source = host::ParsePath(from, AnsiCodePage(), NtPlatform());
  if (!source || source->IsRoot() || pliki_->Find(source) == nullptr) {
    return TWynik::Failed();
  }
  const std::optional<TPliki::TMiejsce> place = pliki_->InExistingDirectory(
      pliki_->OnDrive(host::ParsePath(to, AnsiCodePage(), NtPlatform())));
  const TWideString oldKey = KeyOf(*source);
  if (!place || place->key.compare(0, oldKey.size() + 1, oldKey + u'\\') == 0) {
    return TWynik::Failed();  // no such folder, or a folder moved into itself
  }
  if (place->existing != nullptr) {
    if (place->key != oldKey) {
      return TWynik::Failed();  // the new name is taken
    }
    place->existing->name = place->name;  // the same entry: the name as written
    return TWynik();
  }
  // The entry and everything below it move to the new key.
  std::vector<std::pair<TWideString, TWezel>> moved;
  for (const TWideString& key : pliki_->Below(oldKey)) {
    moved.emplace_back(place->key + key.substr(oldKey.size()), std::move(pliki_->entries[key]));
    pliki_->entries.erase(key);
  }
  TWezel entry = std::move(pliki_->entries[oldKey]);
  pliki_->entries.erase(oldKey);
  entry.name = place->name;
  pliki_->entries[place->key] = std::move(entry);
  for (auto& [key, node] : moved) {
    pliki_->entries[key] = std::move(node);
  }
  return TWynik();
}

TWynik TPlatformaPamieci::ReplaceFile(const std::string& replacement, const std::string& replaced) {
  const std::optional<TSciezkaWin> source =
      host::ParsePath(replacement, AnsiCodePage(), NtPlatform());
  TWezel* from = pliki_->File(source);
  const std::optional<TPliki::TMiejsce> place = pliki_->InExistingDirectory(
      pliki_->OnDrive(host::ParsePath(replaced, AnsiCodePage(), NtPlatform())));
  if (from == nullptr || !place) {
    return TWynik::Failed();
  }
  const TWideString fromKey = KeyOf(*source);
  if (place->key == fromKey) {
    return TWynik();
  }
  TWideString name = place->name;
  if (place->existing != nullptr) {
    if (place->existing->directory || (place->existing->attributes & kAttrReadOnly) != 0) {
      return TWynik::Failed();
    }
    name = place->existing->name;  // the replaced file keeps its name
  }
  TWezel entry = std::move(*from);
  pliki_->entries.erase(fromKey);
  entry.name = std::move(name);
  pliki_->entries[place->key] = std::move(entry);
  return TWynik();
}

bool TPlatformaPamieci::CopyFileNoOverwrite(const std::string& from, const std::string& to) {
  const TWezel* old = pliki_->File(host::ParsePath(from, AnsiCodePage(), NtPlatform()));
  const std::optional<TPliki::TMiejsce> place = pliki_->InExistingDirectory(
      pliki_->OnDrive(host::ParsePath(to, AnsiCodePage(), NtPlatform())));
  if (old == nullptr || !place || place->existing != nullptr) {
    return false;
  }
  pliki_->entries[place->key] =
      TWezel{place->name, false, std::make_shared<TBajty>(*old->data), old->attributes};
  return true;
}

// --- Open files ----------------------------------------------------------------------------------

namespace {

// An open file over the bytes of an entry: reads from its position, writes at its position
// (growing the file).
class TPlikPamieci final : public TPlikPlatformy {
 public:
  explicit TPlikPamieci(std::shared_ptr<TBajty> data) : data_(std::move(data)) {}

  bool Read(void* buffer, std::size_t count, std::size_t& got) override {
    got = 0;
    if (closed_) {
      return false;
    }
    if (pos_ >= data_->size()) {
      return true;  // at the end
    }
    got = std::min(count, data_->size() - pos_);
    std::copy_n(data_->data() + pos_, got, static_cast<std::uint8_t*>(buffer));
    pos_ += got;
    return true;
  }
  bool Write(const void* buffer, std::size_t count, std::size_t& written) override {
    written = 0;
    if (closed_) {
      return false;
    }
    if (data_->size() < pos_ + count) {
      data_->resize(pos_ + count);
    }
    std::copy_n(static_cast<const std::uint8_t*>(buffer), count, data_->data() + pos_);
    pos_ += count;
    written = count;
    return true;
  }
  std::optional<std::uint64_t> Size() override {
    if (closed_) {
      return std::nullopt;
    }
    return data_->size();
  }
  bool Close() override { return !std::exchange(closed_, true); }

 private:
  std::shared_ptr<TBajty> data_;
  std::size_t pos_ = 0;
  bool closed_ = false;
};

}  // namespace

TWynikPliku TPlatformaPamieci::OpenRead(const std::string& path) {
  const TWezel* n = pliki_->File(host::ParsePath(path, AnsiCodePage(), NtPlatform()));
  if (n == nullptr) {
    return TWynik::Failed();
  }
  return std::make_unique<TPlikPamieci>(n->data);
}

TWynikPliku TPlatformaPamieci::CreateWrite(const std::string& path) {
  const std::optional<TSciezkaWin> p =
      pliki_->OnDrive(host::ParsePath(path, AnsiCodePage(), NtPlatform()));
  if (!p || p->trailingSeparator) {
    return TWynik::Failed();
  }
  const std::optional<TPliki::TMiejsce> place = pliki_->InExistingDirectory(p);
  if (!place) {
    return TWynik::Failed();
  }
  if (TWezel* n = place->existing) {
    // CREATE_ALWAYS with normal attributes refuses a directory, a read-only file, and a hidden
    // or system file; an existing file is truncated, its open handles keep what they had.
    if (n->directory || (n->attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem)) != 0) {
      return TWynik::Failed();
    }
    n->data = std::make_shared<TBajty>();
    return std::make_unique<TPlikPamieci>(n->data);
  }
  TWezel& n = pliki_->entries[place->key];
  n = TWezel{place->name, false, std::make_shared<TBajty>(), 0};
  return std::make_unique<TPlikPamieci>(n.data);
}

// --- Drives --------------------------------------------------------------------------------------

std::optional<std::int64_t> TPlatformaPamieci::FreeSpace(const std::string& folder) {
  const std::optional<char> letter = host::FolderDriveLetter(folder);
  const auto it = letter ? pliki_->drives.find(*letter) : pliki_->drives.end();
  return it == pliki_->drives.end() ? std::nullopt : it->second.freeSpace;
}

std::vector<std::string> TPlatformaPamieci::LogicalDrives() {
  std::vector<std::string> roots;
  for (const auto& [letter, drive] : pliki_->drives) {
    roots.push_back(std::string(1, letter) + ":\\");
  }
  return roots;
}

TTypNapedu TPlatformaPamieci::DriveType(const std::string& root) {
  const std::optional<char> letter = host::RootLetter(root);
  const auto it = letter ? pliki_->drives.find(*letter) : pliki_->drives.end();
  return it == pliki_->drives.end() ? TTypNapedu::NoRootDir : it->second.type;
}

// --- Wide paths, links and versions --------------------------------------------------------------

bool TPlatformaPamieci::CreateDirectoryWide(const TWideString& path) {
  return pliki_->MakeDirectory(host::ParseWidePath(path));
}

bool TPlatformaPamieci::DirectoryExistsWide(const TWideString& path) {
  return pliki_->Directory(host::ParseWidePath(path)) != nullptr;
}

bool TPlatformaPamieci::FileExistsWide(const TWideString& path) {
  return pliki_->File(host::ParseWidePath(path)) != nullptr;
}

bool TPlatformaPamieci::CreateShellLink(const std::string& target,
                                        const std::string& workingDirectory,
                                        const TWideString& linkPath,
                                        const TWideString& description) {
  const std::optional<TSciezkaWin> p = pliki_->OnDrive(host::ParseWidePath(linkPath));
  if (!p || p->trailingSeparator) {
    return false;
  }
  const std::optional<TPliki::TMiejsce> place = pliki_->InExistingDirectory(p);
  if (!place || (place->existing != nullptr && place->existing->directory)) {
    return false;
  }
  const std::string text = host::ShellLinkText(target, workingDirectory, description);
  TWezel& n = pliki_->entries[place->key];
  const TWideString name = place->existing != nullptr ? place->existing->name : place->name;
  n = TWezel{name, false, std::make_shared<TBajty>(text.begin(), text.end()), n.attributes};
  host::RecordLink(pliki_->links, {linkPath, target, workingDirectory, description});
  return true;
}

bool TPlatformaPamieci::FileVersionString(const std::string& path, std::string& version) {
  if (TPlatformaHost::FileVersionString(path, version)) {
    return true;  // set with SetFileVersion
  }
  const TWezel* n = pliki_->File(host::ParsePath(path, AnsiCodePage(), NtPlatform()));
  if (n == nullptr || n->data->empty()) {
    return false;
  }
  const std::optional<std::string> text = host::ImageFileVersion(*n->data);
  if (!text) {
    return false;
  }
  version = *text;
  return true;
}

}  // namespace orvala::platform
