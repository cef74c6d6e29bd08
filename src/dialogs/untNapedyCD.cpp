#include "dialogs/untNapedyCD.h"

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
  if (root.empty()) {
    return false;
  }
  platform::TPlatforma& system = platform::Platform();
  const bool program =
      system.FileExists(root + "DuzevIv.exe") || system.FileExists(root + "DuzevIv2.exe");
  return program && system.FileExists(root + "UmowaPol.txt");
}

}  // namespace orvala
