// The target as an earlier installation left it, and what the tests of a reinstall compare:
// a snapshot of the target, the files the run replaces, the record of a run under way.
#pragma once

#include <gtest/gtest.h>

#include <map>

#include "config/untInstalStale.h"
#include "config/untRejestr.h"
#include "config/untStaleApp.h"
#include "engine/untInstalOdswiezanie.h"
#include "engine/untKopieZapasowe.h"
#include "engine/untPrzebiegInstalacji.h"
#include "platform/untPlatformaAwarie.h"
#include "textutil/untUtils.h"
#include "untSrodowiskoInstalacji.h"

namespace orvala::testy {

namespace fs = std::filesystem;
using platform::kAttrHidden;
using platform::kAttrReadOnly;
using platform::TOperacja;
using platform::TPlatformaAwarie;
using platform::TZasiegPlatformy;

inline const std::string kCel = "C:\\Program Files\\Orvalis";
inline const TWideString kEtykietaProgramu = u"Do: C:\\Program Files\\Orvalis\\Orvatr.exe";

// Every entry under a folder: its path below the folder, attributes and (files) bytes.
struct TWpis {
  std::uint32_t attributes;
  std::string bytes;
  bool operator==(const TWpis&) const = default;
};
using TObraz = std::map<std::string, TWpis>;

inline void Collect(platform::TPlatformaHost& host, const std::string& folder,
                    const std::string& below, TObraz& out) {
  std::vector<platform::TWpisKatalogu> entries;
  ASSERT_TRUE(host.ListDirectory(folder, entries)) << folder;
  for (const platform::TWpisKatalogu& e : entries) {
    if (e.name == "." || e.name == "..") {
      continue;
    }
    const std::string path = folder + '\\' + e.name;
    const std::string key = below + e.name;
    if (e.IsDirectory()) {
      out[key] = {e.attributes, ""};
      Collect(host, path, key + '\\', out);
    } else {
      out[key] = {e.attributes, ReadHostFile(*host.HostPath(path))};
    }
  }
}

// The entry of `path` in `image`, its name compared without regard to case.
inline TWpis Entry(const TObraz& image, const std::string& path) {
  for (const auto& [name, entry] : image) {
    if (LowerText1250(name) == LowerText1250(path)) {
      return entry;
    }
  }
  ADD_FAILURE() << "missing: " << path;
  return {};
}

inline TObraz Snapshot(platform::TPlatformaHost& host) {
  TObraz out;
  Collect(host, kCel, "", out);
  return out;
}

// The demo CD, and the target as an earlier installation of it left it: files of the CD with
// other bytes (one read-only, one hidden, one named in another case), an older main program,
// special version and uninstaller, and the user's own files and folders, one of them under the
// name a backup would take first. The CD brings a file under a backup name too.
inline void MakePreviousInstallation(TSrodowiskoInstalacji& env) {
  env.MakeDemoCd();
  WriteHostFile(env.d / "DuzevIv.exe.orvala-kopia", "a file of the package");
  const fs::path t = env.Target();
  WriteHostFile(t / "DuzevIv.exe", "old duzeviv");
  WriteHostFile(t / "trans.chm", "old help");
  WriteHostFile(t / "SlZewRu.exe", "old slzewru");
  WriteHostFile(t / "Dane" / "polrus.sz", "old polrus");
  WriteHostFile(t / "Dane" / "Gramatyka" / "rus_gram.chm", "old grammar");
  WriteHostFile(t / "Orvatr.exe", "old orvatr");
  WriteHostFile(t / "TrPlikRu.exe", "old trplikru");
  WriteHostFile(t / "DeInstalator.exe", "old deinstalator");
  WriteHostFile(t / "moje.txt", "user data");
  WriteHostFile(t / "Dane" / "notatki.txt", "notes");
  WriteHostFile(t / "Trans.chm.orvala-kopia", "the user's file under a backup name");
  fs::create_directories(t / "Moje" / "Puste");
  env.host.SetAttributes(kCel + "\\trans.chm", kAttrReadOnly);
  env.host.SetAttributes(kCel + "\\SlZewRu.exe", kAttrHidden);
  env.host.SetAttributes(kCel + "\\DeInstalator.exe", kAttrReadOnly);
  env.host.SetAttributes(kCel + "\\Moje", kAttrHidden);
}

// Files the previous installation has that the run replaces, and the order it keeps them in.
inline const std::vector<std::string> kZastapione = {"Dane\\Gramatyka\\rus_gram.chm",
                                                     "Dane\\polrus.sz",
                                                     "DuzevIv.exe",
                                                     "SlZewRu.exe",
                                                     "trans.chm",
                                                     "Orvatr.exe",
                                                     "TrPlikRu.exe",
                                                     "DeInstalator.exe"};

// No backup left: the only names of that form are the user's file and the package's.
inline bool NoBackupLeft(const TObraz& image) {
  for (const auto& [path, entry] : image) {
    if (path.find(".orvala-kopia") != std::string::npos && path != "Trans.chm.orvala-kopia" &&
        path != "DuzevIv.exe.orvala-kopia") {
      ADD_FAILURE() << "left behind: " << path;
      return false;
    }
  }
  return true;
}

struct TPonowna {
  TSrodowiskoInstalacji env;
  TObraz before;
  TStanInstalacji state;
  TObserwatorTestowy observer{state};

  TPonowna() {
    MakePreviousInstallation(env);
    before = Snapshot(env.host);
  }
  TWynikInstalacji Run() { return RunInstallation(env.Options(), state, observer); }
  // Presses Close at the `n`-th pending-messages call of the run.
  void PressCloseAt(int n) {
    observer.onMessages = [n](int k, TStanInstalacji& s) {
      if (k == n && s.running) {
        s.cancelRequested = true;
      }
    };
  }
};

inline const std::string kZapis = "SOFTWARE\\Vertal\\Orvala\\TrwajacaInstalacja";

// The path a question about a file in use names, read back from text 314.
inline TWideString InUseQuestion(const std::string& path) {
  return FileLabel(kJezykPolski, 314, path);
}

// Every file the run replaced is back and every file it added is still there.
inline void ExpectPreviousPlusAdded(const TObraz& before, const TObraz& after,
                                    const std::vector<std::string>& added) {
  EXPECT_TRUE(NoBackupLeft(after));
  for (const auto& [path, entry] : before) {
    EXPECT_EQ(Entry(after, path).bytes, entry.bytes) << path;
  }
  for (const auto& [path, entry] : after) {
    const bool known = std::any_of(before.begin(), before.end(), [&](const auto& b) {
      return LowerText1250(b.first) == LowerText1250(path);
    });
    if (!known) {
      EXPECT_TRUE(std::find(added.begin(), added.end(), kCel + "\\" + path) != added.end() ||
                  (entry.attributes & platform::kAttrDirectory) != 0)
          << "not the run's: " << path;
    }
  }
}

// How many calls of `operation` a reinstall that nothing disturbs makes.
inline int CallsOfACleanRun(TOperacja operation) {
  TPonowna clean;
  TPlatformaAwarie counts(clean.env.host);
  TZasiegPlatformy scope(counts);
  EXPECT_EQ(clean.Run(), TWynikInstalacji::Success);
  return counts.Calls(operation);
}

}  // namespace orvala::testy
