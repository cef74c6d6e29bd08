// The decoder of packed parts, as a build of the setup program has it: one packed part (made by
// `orvala pack`) unpacked again and again, the best time printed. Built by both toolchains, so
// the same part can be timed natively and in the Windows build under Wine:
//
//   bench_decode PART [ROUNDS=20]
//
// Prints the unpacked size, the best time of a whole part and of each stage, and the rate in MB/s
// of unpacked bytes; never fails on a figure.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/untPakowanie.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double BestSeconds(int rounds, F run) {
  double best = 1e30;
  for (int r = 0; r < rounds; ++r) {
    const auto start = Clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: bench_decode PART [ROUNDS]\n", stderr);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<std::uint8_t> part{std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>()};
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
  if (part.empty() || !orvala::UnpackPart(part, orvala::kPojemnoscProgramuGlownego)) {
    std::fprintf(stderr, "bench_decode: %s is not a packed part\n", argv[1]);
    return 1;
  }
  orvala::TStanDekodera& st = orvala::DecoderState();
  const std::size_t produced = st.produced;
  const std::size_t items = st.bCount;
  const double whole =
      BestSeconds(rounds, [&] { orvala::UnpackPart(part, orvala::kPojemnoscProgramuGlownego); });
  const double prefix = BestSeconds(rounds, [&] {
    st.a.assign(part.begin(), part.end());
    st.aCount = part.size();
    st.status = 0;
    orvala::DecodePrefixStage();
  });
  const double backref = BestSeconds(rounds, [&] {
    st.bCount = items;
    st.aCapacity = orvala::kPojemnoscProgramuGlownego;
    orvala::DecodeBackrefStage();
  });
  const auto rate = [&](double seconds) { return static_cast<double>(produced) / seconds / 1e6; };
  std::printf("part %zu bytes -> %zu bytes, best of %d\n", part.size(), produced, rounds);
  std::printf("whole part      %8.2f ms  %7.1f MB/s\n", whole * 1e3, rate(whole));
  std::printf("prefix stage    %8.2f ms  %7.1f MB/s\n", prefix * 1e3, rate(prefix));
  std::printf("backref stage   %8.2f ms  %7.1f MB/s\n", backref * 1e3, rate(backref));
  return 0;
}
