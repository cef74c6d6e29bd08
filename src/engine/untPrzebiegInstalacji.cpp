// The installation run: the copy of the medium, the main program, the shared components, the
// special versions and the later steps, and how a cancel or a failure ends it.
#include "engine/untPrzebiegInstalacji.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "config/untInstalStale.h"
#include "config/untInstalTeksty.h"
#include "config/untInstalTekstyId.h"
#include "config/untRejestr.h"
#include "config/untStaleApp.h"
#include "engine/untBledy.h"
#include "engine/untBlokKopii.h"
#include "engine/untInstalFunkcje.h"
#include "engine/untInstalOdswiezanie.h"
#include "engine/untInstalPostep.h"
#include "engine/untInstalWersjeSzczegolne.h"
#include "engine/untPakowanie.h"
#include "engine/untPatcher.h"
#include "engine/untPlikWUzyciu.h"
#include "engine/untSciezki.h"
#include "platform/untPlatforma.h"
#include "textutil/untUtils.h"

namespace orvala {

namespace {

using platform::Platform;

struct TKomponentSystemowy {
  const char* file;
  int major;
  int minor;
};
constexpr TKomponentSystemowy kKomponentySystemowe[] = {
    {"comctl32.dll", 4, 72},
    {"comctl32.ocx", 5, 1},
};

// The files the steps after the copy write into the target: the main program and, where the
// build writes them, the special versions.
std::vector<std::string> LaterFiles() {
  std::vector<std::string> files{std::string(ActiveEditionDescriptor().mainProgramFile)};
  if (kPrzelacznikiBudowy.specialVersions) {
    for (const int row : ActiveEditionDescriptor().specialVersionRows) {
      if (row != 0 && !SpecialVersion(row).file.empty()) {
        files.emplace_back(SpecialVersion(row).file);
      }
    }
  }
  return files;
}

// The directory to enumerate: a bare drive ("D:") is listed as its root ("D:\").
std::string ListingPath(const std::string& directory) {
  return !directory.empty() && directory.back() == ':' ? directory + '\\' : directory;
}

// Reads up to `count` bytes, as many as the file has: a short read is not yet its end.
bool ReadFull(platform::TPlikPlatformy& file, std::uint8_t* buffer, std::size_t count,
              std::size_t& got) {
  got = 0;
  while (got < count) {
    std::size_t step = 0;
    if (!file.Read(buffer + got, count - got, step)) {
      return false;
    }
    if (step == 0) {
      break;
    }
    got += step;
  }
  return true;
}

class TPrzebieg {
 public:
  TPrzebieg(const TOpcjeInstalacji& options, TStanInstalacji& state,
            TObserwatorInstalacji& observer)
      : options_(options),
        state_(state),
        observer_(observer),
        journal_(state.journal),
        display_(observer, options.language) {
    journal_.Start(ActiveEdition());
    journal_.AskWhenInUse([this](const std::string& path) { return AskInUse(path); });
  }

  TWynikInstalacji Run();

 private:
  void CopyPhase();
  bool CopyTree(const std::string& source, const std::string& target, const std::string& list,
                bool created);
  TNazwyFolderu NamesOf(const std::string& target, bool created,
                        const std::vector<platform::TWpisKatalogu>& incoming) const;
  // What became of one file of the tree.
  enum class TPlik { Written, AlreadyInPlace, Cancelled };
  TPlik InstallFile(const std::string& from, const std::string& to, const std::string& folder,
                    const platform::TWpisKatalogu& entry, TNazwyFolderu& names);
  TPlik CopyOneFile(const std::string& source, const std::string& target);
  TPlik CompareWithPresent(const std::string& source, const std::string& target);
  void MainProgramStep();
  void LaterSteps();
  bool CheckCancel();
  bool CheckPoint() { return state_.cancelled || CheckCancel(); }
  // A press of Close seen inside a file: the question at once; true when the cancel was
  // confirmed and rolled back. `partial` is the file being written, deleted before the rollback.
  bool CancelInsideFile(std::unique_ptr<platform::TPlikPlatformy>* out, const std::string& partial);
  bool AskToCancel();
  void ConfirmCancel();
  void Rollback();
  bool AskInUse(const std::string& path);
  void Finish(bool failed);

