// The decoder of packed parts, as a build of the setup program has it: each packed part (made by
// `orvala pack`) unpacked again and again, the best time printed. Built by both toolchains, so
// the same part can be timed natively and in the Windows build under Wine:
//
//   bench_decode PART... [ROUNDS=20]
//
// Prints per part the unpacked size, the best time of a whole part and of each stage, and the
// rate in MB/s of unpacked bytes. Built with zlib, it also deflates the unpacked bytes at level 9
// and times zlib's inflate of them in the same process, alternately with the whole part, and
// prints the speed ratio (with several parts, a last table of the ratios). Never fails on a
// figure.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#if ORVALA_BENCH_ZLIB
#include <zlib.h>
#endif

#include "engine/untPakowanie.h"

namespace {

using Clock = std::chrono::steady_clock;

// Runs the candidates in turn, `rounds` times, and gives each one's best time in seconds.
// Alternating exposes all of them to the same conditions on a shared machine.
template <typename... F>
std::vector<double> BestSeconds(int rounds, F... runs) {
  std::vector<double> best(sizeof...(F), 1e30);
  for (int r = 0; r < rounds; ++r) {
    std::size_t k = 0;
    (
        [&] {
          const auto start = Clock::now();
          runs();
          best[k] = std::min(best[k], std::chrono::duration<double>(Clock::now() - start).count());
          ++k;
        }(),
        ...);
  }
  return best;
}

bool IsCount(const char* text) {
  return *text != '\0' && std::strspn(text, "0123456789") == std::strlen(text);
}

// The ratio of the whole part's rate to zlib's, 0 without zlib, or a negative value when the
// part cannot be measured.
double MeasurePart(const std::string& path, int rounds) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> part{std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>()};
  if (part.empty() || !orvala::UnpackPart(part, orvala::kPojemnoscProgramuGlownego)) {
    std::fprintf(stderr, "bench_decode: %s is not a packed part\n", path.c_str());
    return -1;
  }
  orvala::TStanDekodera& st = orvala::DecoderState();
  const std::size_t produced = st.produced;
  const std::size_t items = st.bCount;
  const auto whole = [&] { orvala::UnpackPart(part, orvala::kPojemnoscProgramuGlownego); };
  // The prefix-code stage alone reads the part from buffer A. A part of its own is swapped in
  // and out, so that copying it there is not timed (UnpackPart reads the part where it lies):
  // the stage leaves A as it found it, the back-reference stage writes the output there.
  std::vector<std::uint8_t> packed(part);
  const auto prefix = [&] {
    std::swap(st.a, packed);
    st.aCount = part.size();
    st.status = 0;
    orvala::DecodePrefixStage();
    std::swap(st.a, packed);
  };
  const auto backref = [&] {
    st.bCount = items;
    st.aCapacity = orvala::kPojemnoscProgramuGlownego;
    orvala::DecodeBackrefStage();
  };
  const auto rate = [&](double seconds) { return static_cast<double>(produced) / seconds / 1e6; };
  std::printf("%s: part %zu bytes -> %zu bytes (%zu items), best of %d\n", path.c_str(),
              part.size(), produced, items, rounds);
#if ORVALA_BENCH_ZLIB
  const std::vector<std::uint8_t> data(st.a.begin(),
                                       st.a.begin() + static_cast<std::ptrdiff_t>(produced));
  uLongf zSize = compressBound(static_cast<uLong>(data.size()));
  std::vector<std::uint8_t> deflated(zSize);
  compress2(deflated.data(), &zSize, data.data(), static_cast<uLong>(data.size()), 9);
  deflated.resize(zSize);
  std::vector<std::uint8_t> inflated(data.size());
  uLongf outSize = static_cast<uLongf>(inflated.size());
  if (uncompress(inflated.data(), &outSize, deflated.data(), static_cast<uLong>(zSize)) != Z_OK ||
      inflated != data) {
    std::fprintf(stderr, "bench_decode: zlib round trip failed\n");
    return -1;
  }
  const auto zlib = [&] {
    uLongf n = static_cast<uLongf>(inflated.size());
    uncompress(inflated.data(), &n, deflated.data(), static_cast<uLong>(deflated.size()));
  };
  const std::vector<double> t = BestSeconds(rounds, whole, zlib, prefix, backref);
#else
  std::vector<double> t = BestSeconds(rounds, whole, prefix, backref);
  t.insert(t.begin() + 1, 0.0);
#endif
  std::printf("  whole part      %8.2f ms  %7.1f MB/s\n", t[0] * 1e3, rate(t[0]));
  std::printf("  prefix stage    %8.2f ms  %7.1f MB/s\n", t[2] * 1e3, rate(t[2]));
  std::printf("  backref stage   %8.2f ms  %7.1f MB/s\n", t[3] * 1e3, rate(t[3]));
  if (t[1] == 0.0) {
    return 0;
  }
  std::printf("  zlib inflate    %8.2f ms  %7.1f MB/s  (level 9, %zu bytes)\n", t[1] * 1e3,
              rate(t[1]), static_cast<std::size_t>(zSize));
  std::printf("  speed ratio whole part / zlib: %.2f\n", t[1] / t[0]);
  return t[1] / t[0];
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> parts(argv + 1, argv + argc);
  int rounds = 20;
  if (parts.size() > 1 && IsCount(parts.back().c_str())) {
    rounds = std::max(1, std::atoi(parts.back().c_str()));
    parts.pop_back();
  }
  if (parts.empty()) {
    std::fputs("usage: bench_decode PART... [ROUNDS]\n", stderr);
    return 2;
  }
  std::vector<double> ratios;
  for (const std::string& path : parts) {
    ratios.push_back(MeasurePart(path, rounds));
  }
  if (parts.size() > 1 && *std::min_element(ratios.begin(), ratios.end()) > 0) {
    std::printf("speed ratio whole part / zlib per part:\n");
    for (std::size_t i = 0; i < parts.size(); ++i) {
      std::printf("  %5.2f  %s\n", ratios[i], parts[i].c_str());
    }
  }
  return *std::min_element(ratios.begin(), ratios.end()) < 0 ? 1 : 0;
}
