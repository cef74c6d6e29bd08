// Backup names of the files a reinstall replaces, and what the tree copy knows of the names of
// one target folder.
//
// Backup names: the file's name followed by ".orvala-kopia" ("Trans.chm.orvala-kopia"); when
// that name is taken, ".orvala-kopia2", ".orvala-kopia3", and so on. A name is taken when the
// folder holds it or when the package brings a file of that name into the folder, so a kept
// file never stands in the way of a package file and never replaces anything. The run's journal
// (untDziennikPrzebiegu.h) moves the files aside and gives them back.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/untPlatforma.h"

namespace orvala {

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

}  // namespace orvala