  TWideString Text(int id) const { return GetText(options_.language, id, false); }
  // The gauge at bytes done, on the screen when a redraw is due (untInstalOdswiezanie.h).
  void ShowProgress() { display_.Gauge(scale_.Maximum(), scale_.Position(state_.bytesDone)); }
  void Messages() { observer_.ProcessMessages(); }

  const TOpcjeInstalacji& options_;
  TStanInstalacji& state_;
  TObserwatorInstalacji& observer_;
  TDziennikPrzebiegu& journal_;
  TOdswiezanie display_;
  TSkalaPostepu scale_;
  TBlokKopii block_;  // one source medium for the whole run: its pace carries over files
  std::vector<std::uint8_t> buffer_;
  std::vector<std::uint8_t> present_;  // a block of the file already in the target
  std::string copyRoot_;  // the target, folded (FoldPath): a source folder that is it is skipped
};

TWynikInstalacji TPrzebieg::Run() {
  state_.running = true;
  state_.cancelRequested = false;
  state_.cancelled = false;
  state_.success = false;
  scale_ = TSkalaPostepu(options_.requiredBytes);
  observer_.EnableClose(true);
  bool failed = false;
  try {
    // Close is enabled until the copy phase reaches the steps that cannot be undone, or a cancel
    // starts the rollback.
    CopyPhase();
    if (!state_.cancelled) {
      LaterSteps();
    }
  } catch (const EPrzerwanieInstalacji&) {
    // A file in use, and the user chose to end: as a confirmed cancel.
    Rollback();
    state_.cancelled = true;
  } catch (const std::exception&) {
    failed = true;  // the end page reports it
  } catch (...) {
    failed = true;
  }
  Finish(failed);
  observer_.SetGauge(scale_.Maximum(), scale_.Maximum());
  state_.running = false;
  state_.success = !state_.cancelled && !failed;
  // OfferConversion: the conversion of a previous version's data belongs to editions whose
  // descriptor names a conversion kind; this edition's is 0, so nothing is offered.
  Messages();
  if (state_.cancelled) {
    return TWynikInstalacji::Cancelled;
  }
  return failed ? TWynikInstalacji::Failed : TWynikInstalacji::Success;
}

// The journal at the end: a cancel has undone it already; a failed run gives back what it
// replaced and keeps what it added; a finished run commits it. What could not be given back is
// told before the end page (text 316): it stays in the record for the next start.
void TPrzebieg::Finish(bool failed) {
  const auto tick = [this] { display_.Tick(); };
  if (!state_.cancelled) {
    if (failed) {
      observer_.EnableClose(false);  // the failure may have come before the copy's end
      journal_.Undo(TCofanie::Replaced, tick);
    } else {
      journal_.Commit(tick);
    }
  }
  if (!journal_.GaveEverythingBack()) {
    display_.Flush();
    observer_.Inform(Text(kTekstNiePrzywrocono));
  }
}

void TPrzebieg::CopyPhase() {
  state_.bytesDone = 0;
  observer_.ShowStage(Text(kTekstKopiowaniePlikow));
  Messages();
  ShowProgress();
  if (!kPrzelacznikiBudowy.skipCopy) {
    const std::string list = BuildExclusionList(ActiveEdition(), options_.installDictionaries);
    platform::TPlatforma& os = Platform();
    copyRoot_ = os.FoldPath(WithoutTrailingBackslash(options_.targetDirectory));
    // The options page records the target when it creates it: then it holds nothing yet.
    const std::vector<std::string> made = journal_.Paths(TRodzajWpisu::KatalogUtworzony);
    const bool created = std::any_of(made.begin(), made.end(), [this, &os](const std::string& d) {
      return os.FoldPath(d) == copyRoot_;
    });
    CopyTree(WithoutTrailingBackslash(options_.sourceDirectory), options_.targetDirectory, list,
             created);
    display_.Flush();  // the last file and the gauge as the copy left them
  }
  if (CheckPoint()) {
    return;
  }
  MainProgramStep();
  if (CheckPoint()) {
    return;
  }
  state_.bytesDone += kRezerwaProgramuGlownego;
  ShowProgress();
  observer_.ShowFiles(TWideString(), TWideString());
  display_.Flush();
  // The edition's font flag is off: no font is installed by this build.
  if (CheckPoint()) {
    return;
  }
  for (const TKomponentSystemowy& component : kKomponentySystemowe) {
    EnsureSystemComponent(component.file, options_.sourceDirectory, component.major,
                          component.minor);
    Messages();
    if (CheckPoint()) {
      return;
    }
  }
  // No check point follows: Close would only raise a request that nothing answers.
  observer_.EnableClose(false);
  if (kPrzelacznikiBudowy.specialVersions) {
    WriteSpecialVersions(options_.targetDirectory, &journal_);
  }
  Messages();
}

bool TPrzebieg::CopyTree(const std::string& source, const std::string& target,
                         const std::string& list, bool created) {
  platform::TPlatforma& os = Platform();
  std::vector<platform::TWpisKatalogu> entries;
  if (!os.ListDirectory(ListingPath(source), entries)) {
    // An unreadable folder of the medium would otherwise leave its files out silently.
    throw EInOutError("cannot list directory " + source);
  }
  // What the copy brings into the folder: the medium's entries less the excluded names.
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [&list](const platform::TWpisKatalogu& e) {
                                 return e.name == "." || e.name == ".." ||
                                        IsNameExcluded(e.name, list);
                               }),
                entries.end());
  TNazwyFolderu names = NamesOf(target, created, entries);
  if (!created) {
    // The target's own plan also covers what the later steps write there.
    journal_.PlanFolder(
        target, entries, names,
        target == options_.targetDirectory ? LaterFiles() : std::vector<std::string>());
  }
  for (const platform::TWpisKatalogu& entry : entries) {
    const std::string from = source + '\\' + entry.name;
    const std::string to = target + '\\' + entry.name;
    if (entry.IsDirectory()) {
      if (os.FoldPath(from) == copyRoot_) {
        continue;  // the target inside the source: never copy the copy into itself
      }
      const bool madeNow = os.CreateDirectory(to);
      if (madeNow) {
        state_.bytesDone += entry.size;
        journal_.DirectoryCreated(to);
      }
      if (!os.DirectoryExists(to)) {
        // A file of that name in the way: the subtree cannot be installed.
        throw EInOutError("cannot create directory " + to);
      }
      if (CopyTree(from, to, list, madeNow)) {
        return true;
      }
    } else {
      const TPlik done = InstallFile(from, to, target, entry, names);
      if (done == TPlik::Cancelled) {
        return true;
      }
      if (done == TPlik::Written) {
        journal_.FileCopied(to);
      }
    }
    ShowProgress();
    if (CheckPoint()) {
      return true;
    }
  }
  journal_.FolderCopied(target);
  return false;
}

