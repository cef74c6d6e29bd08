// The special versions: each row's packed parts written over its file in the target, journalled;
// one cut short gives the file it replaced back.
#include "engine/untInstalWersjeSzczegolne.h"

#include <exception>
#include <memory>

#include "config/untInstalStale.h"
#include "engine/untBledy.h"
#include "engine/untPakowanie.h"
#include "platform/untPlatforma.h"

namespace orvala {

namespace {

// ExtractSpecialVersion, telling in `whole` whether every part was written too.
bool WriteSpecialVersion(int row, const std::string& fullTargetPath, bool& whole) {
  const TWersjaSpecjalna& version = SpecialVersion(row);
  whole = false;
  try {
    std::unique_ptr<platform::TPlikPlatformy> file =
        platform::Platform().CreateWrite(fullTargetPath);
    if (!file) {
      return false;
    }
    // A failing part leaves the file shorter; ExtractSpecialVersion does not look at it.
    whole = ExtractPartTo(std::string(version.resourceA), *file);
    if (!version.resourceB.empty()) {
      whole = ExtractPartTo(std::string(version.resourceB), *file) && whole;
    }
    const bool closed = file->Close();
    whole = whole && closed;
    return closed;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

bool ExtractSpecialVersion(int row, const std::string& fullTargetPath) {
  bool whole = false;
  return WriteSpecialVersion(row, fullTargetPath, whole);
}

std::vector<std::string> WriteSpecialVersions(const std::string& targetDirectory,
                                              TDziennikPrzebiegu* journal) {
  std::vector<std::string> written;
  for (const int row : ActiveEditionDescriptor().specialVersionRows) {
    const TWersjaSpecjalna& version = SpecialVersion(row);
    if (row == 0 || version.file.empty()) {
      continue;
    }
    const std::string path = targetDirectory + "\\" + std::string(version.file);
    if (journal != nullptr) {
      try {
        journal->KeepBeforeWrite(path);
      } catch (const EInOutError&) {
        continue;  // the old file stays as it is, and the installation goes on without it
      }
    }
    bool whole = false;
    const bool created = WriteSpecialVersion(row, path, whole);
    // Cut short, the file kept before the run (this step's, or the main program's) takes its
    // place again.
    if (!whole && journal != nullptr && journal->PutBack(path)) {
      continue;
    }
    if (created) {
      written.push_back(path);
      if (journal != nullptr) {
        journal->FileWritten(path, TRodzajWpisu::WersjaSzczegolna);
      }
    }
  }
  return written;
}

}  // namespace orvala
