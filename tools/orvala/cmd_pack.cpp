// orvala pack [--capacity N] [--parts K] IN OUT: packs IN into one packed part OUT, or, when
// IN is larger than the capacity (default 2,500,000 bytes) or K is 2 or 3, into K parts
// OUT+"A", OUT+"B", OUT+"C" of equal slices, each within the capacity. Every part is unpacked
// again and compared before it is written. Prints one line per part: path, bytes, packed bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "engine/untPakowanie.h"
#include "untOpcjePakowania.h"
#include "untPakowacz.h"
#include "untPolecenia.h"

namespace orvala::narzedzie {

namespace {

constexpr std::uint64_t kNajwiecejCzesci = 3;

int RunPack(const std::vector<std::string>& args) {
  TArgumenty a;
  if (const std::string error = ParseArguments(args, {"--capacity", "--parts"}, a);
      !error.empty()) {
    return UsageError("pack: " + error);
  }
  const std::uint64_t capacity = OptionOr(a, "--capacity", kPojemnoscProgramuGlownego);
  std::uint64_t parts = OptionOr(a, "--parts", 0);  // 0: as many as the capacity needs
  const bool partsGiven = a.options.count("--parts") != 0;
  if (capacity == 0 || (partsGiven && (parts == 0 || parts > kNajwiecejCzesci))) {
    return UsageError("pack: bad value for --capacity or --parts");
  }
  const std::vector<std::string>& files = a.files;
  if (files.size() != 2) {
    return UsageError("pack takes IN OUT");
  }
  std::vector<std::uint8_t> data;
  if (!ReadWholeFile(files[0], data)) {
    std::fprintf(stderr, "orvala: cannot read %s\n", files[0].c_str());
    return kWynikBlad;
  }
  const bool split = parts >= 2 || data.size() > capacity;
  // The parts allowed: the ones asked for, else the most a payload program has.
  const std::uint64_t allowed = partsGiven ? parts : kNajwiecejCzesci;
  const std::uint64_t limit = capacity > UINT64_MAX / allowed ? UINT64_MAX : capacity * allowed;
  if (data.size() > limit) {
    const char* format = partsGiven
                             ? "orvala: %s: %zu bytes do not fit in the %llu parts asked for: at "
                               "most %llu bytes each, %llu bytes in all\n"
                             : "orvala: %s: %zu bytes do not fit: a payload program has at most "
                               "%llu parts of %llu bytes, %llu bytes in all\n";
    std::fprintf(stderr, format, files[0].c_str(), data.size(),
                 static_cast<unsigned long long>(allowed),
                 static_cast<unsigned long long>(capacity), static_cast<unsigned long long>(limit));
    return kWynikBlad;
  }
  if (parts == 0) {
    parts = std::max<std::uint64_t>(1, data.size() / capacity + (data.size() % capacity != 0));
  }
  const std::uint64_t slice = data.size() / parts + (data.size() % parts != 0);
  for (std::uint64_t k = 0; k < parts; ++k) {
    const std::size_t begin =
        static_cast<std::size_t>(std::min<std::uint64_t>(k * slice, data.size()));
    const std::size_t end =
        static_cast<std::size_t>(std::min<std::uint64_t>(begin + slice, data.size()));
    const std::span<const std::uint8_t> piece(data.data() + begin, end - begin);
    const std::vector<std::uint8_t> part = pakowacz::PackPart(piece);
    const TStanDekodera& s = DecoderState();
    if (!UnpackPart(part, piece.size()) || s.produced != piece.size() ||
        !std::equal(piece.begin(), piece.end(), s.a.begin())) {
      std::fprintf(stderr, "orvala: %s: the packed part does not unpack to its input\n",
                   files[0].c_str());
      return kWynikBlad;
    }
    const std::string path = split ? files[1] + static_cast<char>('A' + k) : files[1];
    if (!WriteWholeFile(path, part.data(), part.size())) {
      std::fprintf(stderr, "orvala: cannot write %s\n", path.c_str());
      return kWynikBlad;
    }
    std::printf("%s\t%zu\t%zu\n", path.c_str(), piece.size(), part.size());
  }
  return kWynikOk;
}

const TRejestracjaPolecenia kRejestracja({"pack", "pack [--capacity N] [--parts K] IN OUT",
                                          RunPack});

}  // namespace

}  // namespace orvala::narzedzie