TNazwyFolderu TPrzebieg::NamesOf(const std::string& target, bool created,
                                 const std::vector<platform::TWpisKatalogu>& incoming) const {
  if (created) {
    return TNazwyFolderu();
  }
  // One listing per folder that existed tells which files the copy replaces.
  std::vector<platform::TWpisKatalogu> present;
  if (!Platform().ListDirectory(ListingPath(target), present)) {
    throw EInOutError("cannot list directory " + target);
  }
  return TNazwyFolderu(present, incoming);
}

TPrzebieg::TPlik TPrzebieg::InstallFile(const std::string& from, const std::string& to,
                                        const std::string& folder,
                                        const platform::TWpisKatalogu& entry,
                                        TNazwyFolderu& names) {
  // A file the previous installation left with the CD's size and plain attributes may already
  // be the CD's: then there is nothing to replace, keep aside, delete or undo.
  const platform::TWpisKatalogu* present = names.Unreplaced(entry.name);
  constexpr std::uint32_t kNotAsWritten =
      platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem;
  if (present != nullptr && present->size == entry.size &&
      (present->attributes & kNotAsWritten) == 0) {
    const TPlik compared = CompareWithPresent(from, to);
    if (compared != TPlik::Written) {
      return compared;
    }
  }
  const bool kept = journal_.KeepBeforeCopy(folder, entry.name, names);
  try {
    return CopyOneFile(from, to);
  } catch (...) {
    if (kept) {
      journal_.PutBack(to);
    }
    throw;
  }
}

