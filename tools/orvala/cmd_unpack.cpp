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
  std::uint64_t capacity = kPojemnoscProgramuGlownego;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--capacity") {
      const auto value = i + 1 < args.size() ? ParseCount(args[i + 1]) : std::nullopt;
      if (!value) {
        return UsageError("unpack: bad value for --capacity");
      }
      capacity = *value;
      ++i;
    } else if (args[i].starts_with("--")) {
      return UsageError("unpack: unknown option " + args[i]);
    } else {
      files.push_back(args[i]);
    }
  }
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
