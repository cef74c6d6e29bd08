// The host stand-in of the platform: wide paths, paths as texts, the registry, shell folders
// and links, system values, resources, versions and fonts.
#include <fstream>
#include <system_error>

#include "platform/host/untStanHost.h"
#include "platform/host/untWersjaPE.h"
#include "textutil/untKodowanie.h"
#include "textutil/untUtils.h"

namespace orvala::platform {

namespace {

// Largest file FileVersionString reads whole (a version resource sits in a program file).
constexpr std::uintmax_t kMaxObrazPE = 256u << 20;

}  // namespace

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
  return Utf8ToUtf16(path);
}

bool TPlatformaHost::NarrowPath(const TWideString& path, std::string& narrow) {
  narrow = Utf16ToUtf8(path);
  if (Utf8ToUtf16(narrow) != path) {
    return false;  // an unpaired surrogate
  }
  if (stan_->nt) {
    return true;
  }
  bool held = false;
  narrow = CodePageToUtf8(Utf8ToCodePage(narrow, stan_->codePage, &held), stan_->codePage);
  return held;
}

std::string TPlatformaHost::FoldPath(std::string_view path) {
  return FoldCaseUtf8(path);
}

bool TPlatformaHost::AnsiCodePageHolds(std::string_view path) {
  bool held = false;
  Utf8ToCodePage(path, stan_->codePage, &held);
  return held;
}

// --- Registry ------------------------------------------------------------------------------------

std::unique_ptr<TKluczRejestru> TPlatformaHost::OpenKey(TKorzen root, const std::string& path,
                                                        std::uint32_t access, bool create) {
  return stan_->registry.Open(root, path, access, create);
}

bool TPlatformaHost::RemoveKey(TKorzen root, const std::string& path) {
  const std::string canonical = host::TRejestrPamieci::Canonical(path);
  if (canonical.empty() || !stan_->registry.Exists(root, path)) {
    return false;
  }
  // RegDeleteKey refuses a key that has subkeys.
  if (stan_->registry.HasSubkeys(root, path)) {
    return false;
  }
  stan_->registry.Delete(root, path);
  return true;
}

// --- Shell -------------------------------------------------------------------------------------

bool TPlatformaHost::ServeLoggedOnUser() {
  if (stan_->shellUser.empty()) {
    return false;
  }
  stan_->servedUser = stan_->shellUser;
  stan_->registry.SetUser(stan_->shellUser);
  return true;
}

TWideString TPlatformaHost::SpecialFolder(int folder) {
  // A served user has folders of his own; the common ones (all users) are the machine's.
  const bool common = folder == kFolderCommonDesktop || folder == kFolderCommonPrograms;
  const std::map<int, TWideString>& folders = stan_->servedUser.empty() || common
                                                  ? stan_->specialFolders
                                                  : stan_->userFolders[stan_->servedUser];
  const auto it = folders.find(folder);
  return it == folders.end() ? TWideString() : it->second;
}

bool TPlatformaHost::CreateShellLink(const std::string& target, const std::string& workingDirectory,
                                     const TWideString& linkPath, const TWideString& description) {
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
  const std::optional<std::string> text = host::ImageFileVersion(image);
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