// AlreadyInPlace when the target holds the source's bytes (the gauge moved by them); Written
// when it differs or cannot be read (the copy then writes it as any other), with bytes done as
// before; Cancelled when a cancel was confirmed meanwhile.
TPrzebieg::TPlik TPrzebieg::CompareWithPresent(const std::string& source,
                                               const std::string& target) {
  display_.Files(source, target);
  platform::TPlatforma& os = Platform();
  const std::unique_ptr<platform::TPlikPlatformy> in = os.OpenRead(source);
  if (!in) {
    throw EInOutError("cannot open " + source);
  }
  const std::unique_ptr<platform::TPlikPlatformy> have = os.OpenRead(target);
  if (!have) {
    return TPlik::Written;
  }
  const std::uint64_t start = state_.bytesDone;
  for (;;) {
    if (state_.cancelRequested && CancelInsideFile(nullptr, std::string())) {
      return TPlik::Cancelled;
    }
    const std::size_t size = block_.Size();
    buffer_.resize(size);
    present_.resize(size);
    const std::uint32_t began = observer_.Milliseconds();
    std::size_t got = 0;
    if (!ReadFull(*in, buffer_.data(), size, got)) {
      throw EInOutError("cannot read " + source);
    }
    // One byte more than the source gave at its end tells a longer target.
    std::size_t same = 0;
    const std::size_t want = got == 0 ? 1 : got;
    if (!ReadFull(*have, present_.data(), want, same) || same != got ||
        std::memcmp(buffer_.data(), present_.data(), got) != 0) {
      state_.bytesDone = start;
      return TPlik::Written;
    }
    if (got == 0) {
      return TPlik::AlreadyInPlace;
    }
    block_.Took(observer_.Milliseconds() - began);
    state_.bytesDone += got;
    ShowProgress();
  }
}

TPrzebieg::TPlik TPrzebieg::CopyOneFile(const std::string& source, const std::string& target) {
  display_.Files(source, target);
  platform::TPlatforma& os = Platform();
  const std::unique_ptr<platform::TPlikPlatformy> in = os.OpenRead(source);
  if (!in) {
    throw EInOutError("cannot open " + source);
  }
  std::unique_ptr<platform::TPlikPlatformy> out =
      RetryWhileInUse([this](const std::string& path) { return AskInUse(path); }, target,
                      [&] { return os.CreateWrite(target); });
  if (!out) {
    throw EInOutError("cannot create " + target);
  }
  try {
    for (;;) {
      // Close may have been pressed at the last redraw: a large file is not waited for.
      if (state_.cancelRequested && CancelInsideFile(&out, target)) {
        return TPlik::Cancelled;
      }
      const std::size_t size = block_.Size();
      buffer_.resize(size);
      const std::uint32_t began = observer_.Milliseconds();
      std::size_t got = 0;
      if (!in->Read(buffer_.data(), size, got)) {
        throw EInOutError("cannot read " + source);
      }
      if (got == 0) {
        break;
      }
      std::size_t written = 0;
      if (!out->Write(buffer_.data(), got, written) || written != got) {
        throw EInOutError("cannot write " + target);
      }
      block_.Took(observer_.Milliseconds() - began);
      state_.bytesDone += got;
      ShowProgress();
    }
    if (!out->Close()) {
      throw EInOutError("cannot close " + target);
    }
  } catch (...) {
    // A partly written file must not stay behind looking like an installed one.
    out.reset();
    os.DeleteFile(target);
    throw;
  }
  in->Close();
  return TPlik::Written;
}

