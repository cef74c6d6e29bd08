// The special versions: later builds of some of the package's programs, carried as payload
// resources and written over the files of the installation (the special-versions table of the
// edition descriptor, rows given by ActiveEditionDescriptor().specialVersionRows).
#pragma once

#include <string>
#include <vector>

#include "engine/untDziennikPrzebiegu.h"

namespace orvala {

// Creates (or truncates) `fullTargetPath`, appends the unpacked first and, when the row names
// one, second resource of special-versions row `row` (ExtractPartTo; a failing part is
// skipped), and closes the file. True when the file was created and closed.
bool ExtractSpecialVersion(int row, const std::string& fullTargetPath);

// The run's step: ExtractSpecialVersion for each of the edition's rows, in order, into
// targetDirectory + "\" + the row's file name. Returns the full paths of the files written
// (the run may ignore them). The caller checks the special-versions build switch.
// With the run's `journal`, an existing file is kept before it is replaced, and put back when
// its special version cannot be written whole (a part missing or cut short); every file written
// is journalled. Special versions are optional: one whose file cannot be moved aside is
// skipped. A file in use is asked about as the journal asks; answered No,
// EPrzerwanieInstalacji ends the step.
std::vector<std::string> WriteSpecialVersions(const std::string& targetDirectory,
                                              TDziennikPrzebiegu* journal = nullptr);

}  // namespace orvala
