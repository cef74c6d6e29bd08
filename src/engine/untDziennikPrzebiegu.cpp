// The journal of an installation run: its entries, the moves aside it records, and every way a
// run's end gives files back or lets them go.
#include "engine/untDziennikPrzebiegu.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "engine/untBledy.h"

namespace orvala {

namespace {

using platform::Platform;

// Candidates tried before keeping a file is given up (each one a name taken in the folder).
constexpr int kLiczbaKandydatow = 1000;

// The pauses between the quick tries of a give-back step: about a second in all, long enough
// for a virus scanner or an indexer to let go of a file it has just opened.
constexpr std::uint32_t kPrzerwyPonowien[] = {50, 100, 200, 250, 400};

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The first backup path for `folder\name` that `taken` does not refuse and that the system can
// hold: the long backup name, or where the folder is deep, a short one ("~1", "~2", ...).
// Raises EInOutError when there is none.
std::string ChooseBackup(const std::string& folder, const std::string& name,
                         const std::function<bool(const std::string&)>& taken) {
  for (int n = 1; n <= kLiczbaKandydatow; ++n) {
    std::string candidate = BackupName(name, n);
    if (platform::PathLength(folder) + 1 + platform::PathLength(candidate) >= platform::kMaxPath) {
      candidate = '~' + std::to_string(n);
      if (platform::PathLength(folder) + 1 + candidate.size() >= platform::kMaxPath) {
        break;
      }
    }
    if (!taken(candidate)) {
      return folder + '\\' + candidate;
    }
  }
  throw EInOutError("no backup name for " + folder + '\\' + name);
}

// Deletes the run's file at `path`: done also when nothing is there any more.
platform::TWynik DeleteOrAbsent(const std::string& path) {
  const platform::TWynik deleted = Platform().DeleteFile(path);
  return deleted || !Platform().FileExists(path) ? platform::TWynik() : deleted;
}

// The file at `path` is still the one the run left there (its size and write time as stamped).
bool StillAsWritten(const TWpisZapisu& e, const platform::TWpisKatalogu& present) {
  return !present.IsDirectory() && present.size == e.size && present.modified == e.modified;
}

// Deletes a backup at the end of a finished run: a read-only one once its attributes are
// cleared; one whose program still runs is deleted at the next restart of the system, and
// hidden only once that is arranged (a hidden backup that nothing deletes would stay for ever).
void DeleteBackup(const std::string& backup) {
  platform::TPlatforma& os = Platform();
  platform::TWynik deleted = os.DeleteFile(backup);
  if (!deleted && !deleted.InUse() && os.SetFileAttributes(backup, 0)) {
    deleted = os.DeleteFile(backup);
  }
  if (deleted.InUse() && os.DeleteFileAtRestart(backup)) {
    os.SetFileAttributes(backup, platform::kAttrHidden);
  }
}

}  // namespace

// --- Entries -----------------------------------------------------------------------------------

void TDziennikPrzebiegu::Start(int edition) {
  record_ = std::make_unique<TZapisPrzebiegu>(edition);
  planned_.clear();
  refused_ = false;
  complete_ = true;
}

void TDziennikPrzebiegu::DirectoryCreated(const std::string& path) {
  entries_.push_back({TRodzajWpisu::KatalogUtworzony, path, {}});
}

void TDziennikPrzebiegu::FileWritten(const std::string& path, TRodzajWpisu kind) {
  entries_.push_back({kind, path, {}});
  // A file of the previous installation moved aside for it: the record learns what now stands
  // in its place, so that a later start never overwrites what someone changed since.
  TWpisDziennika* kept = keptAt_.empty() ? nullptr : KeptEntry(path);
  if (kept != nullptr && !kept->record.stamped && record_) {
    if (const std::optional<platform::TWpisKatalogu> now = Platform().FindEntry(path)) {
      Stamp(*kept, *now);
    }
  }
}

void TDziennikPrzebiegu::FileCopied(const std::string& path) {
  entries_.push_back({TRodzajWpisu::PlikZapisany, path, {}});
  if (!keptAt_.empty() && KeptEntry(path) != nullptr) {
    unstamped_.push_back(path);
  }
}

void TDziennikPrzebiegu::FolderCopied(const std::string& folder) {
  // The folder's own files among those waiting (a subfolder's were stamped at its own end).
  const auto mine = std::partition(unstamped_.begin(), unstamped_.end(),
                                   [&folder](const auto& p) { return FolderOf(p) != folder; });
  if (mine == unstamped_.end() || !record_) {
    unstamped_.erase(mine, unstamped_.end());
    return;
  }
  // One listing of the folder stamps every file the copy wrote there in place of another: the
  // run created each under the name it asked for, so the listing spells it alike.
  std::vector<platform::TWpisKatalogu> listed;
  if (Platform().ListDirectory(folder, listed)) {
    std::unordered_map<std::string_view, const platform::TWpisKatalogu*> byName;
    for (const platform::TWpisKatalogu& e : listed) {
      byName.emplace(e.name, &e);
    }
    for (auto p = mine; p != unstamped_.end(); ++p) {
      const auto found = byName.find(std::string_view(*p).substr(folder.size() + 1));
      TWpisDziennika* kept = KeptEntry(*p);
      if (found != byName.end() && kept != nullptr && !kept->record.stamped) {
        Stamp(*kept, *found->second);
      }
    }
  }
  unstamped_.erase(mine, unstamped_.end());
}

void TDziennikPrzebiegu::Stamp(TWpisDziennika& kept, const platform::TWpisKatalogu& now) {
  kept.record.stamped = true;
  kept.record.size = now.size;
  kept.record.modified = now.modified;
  record_->Update(kept.record);
}

bool TDziennikPrzebiegu::Wrote(const std::string& path) {
  // Each written path is folded once, when first asked about: a run asks a few times only.
  for (; foldedUpTo_ < entries_.size(); ++foldedUpTo_) {
    const TWpisDziennika& e = entries_[foldedUpTo_];
    if (e.kind == TRodzajWpisu::PlikZapisany || e.kind == TRodzajWpisu::WersjaSzczegolna) {
      written_.insert(Platform().FoldPath(e.path));
    }
  }
  return written_.count(Platform().FoldPath(path)) != 0;
}

std::vector<std::string> TDziennikPrzebiegu::Paths(TRodzajWpisu kind) const {
  std::vector<std::string> paths;
  for (const TWpisDziennika& e : entries_) {
    if (e.kind == kind) {
      paths.push_back(e.path);
    }
  }
  return paths;
}

void TDziennikPrzebiegu::Clear() {
  entries_.clear();
  IndexKept();
  planned_.clear();
  record_.reset();
  complete_ = true;
}

// --- Moving files aside ------------------------------------------------------------------------

void TDziennikPrzebiegu::PlanFolder(const std::string& folder,
                                    const std::vector<platform::TWpisKatalogu>& incoming,
                                    TNazwyFolderu& names,
                                    const std::vector<std::string>& laterFiles) {
  bool added = false;
  const auto plan = [&](const std::string& name) {
    const platform::TWpisKatalogu* present = names.Unreplaced(name);
    // Keyed by the path as the folder spells it: the keeping asks with that same spelling.
    if (present == nullptr || planned_.count(folder + '\\' + present->name) != 0) {
      return;
    }
    TWpisZapisu entry{0, folder + '\\' + present->name,
                      ChooseBackup(folder, present->name,
                                   [&names](const std::string& c) { return names.Taken(c); })};
    names.Take(entry.backup.substr(folder.size() + 1));
    if (!record_ || !record_->Add(entry)) {
      throw EInOutError("cannot record " + entry.original);
    }
    added = true;
    planned_[entry.original] = std::move(entry);
  };
  for (const platform::TWpisKatalogu& file : incoming) {
    if (!file.IsDirectory()) {
      plan(file.name);
    }
  }
  for (const std::string& name : laterFiles) {
    plan(name);
  }
  if (added && !record_->Flush()) {
    throw EInOutError("cannot write the record of " + folder);
  }
}

bool TDziennikPrzebiegu::KeepBeforeCopy(const std::string& folder, const std::string& name,
                                        TNazwyFolderu& names) {
  const std::optional<std::string> present = names.FirstReplacement(name);
  if (!present) {
    return false;
  }
  if (!MovePlanned(folder + '\\' + *present)) {
    throw EInOutError("not planned: " + folder + '\\' + *present);
  }
  return true;
}

bool TDziennikPrzebiegu::MovePlanned(const std::string& original) {
  const auto plan = planned_.find(original);
  if (plan == planned_.end()) {
    return false;
  }
  TWpisZapisu entry = std::move(plan->second);
  planned_.erase(plan);
  MoveAside(std::move(entry));
  return true;
}

bool TDziennikPrzebiegu::KeepBeforeWrite(const std::string& path) {
  // A file the run wrote is its own: its first writing kept what was there before the run.
  // Written again, it is no longer what the record says stands there: until its new writing is
  // stamped, a start after a run cut off puts the file from before the run back over it.
  if (Wrote(path)) {
    TWpisDziennika* kept = KeptEntry(path);
    if (kept != nullptr && kept->record.stamped && record_) {
      kept->record.stamped = false;
      if (!record_->Update(kept->record) || !record_->Flush()) {
        throw EInOutError("cannot record " + path);
      }
    }
    return false;
  }
  const std::optional<platform::TWpisKatalogu> present = Platform().FindEntry(path);
  const std::string folder = FolderOf(path);
  if (!present || present->IsDirectory() || folder.empty()) {
    return false;  // nothing to keep; a directory in the way fails the write itself
  }
  // Planned with its folder's copy: recorded and on the disk already.
  if (MovePlanned(folder + '\\' + present->name)) {
    return true;
  }
  TWpisZapisu entry{0, folder + '\\' + present->name,
                    ChooseBackup(folder, present->name, [&folder](const std::string& c) {
                      return Platform().FindEntry(folder + '\\' + c).has_value();
                    })};
  if (!record_ || !record_->Add(entry) || !record_->Flush()) {
    throw EInOutError("cannot record " + entry.original);
  }
  MoveAside(std::move(entry));
  return true;
}

void TDziennikPrzebiegu::MoveAside(TWpisZapisu entry) {
  // A rename within the folder keeps the file whole, attributes included; it fails rather than
  // replace anything, and then the file stays as it is (its entry gives nothing back).
  platform::TWynik moved;
  try {
    moved = RetryWhileInUse(ask_, entry.original,
                            [&] { return Platform().RenameFile(entry.original, entry.backup); });
  } catch (...) {
    Forget(entry);  // "Nie": it stays where it is
    throw;
  }
  if (!moved) {
    Forget(entry);
    throw EInOutError("cannot move aside " + entry.original);
  }
  keptAt_[Platform().FoldPath(entry.original)] = entries_.size();
  std::string path = entry.original;
  entries_.push_back({TRodzajWpisu::PlikOdlozony, std::move(path), std::move(entry)});
}

TWpisDziennika* TDziennikPrzebiegu::KeptEntry(const std::string& path) {
  const auto at = keptAt_.find(Platform().FoldPath(path));
  return at == keptAt_.end() ? nullptr : &entries_[at->second];
}

void TDziennikPrzebiegu::IndexKept() {
  unstamped_.clear();
  written_.clear();
  foldedUpTo_ = 0;
  keptAt_.clear();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].kind == TRodzajWpisu::PlikOdlozony) {
      keptAt_[Platform().FoldPath(entries_[i].path)] = i;
    }
  }
}