void TPrzebieg::MainProgramStep() {
  const std::string mainProgram = WithTrailingBackslash(options_.targetDirectory) +
                                  std::string(ActiveEditionDescriptor().mainProgramFile);
  observer_.ShowFiles(FileLabel(options_.language, kTekstPlikZ, options_.sourceDirectory),
                      FileLabel(options_.language, kTekstPlikDo, mainProgram));
  display_.Forget();
  Messages();
  const bool kept = journal_.KeepBeforeWrite(mainProgram);
  try {
    journal_.FileWritten(BuildMainProgram(options_.targetDirectory));
  } catch (...) {
    if (kept) {
      journal_.PutBack(mainProgram);
    }
    throw;
  }
  Messages();
  if (!state_.cancelled) {
    CheckCancel();  // the next check point sees a confirmed cancel
  }
}

void TPrzebieg::LaterSteps() {
  CreateShortcuts(options_, observer_);
  Messages();
  WriteRegistry(options_, observer_);
  Messages();
  // RegisterComServers: the COM-component table has no row for this edition.
  // InstallAddIns: the word-processor and browser add-ins are not offered by this edition
  // (their options stay off), so nothing is installed.
  const std::string updateDirectory =
      EffectiveUpdateDirectory(options_.updateDirectory, options_.sourceDirectory);
  ApplyEditionPatches(updateDirectory, options_.targetDirectory);
  Messages();
  ApplyPatchScripts(updateDirectory, options_.targetDirectory);
  Messages();
}

bool TPrzebieg::CheckCancel() {
  if (state_.cancelled) {
    return true;
  }
  if (!state_.cancelRequested || !AskToCancel()) {
    return false;
  }
  ConfirmCancel();
  return true;
}

bool TPrzebieg::CancelInsideFile(std::unique_ptr<platform::TPlikPlatformy>* out,
                                 const std::string& partial) {
  if (state_.cancelled || !AskToCancel()) {
    return false;  // "Nie": the copy goes on from the same byte
  }
  if (out != nullptr) {
    out->reset();  // closed, and journalled: the undo deletes it first, as the run's newest file
    journal_.FileWritten(partial);
  }
  // The file it replaced, kept aside before the copy began, comes back with the others.
  ConfirmCancel();
  return true;
}

bool TPrzebieg::AskToCancel() {
  if (observer_.AskYesNo(Text(kTekstCzyPrzerwac))) {
    return true;
  }
  state_.cancelRequested = false;
  return false;
}

void TPrzebieg::ConfirmCancel() {
  Rollback();
  state_.cancelled = true;
}

// The question about a file another program holds, in the question dialog: true for Yes.
bool TPrzebieg::AskInUse(const std::string& path) {
  display_.Flush();
  return observer_.AskYesNo(FileLabel(options_.language, kTekstPlikUzywany, path));
}

void TPrzebieg::Rollback() {
  observer_.EnableClose(false);
  observer_.ShowFiles(TWideString(), TWideString());
  display_.Forget();
  observer_.ShowStage(Text(kTekstAnulowano));
  const std::size_t count = journal_.Size();
  // The item count is small, but the gauge takes it through the same scale rules.
  const TSkalaPostepu scale(static_cast<std::int64_t>(count));
  std::uint64_t done = 0;
  display_.Gauge(scale.Maximum(), 0);
  display_.Flush();
  const auto step = [&] { display_.Gauge(scale.Maximum(), scale.Position(++done)); };
  // Newest first: the run's files go, the files they replaced take their names back, the
  // directories it made go once empty.
  journal_.Undo(TCofanie::All, step);
  display_.Flush();
  // The run's gauge is full at the end whatever the outcome: it keeps the items' range, so the
  // bar does not jump back before it fills. The bytes done stay what the copy did.
  scale_ = scale;
}

}  // namespace

TWynikInstalacji RunInstallation(const TOpcjeInstalacji& options, TStanInstalacji& state,
                                 TObserwatorInstalacji& observer) {
  return TPrzebieg(options, state, observer).Run();
}

}  // namespace orvala
