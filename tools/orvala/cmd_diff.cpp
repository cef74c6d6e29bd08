// orvala diff OLD NEW PATCH: writes the patch file that turns OLD into NEW and prints the three
// lengths of its list record: old, script, new.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "untLatki.h"
#include "untPolecenia.h"

namespace orvala::narzedzie {

namespace {

int RunDiff(const std::vector<std::string>& args) {
  if (args.size() != 3) {
    return UsageError("diff takes OLD NEW PATCH");
  }
  std::vector<std::uint8_t> oldFile;
  std::vector<std::uint8_t> newFile;
  if (!latki::ReadHostFile(args[0], oldFile)) {
    std::fprintf(stderr, "orvala: cannot read %s\n", args[0].c_str());
    return kWynikBlad;
  }
  if (!latki::ReadHostFile(args[1], newFile)) {
    std::fprintf(stderr, "orvala: cannot read %s\n", args[1].c_str());
    return kWynikBlad;
  }
  try {
    const latki::TPlikLatki patch = latki::MakePatchFile(oldFile, newFile);
    if (!latki::WriteHostFile(args[2], patch.packed)) {
      std::fprintf(stderr, "orvala: cannot write %s\n", args[2].c_str());
      return kWynikBlad;
    }
    std::printf("%lu %lu %lu\n", static_cast<unsigned long>(patch.oldLength),
                static_cast<unsigned long>(patch.scriptLength),
                static_cast<unsigned long>(patch.newLength));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orvala: %s\n", e.what());
    return kWynikBlad;
  }
  return kWynikOk;
}

const TRejestracjaPolecenia kRejestracja({"diff", "diff OLD NEW PATCH", RunDiff});

}  // namespace

}  // namespace orvala::narzedzie
