// The journal of an installation run: everything the run did to the target, in order, and the
// one place that gives it back.
//
// Entries: a directory created (the options page adds the target it creates as the first one),
// a file written (of the copy, the main program, a special version), and a file of a previous
// installation moved aside before the run replaces it. A file moved aside is renamed within its
// own folder (no space, no copying) to a backup name (untKopieZapasowe.h) and is listed in the
// record of the run (TZapisPrzebiegu, untRejestr.h) before it moves: for the tree copy, every
// file of a folder that the copy will replace is listed, and the record written to the disk,
// once before the first of them moves; the main program and a special version are listed one at
// a time. Once the run's own file stands in its place, its size and write time join the entry.
//
// How a run ends:
//  - Commit (finished): the volume's data written to the disk, then every backup deleted; one
//    whose program still runs is deleted at the next restart of the system, and hidden only once
//    that is arranged. The record goes; the journal keeps what the run wrote and made.
//  - Undo(All) (a confirmed cancel, "Nie" on a file in use): newest first, every file the run
//    wrote is deleted, every file moved aside takes its name back, every directory it created
//    is removed when empty.
//  - Undo(Replaced) (a failed run): newest first, every file moved aside goes back over what
//    the run wrote in its place; what the run added stays, and stays in the journal.
//  - RecoverInterruptedRun (the next start after a run cut off): as Undo(Replaced), from the
//    record alone.
// A step that gives a file back and fails is tried again a few times within about a second,
// then asked about as a file in use (text 314): Yes tries again, No leaves it. An entry leaves
// the record only when its file is back; what could not go back stays in the record, under its
// backup name, for the next start, and the run's end tells (GaveEverythingBack).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "config/untRejestr.h"
#include "engine/untKopieZapasowe.h"
#include "engine/untPlikWUzyciu.h"
#include "platform/untPlatforma.h"

namespace orvala {

enum class TRodzajWpisu {
  KatalogUtworzony,
  PlikZapisany,
  PlikOdlozony,      // a file of a previous installation under its backup name
  WersjaSzczegolna,  // a special version written (undone as any file written)
};

struct TWpisDziennika {
  TRodzajWpisu kind;
  std::string path;
  TWpisZapisu record;  // PlikOdlozony: the record's entry (path, backup, index)
};

enum class TCofanie {
  All,       // everything the run did goes
  Replaced,  // what the run replaced comes back; what it added stays
};

class TDziennikPrzebiegu {
 public:
  TDziennikPrzebiegu() = default;

  // The run starts, for edition `edition`: entries added before it (the target created) stay.
  void Start(int edition);
  // Who is asked when a file to move aside or to give back is in use (none: no question).
  void AskWhenInUse(TPytanieOPlik ask) { ask_ = std::move(ask); }

  void DirectoryCreated(const std::string& path);
  // The run's file now stands at `path` (written whole and closed).
  void FileWritten(const std::string& path, TRodzajWpisu kind = TRodzajWpisu::PlikZapisany);
  // The same for a file of the tree copy, whose stamp waits for the end of its folder...
  void FileCopied(const std::string& path);
  // ... here: the copy of `folder`'s own files is done (one listing stamps them all).
  void FolderCopied(const std::string& folder);
  // Whether the run has written `path`.
  bool Wrote(const std::string& path);

