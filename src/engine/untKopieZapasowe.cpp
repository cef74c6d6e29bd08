#include "engine/untKopieZapasowe.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "engine/untBledy.h"

namespace orvala {

namespace {

using platform::Platform;

constexpr const char* kPrzyrostekKopii = ".orvala-kopia";

// Candidates tried before keeping a file is given up (each one a name taken in the folder).
constexpr int kLiczbaKandydatow = 1000;

bool SamePath(const std::string& a, const std::string& b) {
  return Platform().SamePath(a, b);
}

// A name as the file system compares it: the key of the folder's sets.
std::string Folded(const std::string& name) {
  return Platform().FoldPath(name);
}

}  // namespace

std::string BackupName(const std::string& name, int n) {
  return name + kPrzyrostekKopii + (n > 1 ? std::to_string(n) : std::string());
}

// --- Names of one folder -----------------------------------------------------------------------

TNazwyFolderu::TNazwyFolderu(const std::vector<platform::TWpisKatalogu>& present,
                             const std::vector<platform::TWpisKatalogu>& incoming) {
  for (const platform::TWpisKatalogu& entry : present) {
    std::string folded = Folded(entry.name);
    if (!entry.IsDirectory()) {
      files_.emplace(folded, entry);
    }
    taken_.insert(std::move(folded));
  }
  for (const platform::TWpisKatalogu& entry : incoming) {
    taken_.insert(Folded(entry.name));
  }
}

std::optional<std::string> TNazwyFolderu::FirstReplacement(const std::string& name) {
  if (files_.empty()) {
    return std::nullopt;
  }
  const auto it = files_.find(Folded(name));
  if (it == files_.end()) {
    return std::nullopt;
  }
  std::string present = std::move(it->second.name);
  files_.erase(it);
  return present;
}

const platform::TWpisKatalogu* TNazwyFolderu::Unreplaced(const std::string& name) const {
  if (files_.empty()) {
    return nullptr;
  }
  const auto it = files_.find(Folded(name));
  return it == files_.end() ? nullptr : &it->second;
}

bool TNazwyFolderu::Taken(const std::string& name) const {
  return taken_.count(Folded(name)) != 0;
}

void TNazwyFolderu::Take(const std::string& name) {
  taken_.insert(Folded(name));
}

// --- Keeping files -----------------------------------------------------------------------------

TKopieZapasowe::TKopieZapasowe(std::vector<TKopiaZapasowa>& kept,
                               const std::vector<std::string>& written)
    : kept_(kept), written_(written) {}

bool TKopieZapasowe::KeepBeforeCopy(const std::string& folder, const std::string& name,
                                    TNazwyFolderu& names) {
  const std::optional<std::string> present = names.FirstReplacement(name);
  if (!present) {
    return false;
  }
  names.Take(MoveAside(folder, *present,
                       [&names](const std::string& candidate) { return names.Taken(candidate); }));
  return true;
}

bool TKopieZapasowe::KeepBeforeWrite(const std::string& path) {
  // A file the run wrote is its own: the first writing kept what was there before the run.
  if (std::any_of(written_.begin(), written_.end(),
                  [&path](const std::string& other) { return SamePath(other, path); })) {
    return false;
  }
  const std::optional<platform::TWpisKatalogu> entry = Platform().FindEntry(path);
  const std::size_t slash = path.rfind('\\');
  if (!entry || entry->IsDirectory() || slash == std::string::npos) {
    return false;  // nothing to keep; a directory in the way fails the write itself
  }
  const std::string folder = path.substr(0, slash);
  MoveAside(folder, entry->name, [&folder](const std::string& candidate) {
    return Platform().FindEntry(folder + '\\' + candidate).has_value();
  });
  return true;
}

std::string TKopieZapasowe::MoveAside(const std::string& folder, const std::string& name,
                                      const std::function<bool(const std::string&)>& taken) {
  const std::string original = folder + '\\' + name;
  for (int n = 1; n <= kLiczbaKandydatow; ++n) {
    const std::string candidate = BackupName(name, n);
    if (taken(candidate)) {
      continue;
    }
    // A rename within the folder keeps the file whole, attributes included; it fails rather
    // than replace anything, and then the file stays as it is.
    const std::string backup = folder + '\\' + candidate;
    if (record_ != nullptr) {
      record_->Moving(original, backup);
    }
    if (!RetryWhileInUse(ask_, original, [&] { return Platform().RenameFile(original, backup); })) {
      break;
    }
    kept_.push_back({original, backup});
    return candidate;
  }
  throw EInOutError("cannot move aside " + original);
}

bool TKopieZapasowe::PutBack(const std::string& path) {
  const auto it = std::find_if(kept_.rbegin(), kept_.rend(), [&path](const TKopiaZapasowa& k) {
    return SamePath(k.original, path);
  });
  if (it == kept_.rend()) {
    return false;
  }
  // Whatever is at the path now is what the failed write left.
  Platform().DeleteFile(path);
  const bool back = Platform().RenameFile(it->backup, it->original);
  kept_.erase(std::next(it).base());
  return back;
}

void TKopieZapasowe::RestoreAll(const std::function<void()>& afterEach) {
  while (!kept_.empty()) {
    // Fails while the run's file of that name is still there: the kept file then stays under
    // its backup name, never deleted.
    Platform().RenameFile(kept_.back().backup, kept_.back().original);
    kept_.pop_back();
    afterEach();
  }
}

void TKopieZapasowe::ReturnAll(const std::function<void()>& afterEach) {
  while (!kept_.empty()) {
    // The file the run wrote in its place (if any) is replaced in the same step.
    Platform().ReplaceFile(kept_.back().backup, kept_.back().original);
    kept_.pop_back();
    afterEach();
  }
}

namespace {

// Deletes a kept file at the end of a finished run: a read-only one once its attributes are
// cleared; one whose program still runs is hidden and deleted at the next restart.
void DeleteBackup(const std::string& backup) {
  platform::TPlatforma& os = Platform();
  if (os.DeleteFile(backup)) {
    return;
  }
  bool inUse = os.FailureReason(backup) == platform::TPrzyczynaBledu::PlikWUzyciu;
  if (!inUse && os.SetFileAttributes(backup, 0)) {
    if (os.DeleteFile(backup)) {
      return;
    }
    inUse = os.FailureReason(backup) == platform::TPrzyczynaBledu::PlikWUzyciu;
  }
  if (inUse) {
    os.SetFileAttributes(backup, platform::kAttrHidden);
    os.DeleteFileAtRestart(backup);
  }
}

}  // namespace

void TKopieZapasowe::DiscardAll(const std::function<void()>& afterEach) {
  for (const TKopiaZapasowa& k : kept_) {
    DeleteBackup(k.backup);
    afterEach();
  }
  kept_.clear();
}

bool RestoreInterruptedRun(int edition) {
  const std::optional<std::vector<TPrzeniesienie>> moved = ReadInterruptedRun(edition);
  if (!moved) {
    return false;
  }
  // Newest first, as a rollback goes; a move recorded but never made has no backup to give.
  for (auto it = moved->rbegin(); it != moved->rend(); ++it) {
    if (Platform().FileExists(it->second)) {
      Platform().ReplaceFile(it->second, it->first);
    }
  }
  ForgetInterruptedRun(edition);
  return true;
}

}  // namespace orvala