bool TDziennikPrzebiegu::PutBack(const std::string& path) {
  const TWpisDziennika* kept = KeptEntry(path);
  if (kept == nullptr) {
    return false;
  }
  // Whatever is at the path now is what the failed write left, or the run's own earlier file.
  const TWpisZapisu& record = kept->record;
  if (!GiveBack(path, [&] { return DeleteOrAbsent(path); }) ||
      !GiveBack(path, [&] { return Platform().RenameFile(record.backup, record.original); })) {
    return false;
  }
  Forget(record);
  // The path holds the file from before the run again: nothing the run wrote there is undone.
  const auto first = entries_.begin() + (kept - entries_.data());
  entries_.erase(std::remove_if(first, entries_.end(),
                                [&path](const TWpisDziennika& e) {
                                  return e.kind != TRodzajWpisu::KatalogUtworzony &&
                                         Platform().SamePath(e.path, path);
                                }),
                 entries_.end());
  IndexKept();
  return true;
}

// --- The run's end -----------------------------------------------------------------------------

void TDziennikPrzebiegu::Commit(const std::function<void()>& afterEach) {
  if (!keptAt_.empty()) {
    // The new files' data on the disk before the last copy of the old ones goes.
    Platform().FlushVolume(entries_.front().path);
  }
  // The record goes before the first backup: a run cut off while deleting them has installed
  // everything, and a start after it must not put old files back over new ones.
  if (record_) {
    record_->Discard();
  }
  planned_.clear();
  for (const TWpisDziennika& e : entries_) {
    if (e.kind == TRodzajWpisu::PlikOdlozony) {
      DeleteBackup(e.record.backup);
      afterEach();
    }
  }
  // What the run wrote and made stays listed: what the installation left.
  DropKept();
}

