// orvala unpack [--capacity N] PART OUT: unpacks one packed part as the setup program does
// (capacity default 2,500,000 bytes) and writes the bytes to OUT. A part outside the limits of
// the format exits with 1 and a one-line reason; nothing is written then.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/untPakowanie.h"
#include "untOpcjePakowania.h"
#include "untPolecenia.h"

namespace orvala::narzedzie {

namespace {

int RunUnpack(const std::vector<std::string>& args) {
  TArgumenty a;
  if (const std::string error = ParseArguments(args, {"--capacity"}, a); !error.empty()) {
    return UsageError("unpack: " + error);
  }
  const std::uint64_t capacity = OptionOr(a, "--capacity", kPojemnoscProgramuGlownego);
  const std::vector<std::string>& files = a.files;
  if (files.size() != 2) {
    return UsageError("unpack takes PART OUT");
  }
  std::vector<std::uint8_t> part;
  if (!ReadWholeFile(files[0], part)) {
    std::fprintf(stderr, "orvala: cannot read %s\n", files[0].c_str());
    return kWynikBlad;
  }
  if (!UnpackPart(part, static_cast<std::size_t>(capacity))) {
    const std::string_view reason = DecoderErrorText(DecoderState().error);
    std::fprintf(stderr, "orvala: %s: %.*s\n", files[0].c_str(), static_cast<int>(reason.size()),
                 reason.data());
    return kWynikBlad;
  }
  const TStanDekodera& s = DecoderState();
  if (!WriteWholeFile(files[1], s.a.data(), s.produced)) {
    std::fprintf(stderr, "orvala: cannot write %s\n", files[1].c_str());
    return kWynikBlad;
  }
  return kWynikOk;
}

const TRejestracjaPolecenia kRejestracja({"unpack", "unpack [--capacity N] PART OUT", RunUnpack});

}  // namespace

}  // namespace orvala::narzedzie
