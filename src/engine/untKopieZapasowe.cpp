// Backup names, and the names of one target folder as the tree copy knows them.
#include "engine/untKopieZapasowe.h"

#include <utility>

namespace orvala {

namespace {

using platform::Platform;

constexpr const char* kPrzyrostekKopii = ".orvala-kopia";

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

}  // namespace orvala