bool TDziennikPrzebiegu::Undo(TCofanie how, const std::function<void()>& afterEach) {
  platform::TPlatforma& os = Platform();
  complete_ = true;
  const bool all = how == TCofanie::All;
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    const TWpisDziennika& e = *it;
    switch (e.kind) {
      case TRodzajWpisu::PlikZapisany:
      case TRodzajWpisu::WersjaSzczegolna:
        if (all) {
          // One that cannot go is left; the file it replaced then cannot come back either.
          GiveBack(e.path, [&] { return DeleteOrAbsent(e.path); });
        }
        break;
      case TRodzajWpisu::PlikOdlozony: {
        const bool back = GiveBack(e.path, [&] {
          return all ? os.RenameFile(e.record.backup, e.record.original)
                     : os.ReplaceFile(e.record.backup, e.record.original);
        });
        if (back) {
          Forget(e.record);
        } else {
          complete_ = false;  // under its backup name, in the record, for the next start
          if (e.record.stamped && record_ && !os.FileExists(e.path)) {
            // The run's own file is gone from its place: nothing there to keep from the start.
            TWpisZapisu emptied = e.record;
            emptied.stamped = false;
            record_->Update(emptied);
          }
        }
        break;
      }
      case TRodzajWpisu::KatalogUtworzony:
        if (all) {
          os.RemoveDirectory(e.path);  // only an empty one goes
        }
        break;
    }
    afterEach();
  }
  // Undone whole, the journal is empty; a failed run's files and folders stay, and stay listed.
  if (all) {
    entries_.clear();
    IndexKept();
  } else {
    DropKept();
  }
  for (const auto& [path, entry] : planned_) {
    Forget(entry);
  }
  planned_.clear();
  if (record_) {
    record_->Close();
  }
  return complete_;
}

