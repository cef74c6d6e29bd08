#include "engine/untInstalWersjeSzczegolne.h"

#include <exception>
#include <memory>

#include "config/untInstalStale.h"
#include "engine/untPakowanie.h"
#include "platform/untPlatforma.h"

namespace orvala {

bool ExtractSpecialVersion(int row, const std::string& fullTargetPath) {
  const TWersjaSpecjalna& version = SpecialVersion(row);
  try {
    std::unique_ptr<platform::TPlikPlatformy> file =
        platform::Platform().CreateWrite(fullTargetPath);
    if (!file) {
      return false;
    }
    // The parts' own results are not looked at: a failing part leaves the file shorter.
    ExtractPartTo(std::string(version.resourceA), *file);
    if (!version.resourceB.empty()) {
      ExtractPartTo(std::string(version.resourceB), *file);
    }
    return file->Close();
  } catch (const std::exception&) {
    return false;
  }
}

std::vector<std::string> WriteSpecialVersions(const std::string& targetDirectory,
                                              TKopieZapasowe* backups) {
  std::vector<std::string> written;
  for (const int row : ActiveEditionDescriptor().specialVersionRows) {
    const TWersjaSpecjalna& version = SpecialVersion(row);
    if (row == 0 || version.file.empty()) {
      continue;
    }
    const std::string path = targetDirectory + "\\" + std::string(version.file);
    const bool kept = backups != nullptr && backups->KeepBeforeWrite(path);
    if (ExtractSpecialVersion(row, path)) {
      written.push_back(path);
    } else if (kept) {
      backups->PutBack(path);
    }
  }
  return written;
}

}  // namespace orvala
