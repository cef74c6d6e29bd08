// orvala apply LIST UPDATEDIR TARGETDIR: applies the patch list LIST of the host folder
// UPDATEDIR to the host folder TARGETDIR through the setup program's patcher, and prints its
// status. The folders are mapped as drives U: and T: of a host platform.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/untBledy.h"
#include "engine/untPatcher.h"
#include "platform/host/untPlatformaHost.h"
#include "platform/host/untSciezkaHost.h"
#include "textutil/untKodowanie.h"
#include "untPolecenia.h"

namespace orvala::narzedzie {

namespace {

const char* StatusText(std::int32_t status) {
  switch (status) {
    case kStatusOk:
      return "every entry applied";
    case kStatusZlaWersja:
      return "incorrect version of the file to be patched";
    case kStatusZlaDlugosc:
      return "incorrect length of the file to be patched (or it is missing)";
    case kStatusNiepelnyPlik:
      return "the new file could not be built or written in full";
    case kStatusZamianaNieudana:
      return "the installed file could not be replaced";
    case kStatusBrakListy:
      return "the patch list cannot be opened";
    default:
      return "unknown status";
  }
}

int RunApply(const std::vector<std::string>& args) {
  if (args.size() != 3) {
    return UsageError("apply takes LIST UPDATEDIR TARGETDIR");
  }
  // The list's own name is a path (UTF-8), unlike the names inside it.
  const std::string& listName = args[0];
  if (!IsContainedName(listName)) {
    return UsageError("not a list name inside UPDATEDIR: " + args[0]);
  }
  std::error_code ec;
  for (int i = 1; i < 3; ++i) {
    if (!std::filesystem::is_directory(platform::host::PathFromUtf8(args[i]), ec)) {
      std::fprintf(stderr, "orvala: not a folder: %s\n", args[i].c_str());
      return kWynikBlad;
    }
  }
  platform::TPlatformaHost host;
  host.MapDrive('U', platform::host::PathFromUtf8(args[1]));
  host.MapDrive('T', platform::host::PathFromUtf8(args[2]));
  const platform::TZasiegPlatformy scope(host);
  std::int32_t status = 0;
  try {
    status = ApplyPatchList(listName, "U:\\", "T:\\");
  } catch (const EInOutError& e) {
    std::fprintf(stderr, "orvala: I/O error, the rest of the list was not read: %s\n", e.what());
    return kWynikBlad;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orvala: %s\n", e.what());
    return kWynikBlad;
  }
  std::printf("%ld\n", static_cast<long>(status));
  if (status != kStatusOk) {
    std::fprintf(stderr, "orvala: patch status %ld: %s\n", static_cast<long>(status),
                 StatusText(status));
    return kWynikBlad;
  }
  return kWynikOk;
}

const TRejestracjaPolecenia kRejestracja({"apply", "apply LIST UPDATEDIR TARGETDIR", RunApply});

}  // namespace

}  // namespace orvala::narzedzie
