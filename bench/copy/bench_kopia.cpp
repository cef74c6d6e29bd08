// The installation run's copy of a CD tree (through the host platform, blocks of 32 KB to 1 MB as
// the medium's pace allows, the gauge and the message pump at the page's redraw rate, on a real
// clock) against two plain copies of the same tree: std::filesystem::copy, and a read/write loop
// with the largest block. Then,
// on 2,000 files of 16 KB, the run into a new folder against a run over the installation the one
// before left: of the same CD (the files already in place), and with every file changed (each
// kept aside until the end).
//
//   bench_copy [megabytes=200] [rounds=3]
//
// Prints the best time of each over the rounds and the ratios; never fails.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "config/untInstalTeksty.h"
#include "engine/untBlokKopii.h"
#include "engine/untPrzebiegInstalacji.h"
#include "platform/host/untPlatformaHost.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class TObserwatorPusty : public orvala::TObserwatorInstalacji {
 public:
  void ShowStage(const orvala::TWideString&) override {}
  void ShowFiles(const orvala::TWideString&, const orvala::TWideString&) override {}
  void SetGauge(std::uint32_t, std::uint32_t position) override { last = position; }
  void EnableClose(bool) override {}
  void ProcessMessages() override { ++messages; }
  std::uint32_t Milliseconds() override {
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
            .count());
  }
  bool AskYesNo(const orvala::TWideString&) override { return false; }
  void Inform(const orvala::TWideString&) override {}
  std::uint32_t last = 0;
  std::uint64_t messages = 0;
};

// A CD-like tree: folders of files from a few bytes to several megabytes, `total` bytes in all.
std::uint64_t MakeTree(const fs::path& root, std::uint64_t total) {
  std::mt19937_64 random(42);
  std::vector<char> block(1 << 20);
  for (char& c : block) {
    c = static_cast<char>(random());
  }
  std::uint64_t written = 0;
  int file = 0;
  while (written < total) {
    const fs::path folder =
        root / ("Folder" + std::to_string(file % 12)) / ("Sub" + std::to_string(file % 3));
    fs::create_directories(folder);
    // Sizes cycle through small, medium and large files.
    static const std::uint64_t kSizes[] = {700, 40'000, 300'000, 1'500'000, 6'000'000};
    std::uint64_t size = kSizes[file % 5];
    size = std::min(size, total - written);
    std::ofstream out(folder / ("plik" + std::to_string(file) + ".dat"), std::ios::binary);
    for (std::uint64_t left = size; left > 0;) {
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
      out.write(block.data(), static_cast<std::streamsize>(n));
      left -= n;
    }
    written += size;
    ++file;
  }
  return written;
}

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double PlainCopy(const fs::path& from, const fs::path& to) {
  fs::remove_all(to);
  const auto start = Clock::now();
  fs::copy(from, to, fs::copy_options::recursive);
  return Seconds(start);
}

void LoopCopyTree(const fs::path& from, const fs::path& to, std::vector<char>& buffer) {
  fs::create_directories(to);
  for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
    const fs::path target = to / entry.path().filename();
    if (entry.is_directory()) {
      LoopCopyTree(entry.path(), target, buffer);
      continue;
    }
    std::FILE* in = std::fopen(entry.path().string().c_str(), "rb");
    std::FILE* out = std::fopen(target.string().c_str(), "wb");
    if (in == nullptr || out == nullptr) {
      std::fprintf(stderr, "cannot copy %s\n", entry.path().string().c_str());
      std::exit(1);
    }
    std::setvbuf(in, nullptr, _IONBF, 0);
    std::setvbuf(out, nullptr, _IONBF, 0);
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) {
      std::fwrite(buffer.data(), 1, n, out);
    }
    std::fclose(in);
    std::fclose(out);
  }
}

double LoopCopy(const fs::path& from, const fs::path& to) {
  fs::remove_all(to);
  std::vector<char> buffer(orvala::kNajwiekszyBlokKopii);
  const auto start = Clock::now();
  LoopCopyTree(from, to, buffer);
  return Seconds(start);
}

// What the target holds when a run starts.
enum class TCel { New, Same, Changed };

