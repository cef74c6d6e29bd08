// The CD-ROM drives, the drives worth offering, and whether a root holds the package.
#include "dialogs/untNapedyCD.h"

#include <algorithm>

#include "engine/untSciezki.h"
#include "platform/untPlatforma.h"
#include "textutil/untUtils.h"

namespace orvala {

std::vector<std::string> CdRomRoots() {
  platform::TPlatforma& system = platform::Platform();
  std::vector<std::string> roots;
  for (const std::string& drive : system.LogicalDrives()) {
    std::string root = UpperText1250(drive);
    if (system.DriveType(root) == platform::TTypNapedu::CdRom) {
      roots.push_back(std::move(root));
    }
  }
  return roots;
}

std::vector<std::string> SourceCandidates() {
  std::vector<std::string> candidates = CdRomRoots();
  const std::string own = ProgramDirectory();
  platform::TPlatforma& system = platform::Platform();
  const bool listed = std::any_of(candidates.begin(), candidates.end(),
                                  [&](const std::string& r) { return system.SamePath(r, own); });
  if (!listed && HoldsPackage(own)) {
    candidates.push_back(own);
  }
  return candidates;
}

bool HoldsPackage(const std::string& root) {
  return IsSourceDirectory(root);  // the same test as the wizard's source folder
}

}  // namespace orvala
