#include "dialogs/untNapedyCD.h"

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

bool HoldsPackage(const std::string& root) {
  return IsSourceDirectory(root);  // the same test as the wizard's source folder
}

}  // namespace orvala
