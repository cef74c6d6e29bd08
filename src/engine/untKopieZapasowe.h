// Files of the target kept while the installation run replaces them.
//
// Installing over a previous installation replaces files that were there before the run. Before
// the run truncates or replaces such a file (the tree copy, the main program, a special
// version), the file is moved aside: renamed within its own folder (no space, no copying) to a
// backup name, and recorded in the wizard state's list of kept files, in order. Only the first
// replacement of a path in a run keeps the file: the main program is written twice, and its
// kept file holds what was there before the run. A file that another program holds is asked
// about (untPlikWUzyciu.h) and tried again; a file that cannot be moved aside for another
// reason is never truncated: keeping it raises EInOutError with the file untouched. Each move
// is recorded first (TZapisPrzebiegu, untRejestr.h), so that a run cut off can be undone.
//
//  - A confirmed cancel puts every kept file back, newest first, once the files the run wrote
//    are deleted (RestoreAll). One that cannot go back stays under its backup name.
//  - A failed run puts every kept file back over the file it wrote in its place, newest first
//    (ReturnAll): what it added stays, what it replaced works as before. One that cannot go
//    back stays under its backup name, never deleted.
//  - A finished run deletes the kept files (DiscardAll), read-only ones included; one whose
//    program is still running is hidden and deleted at the next restart of the system.
//  - A write that fails right after its file was kept puts that file back at once (PutBack).
//  - At the next start after a run cut off, RestoreInterruptedRun puts back every file the
//    record lists.
//
// Backup names: the file's name followed by ".orvala-kopia" ("Trans.chm.orvala-kopia"); when
// that name is taken, ".orvala-kopia2", ".orvala-kopia3", and so on. A name is taken when the
// folder holds it or when the package brings a file of that name into the folder, so a kept
// file never stands in the way of a package file and never replaces anything.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "config/untRejestr.h"
#include "engine/untPlikWUzyciu.h"
#include "platform/untPlatforma.h"

namespace orvala {

// One file moved aside: its own path (its name spelt as the folder had it) and the path it lies
// under meanwhile (same folder).
struct TKopiaZapasowa {
  std::string original;
  std::string backup;
};

// The n-th candidate backup name of a file named `name` (n = 1, 2, ...).
std::string BackupName(const std::string& name, int n);

// What the tree copy knows of one target folder: the files it held before the run, not yet
// replaced, and every name taken in it (present or brought by the package), compared without
// regard to case. Built from listings the copy has anyway, so no file costs a search of its own.
class TNazwyFolderu {
 public:
  // A folder the run has just created: it holds nothing, and nothing there needs keeping.
  TNazwyFolderu() = default;
  // A folder that existed: its own entries and the entries the package brings into it.
  TNazwyFolderu(const std::vector<platform::TWpisKatalogu>& present,
                const std::vector<platform::TWpisKatalogu>& incoming);

  // For a name that was a file of the folder before the run, once (its first replacement): the
  // file's name as the folder spells it. Otherwise nothing.
  std::optional<std::string> FirstReplacement(const std::string& name);
  // The file of that name the folder held before the run, while it is not yet replaced (its
  // name as the folder spells it, attributes and size); null otherwise.
  const platform::TWpisKatalogu* Unreplaced(const std::string& name) const;
  bool Taken(const std::string& name) const;
  void Take(const std::string& name);

 private:
  std::unordered_map<std::string, platform::TWpisKatalogu> files_;  // folded name -> entry
  std::unordered_set<std::string> taken_;                           // folded names
};

class TKopieZapasowe {
 public:
  // `kept`: the wizard state's list of kept files; `written`: the files the run wrote (its
  // copied-files list), which are never kept.
  TKopieZapasowe(std::vector<TKopiaZapasowa>& kept, const std::vector<std::string>& written);

  // Who is asked when a file to move aside is in use (none: it fails as any other file).
  void AskWhenInUse(TPytanieOPlik ask) { ask_ = std::move(ask); }
  // Where each move is recorded before it is made (none: nothing is recorded).
  void Record(TZapisPrzebiegu* record) { record_ = record; }

  // Before the tree copy writes `name` into `folder`: keeps the file there on its first
  // replacement. True when it was kept; raises EInOutError when it cannot be moved aside.
  bool KeepBeforeCopy(const std::string& folder, const std::string& name, TNazwyFolderu& names);
  // Before another step writes the file `path` (the main program, a special version): keeps an
  // existing file that the run has not written (its written-files list), asking the file system
  // what is there. True when it was kept; raises EInOutError when it cannot be moved aside.
  bool KeepBeforeWrite(const std::string& path);
  // The write of `path` failed: when `path` was kept, removes what the write left and puts the
  // kept file back (true). One that cannot go back stays under its backup name, no longer
  // listed.
  bool PutBack(const std::string& path);

  // Rollback: every kept file back to its own name, newest first; `afterEach` after each one.
  void RestoreAll(const std::function<void()>& afterEach);
  // A failed run: every kept file back over what the run wrote in its place, newest first.
  void ReturnAll(const std::function<void()>& afterEach);
  // The end of a finished run: every kept file deleted; `afterEach` after each.
  void DiscardAll(const std::function<void()>& afterEach);

 private:
  // Renames folder\name to the first backup name not `taken` and records it; returns that name.
  std::string MoveAside(const std::string& folder, const std::string& name,
                        const std::function<bool(const std::string&)>& taken);

  std::vector<TKopiaZapasowa>& kept_;
  const std::vector<std::string>& written_;
  TPytanieOPlik ask_;
  TZapisPrzebiegu* record_ = nullptr;
};

// At start: when the record of edition `edition` shows a run cut off, puts every file it moved
// aside back over the file in its place (one that cannot go back stays under its backup name)
// and removes the record. True when there was such a run.
bool RestoreInterruptedRun(int edition);

}  // namespace orvala