void TDziennikPrzebiegu::DropKept() {
  entries_.erase(
      std::remove_if(entries_.begin(), entries_.end(),
                     [](const TWpisDziennika& e) { return e.kind == TRodzajWpisu::PlikOdlozony; }),
      entries_.end());
  IndexKept();
}

bool TDziennikPrzebiegu::GiveBack(const std::string& path,
                                  const std::function<platform::TWynik()>& step) {
  for (;;) {
    if (step()) {
      return true;
    }
    for (const std::uint32_t pause : kPrzerwyPonowien) {
      Platform().Pause(pause);
      if (step()) {
        return true;
      }
    }
    if (!ask_ || refused_) {
      return false;
    }
    if (!ask_(path)) {
      refused_ = true;
      return false;
    }
  }
}

bool TDziennikPrzebiegu::Restore(const TWpisZapisu& entry) {
  return GiveBack(entry.original,
                  [&entry] { return Platform().ReplaceFile(entry.backup, entry.original); });
}

void TDziennikPrzebiegu::Forget(const TWpisZapisu& entry) {
  if (record_ && entry.index != 0) {
    record_->Remove(entry.index);
  }
}

// --- The next start ----------------------------------------------------------------------------

TOdzyskanie RecoverInterruptedRun(int edition, const TPytanieOPlik& ask) {
  const std::optional<TZapisPozostaly> left = ReadInterruptedRun(edition);
  if (!left) {
    return TOdzyskanie::Nothing;
  }
  platform::TPlatforma& os = Platform();
  if (!left->owner.empty() && left->owner != os.ProcessIdentity() && os.ProcessAlive(left->owner)) {
    return TOdzyskanie::OwnerAlive;
  }
  if (left->entries.empty()) {
    ForgetInterruptedRun(edition);  // cut off before its first entry: nothing moved
    return TOdzyskanie::Nothing;
  }
  // The give-back of a journal, over the record's entries: the same tries and question. The
  // entries dealt with leave the record together at the end (a start cut off meanwhile finds
  // their backups gone and drops them then).
  TDziennikPrzebiegu giveBack;
  giveBack.AskWhenInUse(ask);
  std::vector<int> done;
  bool complete = true;
  for (auto e = left->entries.rbegin(); e != left->entries.rend(); ++e) {
    if (!os.FileExists(e->backup)) {
      if (os.DirectoryExists(FolderOf(e->backup))) {
        done.push_back(e->index);  // never moved, or given back already
      } else {
        complete = false;  // its drive or folder is not there now: kept for a later start
      }
      continue;
    }
    const std::optional<platform::TWpisKatalogu> present = os.FindEntry(e->original);
    if ((e->stamped && (!present || !StillAsWritten(*e, *present))) || giveBack.Restore(*e)) {
      done.push_back(e->index);  // back, or changed or removed since: not overwritten
    } else {
      complete = false;
    }
  }
  ForgetRecordEntries(edition, done);
  return complete ? TOdzyskanie::Restored : TOdzyskanie::Incomplete;
}

}  // namespace orvala