  // Before the tree copy writes into `folder`, which existed: lists in the record every file of
  // `incoming` (the files the copy brings, exclusions left out) and of `laterFiles` (names that
  // later steps write there: the main program, special versions) that replaces a file the
  // folder held, with the backup name it will take, and writes the record to the disk once.
  // Raises EInOutError, before anything moves, when the record cannot be written or a backup
  // path cannot be formed.
  void PlanFolder(const std::string& folder, const std::vector<platform::TWpisKatalogu>& incoming,
                  TNazwyFolderu& names, const std::vector<std::string>& laterFiles = {});
  // Before the tree copy writes `name` into `folder`: moves the folder's file aside on its
  // first replacement, to the name PlanFolder chose. True when it was moved; raises
  // EInOutError when it cannot be (the file then stays as it is).
  bool KeepBeforeCopy(const std::string& folder, const std::string& name, TNazwyFolderu& names);
  // Before another step writes `path` (the main program, a special version): moves an existing
  // file that the run has not written aside, as its folder's plan has it, or else recorded and
  // flushed first. True when it was moved; raises EInOutError when it cannot be.
  bool KeepBeforeWrite(const std::string& path);
  // The write of `path` failed after its file was moved aside: what the write left goes and the
  // file takes its name back. True when it did; otherwise its entries stay for the run's end.
  bool PutBack(const std::string& path);

  // Puts one file of the record back over what stands in its place (the start-up's step, with
  // the same tries and question). True when it is back.
  bool Restore(const TWpisZapisu& entry);

  // The run's end; `afterEach` after each entry dealt with. Undo returns GaveEverythingBack().
  void Commit(const std::function<void()>& afterEach);
  bool Undo(TCofanie how, const std::function<void()>& afterEach);
  // False when a file of the previous installation could not be given back by the last Undo.
  bool GaveEverythingBack() const { return complete_; }

  std::size_t Size() const { return entries_.size(); }
  // The paths of the entries of one kind, in order (for the window's tests and the gauge).
  std::vector<std::string> Paths(TRodzajWpisu kind) const;
  // Forgets everything (a new window).
  void Clear();

 private:
  // Renames `original` to `backup` (asking while it is in use) and journals it.
  void MoveAside(TWpisZapisu entry);
  // Moves the file `original` aside as its folder's plan has it; false when it is not planned.
  bool MovePlanned(const std::string& original);
  // Runs a give-back step until it succeeds: a few quick tries, then the question.
  bool GiveBack(const std::string& path, const std::function<platform::TWynik()>& step);
  void Forget(const TWpisZapisu& entry);
  // The files moved aside leave the journal (their backups dealt with).
  void DropKept();
  // The entry of the file moved aside from `path` (at most one a run), or null.
  TWpisDziennika* KeptEntry(const std::string& path);
  // The lookups again, after entries left the journal.
  void IndexKept();
  // The record's entry of a file moved aside learns the size and time of the run's file.
  void Stamp(TWpisDziennika& kept, const platform::TWpisKatalogu& now);

  std::vector<TWpisDziennika> entries_;
  std::unordered_map<std::string, TWpisZapisu> planned_;  // by folded path, not yet moved
  std::unordered_map<std::string, std::size_t> keptAt_;   // by folded path: where it was moved
  std::unordered_set<std::string> written_;  // folded paths written, of entries before foldedUpTo_
  std::size_t foldedUpTo_ = 0;
  std::vector<std::string> unstamped_;  // FileCopied in place of a file moved aside
  std::unique_ptr<TZapisPrzebiegu> record_;
  TPytanieOPlik ask_;
  bool refused_ = false;  // "Nie" given once: the rest of the give-back asks no more
  bool complete_ = true;
};

// What the start-up found of a run cut off.
enum class TOdzyskanie {
  Nothing,     // no record
  OwnerAlive,  // the run's process still works (another copy of the program): not touched
  Restored,    // every file it had moved aside is back (or had nothing to give)
  Incomplete,  // some files could not go back: they stay in the record for the next start
};

// At start: gives back what the record of a run cut off lists, newest first. A file whose
// backup is gone had nothing to give (the entry goes), unless its drive is absent (the entry
// stays). A file that is no longer what the run left there (changed since, or gone) is not
// overwritten: its backup stays under the backup name and the entry goes. `ask` as for Undo.
TOdzyskanie RecoverInterruptedRun(int edition, const TPytanieOPlik& ask);

}  // namespace orvala
