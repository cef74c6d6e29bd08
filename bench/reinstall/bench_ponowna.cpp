// The installation run into a new folder against the same run over a previous installation of
// the same tree (every file of the target replaced), through the host platform.
//
//   bench_reinstall [files=2000] [rounds=5]
//
// The tree holds `files` files of 1 to 64 KB in 20 folders. Prints the best time of each kind
// of run over the rounds, per file and as a ratio; never fails.
#include <algorithm>
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
#include "engine/untPrzebiegInstalacji.h"
#include "platform/host/untPlatformaHost.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class TObserwatorPusty : public orvala::TObserwatorInstalacji {
 public:
  void ShowStage(const orvala::TWideString&) override {}
  void ShowFiles(const orvala::TWideString&, const orvala::TWideString&) override {}
  void SetGauge(std::uint32_t, std::uint32_t) override {}
  void EnableClose(bool) override {}
  void ProcessMessages() override {}
  bool AskYesNo(const orvala::TWideString&) override { return false; }
};

std::uint64_t MakeTree(const fs::path& root, int files) {
  std::mt19937 random(7);
  std::vector<char> bytes(64 << 10);
  for (char& c : bytes) {
    c = static_cast<char>(random());
  }
  std::uint64_t total = 0;
  for (int i = 0; i < files; ++i) {
    const fs::path folder = root / ("Folder" + std::to_string(i % 20));
    fs::create_directories(folder);
    const std::size_t size = 1024 + random() % (bytes.size() - 1024);
    std::ofstream(folder / ("plik" + std::to_string(i) + ".dat"), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(size));
    total += size;
  }
  return total;
}

// One run of the tree into C:\Orvalis; the folder is emptied first unless `over` is set.
double Run(const fs::path& cd, const fs::path& c, std::uint64_t bytes, bool over) {
  if (!over) {
    fs::remove_all(c);
  }
  fs::create_directories(c / "Orvalis");
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
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (result != orvala::TWynikInstalacji::Success) {
    std::fprintf(stderr, "the run did not succeed\n");
    std::exit(1);
  }
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 2000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  orvala::SetTextProcessState(true, orvala::kJezykPolski);
  const fs::path root = fs::temp_directory_path() / "orvala-bench-reinstall";
  fs::remove_all(root);
  const std::uint64_t bytes = MakeTree(root / "cd", files);
  std::printf("tree: %d files, %.1f MB\n", files, static_cast<double>(bytes) / (1 << 20));
  double fresh = 1e9;
  double over = 1e9;
  for (int i = 0; i < rounds; ++i) {
    fresh = std::min(fresh, Run(root / "cd", root / "c", bytes, false));
    over = std::min(over, Run(root / "cd", root / "c", bytes, true));
  }
  std::printf("into a new folder          : %7.3f s  %6.1f us/file\n", fresh, fresh * 1e6 / files);
  std::printf("over the previous install  : %7.3f s  %6.1f us/file\n", over, over * 1e6 / files);
  std::printf("ratio over / new           : %.2f\n", over / fresh);
  fs::remove_all(root);
  return 0;
}