// COUNT files of KB kilobytes each, 100 a folder, of random bytes.
void MakeSmallTree(const fs::path& root, int count, std::size_t kb) {
  std::mt19937_64 random(7);
  std::vector<char> bytes(kb << 10);
  for (int i = 0; i < count; ++i) {
    for (char& c : bytes) {
      c = static_cast<char>(random());
    }
    const fs::path folder = root / "Dane" / ("Folder" + std::to_string(i / 100));
    fs::create_directories(folder);
    std::ofstream(folder / ("plik" + std::to_string(i) + ".dat"), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
}

double RunCopy(const fs::path& cd, const fs::path& c, std::uint64_t bytes,
               TCel previous = TCel::New) {
  if (previous == TCel::New) {
    fs::remove_all(c);
    fs::create_directories(c / "Orvalis");
  } else if (previous == TCel::Changed) {
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(c / "Orvalis")) {
      if (e.is_regular_file()) {
        std::ofstream(e.path(), std::ios::binary | std::ios::app) << 'x';
      }
    }
  }
  orvala::platform::TPlatformaHost host;
  host.MapDrive('C', c);
  host.MapDrive('D', cd, orvala::platform::TTypNapedu::CdRom);
  orvala::platform::TZasiegPlatformy scope(host);
  orvala::TOpcjeInstalacji options;
  options.sourceDirectory = "D:\\";
  options.targetDirectory = "C:\\Orvalis";
  options.requiredBytes = static_cast<std::int64_t>(bytes) + 2'100'000;
  options.createGroup = options.desktopTranslators = options.desktopDictionaries = false;
  orvala::TStanInstalacji state;
  TObserwatorPusty observer;
  const auto start = Clock::now();
  const orvala::TWynikInstalacji result = orvala::RunInstallation(options, state, observer);
  const double seconds = Seconds(start);
  if (result != orvala::TWynikInstalacji::Success) {
    std::fprintf(stderr, "the run did not succeed\n");
    std::exit(1);
  }
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t megabytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 200;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  orvala::SetTextProcessState(true, orvala::kJezykPolski);
  const fs::path root = fs::temp_directory_path() / "orvala-bench-copy";
  fs::remove_all(root);
  const std::uint64_t bytes = MakeTree(root / "cd", megabytes << 20);
  std::printf("tree: %.1f MB\n", static_cast<double>(bytes) / (1 << 20));
  double run = 1e9, plain = 1e9, loop = 1e9;
  for (int i = 0; i < rounds; ++i) {
    run = std::min(run, RunCopy(root / "cd", root / "c", bytes));
    plain = std::min(plain, PlainCopy(root / "cd", root / "plain"));
    loop = std::min(loop, LoopCopy(root / "cd", root / "loop"));
  }
  const double mb = static_cast<double>(bytes) / (1 << 20);
  std::printf("installation run copy phase : %7.3f s  %7.1f MB/s\n", run, mb / run);
  std::printf("std::filesystem::copy       : %7.3f s  %7.1f MB/s\n", plain, mb / plain);
  std::printf("read/write loop, 256 KB     : %7.3f s  %7.1f MB/s\n", loop, mb / loop);
  std::printf("ratio run / filesystem::copy: %.2f\n", run / plain);
  std::printf("ratio run / read-write loop : %.2f\n", run / loop);

  MakeSmallTree(root / "cd-small", 2000, 16);
  const std::uint64_t small = 2000u * 16u << 10;
  double fresh = 1e9, same = 1e9, changed = 1e9;
  for (int i = 0; i < rounds; ++i) {
    fresh = std::min(fresh, RunCopy(root / "cd-small", root / "c", small));
    same = std::min(same, RunCopy(root / "cd-small", root / "c", small, TCel::Same));
    changed = std::min(changed, RunCopy(root / "cd-small", root / "c", small, TCel::Changed));
  }
  std::printf("2000 x 16 KB, new folder    : %7.3f s\n", fresh);
  std::printf("  over the same files       : %7.3f s  ratio %.2f\n", same, same / fresh);
  std::printf("  over changed files        : %7.3f s  ratio %.2f\n", changed, changed / fresh);
  fs::remove_all(root);
  return 0;
}
