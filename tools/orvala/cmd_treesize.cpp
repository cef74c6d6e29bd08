// orvala tree-size DIR [--no-dictionaries]: the bytes the options page requires for a CD tree.
//
// DIR (a host folder) becomes drive D: of a host platform, the setup program's own name is
// "instalator.exe", and the answer is DirectoryTreeSize(D:\, exclusion list) + 2,100,000, as a
// decimal byte count.
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "config/untStaleApp.h"
#include "engine/untSciezki.h"
#include "platform/host/untPlatformaHost.h"
#include "untPolecenia.h"

namespace orvala::narzedzie {

namespace {

int TreeSize(const std::vector<std::string>& args) {
  std::string dir;
  bool dictionaries = true;
  for (const std::string& a : args) {
    if (a == "--no-dictionaries") {
      dictionaries = false;
    } else if (a.empty() || a[0] == '-' || !dir.empty()) {
      return UsageError("tree-size: unexpected argument '" + a + "'");
    } else {
      dir = a;
    }
  }
  if (dir.empty()) {
    return UsageError("tree-size: DIR is missing");
  }
  const std::filesystem::path folder(dir);
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) {
    std::fprintf(stderr, "orvala: tree-size: %s is not a directory\n", dir.c_str());
    return kWynikBlad;
  }
  platform::TPlatformaHost host;
  host.MapDrive('D', folder, platform::TTypNapedu::CdRom);
  host.SetModuleFileName("D:\\instalator.exe");
  const platform::TZasiegPlatformy scope(host);
  const std::uint64_t bytes = RequiredInstallationBytes("D:\\", dictionaries);
  std::printf("%" PRIu64 "\n", bytes);
  return kWynikOk;
}

const TRejestracjaPolecenia kRejestracja({"tree-size", "tree-size DIR [--no-dictionaries]",
                                          &TreeSize});

}  // namespace

}  // namespace orvala::narzedzie
