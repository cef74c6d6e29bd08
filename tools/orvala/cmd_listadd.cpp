// orvala list-add LIST PATCHNAME TARGETNAME OLDLEN SCRIPTLEN NEWLEN: appends one record (every
// byte inverted) to the patch list LIST, creating it when missing. The names are given in
// UTF-8 and stored in Windows-1250, as the setup program reads them.
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/untPatcher.h"
#include "textutil/untKodowanie.h"
#include "untLatki.h"
#include "untPolecenia.h"

namespace orvala::narzedzie {

namespace {

int RunListAdd(const std::vector<std::string>& args) {
  if (args.size() != 6) {
    return UsageError("list-add takes LIST PATCHNAME TARGETNAME OLDLEN SCRIPTLEN NEWLEN");
  }
  TRekordLatki record;
  for (int i = 0; i < 2; ++i) {
    bool ok = true;
    std::string name = Utf8ToCodePage(args[1 + i], TStronaKodowa::Cp1250, &ok);
    if (!ok || !IsContainedName(name) || name.size() > 65535) {
      return UsageError("not a file name inside its directory (Windows-1250, no drive, no ..): " +
                        args[1 + i]);
    }
    (i == 0 ? record.patchName : record.targetName) = std::move(name);
  }
  std::uint32_t* const lengths[] = {&record.oldLength, &record.scriptLength, &record.newLength};
  for (int i = 0; i < 3; ++i) {
    const std::optional<std::uint32_t> value = latki::ParseLength(args[3 + i]);
    if (!value) {
      return UsageError("not a length (0 to 4294967295): " + args[3 + i]);
    }
    *lengths[i] = *value;
  }
  if (!latki::WriteHostFile(args[0], latki::EncodeListRecord(record), /*append=*/true)) {
    std::fprintf(stderr, "orvala: cannot append to %s\n", args[0].c_str());
    return kWynikBlad;
  }
  return kWynikOk;
}

const TRejestracjaPolecenia kRejestracja(
    {"list-add", "list-add LIST PATCHNAME TARGETNAME OLDLEN SCRIPTLEN NEWLEN", RunListAdd});

}  // namespace

}  // namespace orvala::narzedzie
