// Decoding throughput of a 2 MB packed part of program bytes against zlib's inflate of the
// same bytes deflated at level 9, and the packed size against zlib level 9 (gzip -9 adds 18
// bytes of header and trailer to the latter).
//
//   bench_payload [FILE...]   program bytes from each FILE (default: this benchmark's own
//                             executable), its first 2,097,152 bytes, repeated when the file is
//                             shorter; with several files, a last table of the speed ratios.
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/untPakowanie.h"
#include "untDekoderWzorcowy.h"
#include "untPakowacz.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kRozmiar = 2'097'152;

std::vector<std::uint8_t> ProgramBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>()};
  if (file.empty()) {
    return {};
  }
  std::vector<std::uint8_t> out;
  while (out.size() < kRozmiar) {
    out.insert(
        out.end(), file.begin(),
        file.begin() + static_cast<std::ptrdiff_t>(std::min(file.size(), kRozmiar - out.size())));
  }
  return out;
}

// Seconds of CPU time of this thread: the machine may be shared, and preemption should not
// count against either decoder.
double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Runs the candidates in turn, `rounds` times, and gives each one's best rate in MB/s of
// `bytes` output. Interleaving exposes all of them to the same conditions.
template <typename... F>
std::vector<double> Throughputs(std::size_t bytes, int rounds, F... runs) {
  std::vector<double> best(sizeof...(F), 1e30);
  for (int r = 0; r < rounds; ++r) {
    std::size_t k = 0;
    (
        [&] {
          const double start = ThreadSeconds();
          runs();
          best[k] = std::min(best[k], ThreadSeconds() - start);
          ++k;
        }(),
        ...);
  }
  for (double& b : best) {
    b = static_cast<double>(bytes) / b / 1e6;
  }
  return best;
}

// Measures one file and prints its figures; the speed ratio table-driven / zlib, or a negative
// value when the file cannot be measured.
double MeasureFile(const std::string& source) {
  const std::vector<std::uint8_t> data = ProgramBytes(source);
  if (data.size() != kRozmiar) {
    std::fprintf(stderr, "bench_payload: cannot read %s\n", source.c_str());
    return -1;
  }
  const auto packStart = Clock::now();
  const std::vector<std::uint8_t> part = orvala::pakowacz::PackPart(data);
  const double packSeconds = std::chrono::duration<double>(Clock::now() - packStart).count();

  uLongf zSize = compressBound(data.size());
  std::vector<std::uint8_t> deflated(zSize);
  compress2(deflated.data(), &zSize, data.data(), data.size(), 9);
  deflated.resize(zSize);

  // Both decoders must give the data back before anything is timed.
  if (!orvala::UnpackPart(part, kRozmiar) || orvala::DecoderState().produced != data.size() ||
      !std::equal(data.begin(), data.end(), orvala::DecoderState().a.begin())) {
    std::fprintf(stderr, "bench_payload: the part does not unpack to its input\n");
    return -1;
  }
  std::vector<std::uint8_t> inflated(data.size());
  uLongf outSize = inflated.size();
  if (uncompress(inflated.data(), &outSize, deflated.data(), deflated.size()) != Z_OK ||
      inflated != data) {
    std::fprintf(stderr, "bench_payload: zlib round trip failed\n");
    return -1;
  }

  const int rounds = 30;
  orvala::TStanDekodera& st = orvala::DecoderState();
  std::size_t items = 0;
  const std::vector<double> rates = Throughputs(
      data.size(), rounds, [&] { orvala::UnpackPart(part, kRozmiar); },
      [&] {
        uLongf n = inflated.size();
        uncompress(inflated.data(), &n, deflated.data(), deflated.size());
      },
      // The two stages alone (the part already in buffer A, or the items already in B).
      [&] {
        st.a.assign(part.begin(), part.end());
        st.aCount = part.size();
        orvala::DecodePrefixStage();
        items = st.bCount;
      },
      [&] {
        st.bCount = items;
        st.aCapacity = kRozmiar;
        orvala::DecodeBackrefStage();
      });
  const double ours = rates[0];
  const double zlib = rates[1];
  const double prefix = rates[2];
  const double backref = rates[3];
  const double walk =
      Throughputs(data.size(), 2, [&] { orvala::wzorzec::WalkUnpack(part, kRozmiar); })[0];

  std::printf("input: %s, %zu bytes\n", source.c_str(), data.size());
  std::printf("packed part:   %9zu bytes (%.1f%%), packing %.2f s\n", part.size(),
              100.0 * static_cast<double>(part.size()) / static_cast<double>(data.size()),
              packSeconds);
  std::printf("zlib level 9:  %9zu bytes (%.1f%%), gzip -9 about %zu\n", deflated.size(),
              100.0 * static_cast<double>(deflated.size()) / static_cast<double>(data.size()),
              deflated.size() + 12);
  std::printf("size ratio packed / zlib-9: %.3f\n",
              static_cast<double>(part.size()) / static_cast<double>(deflated.size()));
  std::printf("decode, table-driven:  %8.1f MB/s\n", ours);
  std::printf("  prefix-code stage:   %8.1f MB/s of output (%zu items)\n", prefix, items);
  std::printf("  back-reference stage:%8.1f MB/s of output\n", backref);
  std::printf("decode, reference walk:%8.1f MB/s\n", walk);
  std::printf("zlib inflate:          %8.1f MB/s\n", zlib);
  std::printf("speed ratio table-driven / zlib: %.2f\n", ours / zlib);
  return ours / zlib;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files(argv + 1, argv + argc);
  if (files.empty()) {
    files.emplace_back(argv[0]);
  }
  std::vector<double> ratios;
  for (const std::string& file : files) {
    ratios.push_back(MeasureFile(file));
    std::printf("\n");
  }
  if (files.size() > 1) {
    std::printf("speed ratio table-driven / zlib per file:\n");
    for (std::size_t i = 0; i < files.size(); ++i) {
      std::printf("  %5.2f  %s\n", ratios[i], files[i].c_str());
    }
  }
  return *std::min_element(ratios.begin(), ratios.end()) < 0 ? 1 : 0;
}
