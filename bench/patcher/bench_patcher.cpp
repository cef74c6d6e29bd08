// Applying a patch list of one entry to a 2 MB installed file on the host platform, in MB/s of
// new file: the whole entry (reading, unpacking, the script, writing, replacing) and the script
// stage alone; also the producer's speed for the same pair.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/untPakowanie.h"
#include "engine/untPatcher.h"
#include "platform/host/untPlatformaHost.h"
#include "untLatki.h"

namespace {

namespace fs = std::filesystem;
using TBajty = std::vector<std::uint8_t>;
using TZegar = std::chrono::steady_clock;

double Seconds(TZegar::time_point from) {
  return std::chrono::duration<double>(TZegar::now() - from).count();
}

// Program-like bytes: runs of words from a small vocabulary mixed with random bytes.
TBajty OldFile(std::size_t size, std::mt19937& rng) {
  TBajty out;
  out.reserve(size);
  while (out.size() < size) {
    const std::uint32_t r = rng();
    if ((r & 3) == 0) {
      for (int i = 0; i < 16; ++i) {
        out.push_back(static_cast<std::uint8_t>(rng()));
      }
    } else {
      const std::uint32_t word = (r >> 8) % 512;
      for (int i = 0; i < 8; ++i) {
        out.push_back(static_cast<std::uint8_t>(word * 31 + static_cast<std::uint32_t>(i) * 7));
      }
    }
  }
  out.resize(size);
  return out;
}

// 200 edits: small insertions, deletions and changed bytes spread over the file.
TBajty NewFile(const TBajty& old, std::mt19937& rng) {
  TBajty out;
  std::size_t pos = 0;
  const std::size_t step = old.size() / 200;
  while (pos < old.size()) {
    const std::size_t keep = std::min(old.size() - pos, step);
    out.insert(out.end(), old.begin() + static_cast<std::ptrdiff_t>(pos),
               old.begin() + static_cast<std::ptrdiff_t>(pos + keep));
    pos += keep;
    const std::uint32_t r = rng();
    for (std::uint32_t i = 0; i < r % 64; ++i) {
      out.push_back(static_cast<std::uint8_t>(rng()));
    }
    pos += (r >> 8) % 32;
  }
  return out;
}

}  // namespace

int main() {
  std::mt19937 rng(2026);
  const TBajty oldFile = OldFile(2'000'000, rng);
  const TBajty newFile = NewFile(oldFile, rng);
  const double newMb = static_cast<double>(newFile.size()) / 1e6;

  auto start = TZegar::now();
  const orvala::latki::TPlikLatki patch = orvala::latki::MakePatchFile(oldFile, newFile);
  const double diffSeconds = Seconds(start);

  const fs::path root =
      fs::temp_directory_path() / ("orvala-bench-patcher-" + std::to_string(rng()));
  fs::create_directories(root / "u");
  fs::create_directories(root / "t");
  orvala::platform::TPlatformaHost host;
  host.MapDrive('U', root / "u");
  host.MapDrive('T', root / "t");
  const orvala::platform::TZasiegPlatformy scope(host);
  orvala::latki::WriteHostFile(root / "u" / "p.pat", patch.packed);
  orvala::latki::WriteHostFile(root / "u" / "info.pth", orvala::latki::EncodeListRecord(
                                                            {"p.pat", "Orvatr.exe", patch.oldLength,
                                                             patch.scriptLength, patch.newLength}));

  constexpr int kPowtorzenia = 20;
  double applySeconds = 0;
  int failures = 0;
  for (int i = 0; i < kPowtorzenia; ++i) {
    orvala::latki::WriteHostFile(root / "t" / "Orvatr.exe", oldFile);
    start = TZegar::now();
    failures += orvala::ApplyPatchList("info.pth", "U:\\", "T:\\") != orvala::kStatusOk;
    applySeconds += Seconds(start);
  }
  TBajty result;
  orvala::latki::ReadHostFile(root / "t" / "Orvatr.exe", result);

  // For comparison: reading the old file and writing the new one, nothing else.
  double ioSeconds = 0;
  for (int i = 0; i < kPowtorzenia; ++i) {
    TBajty read;
    start = TZegar::now();
    orvala::latki::ReadHostFile(root / "u" / "p.pat", read);
    orvala::latki::ReadHostFile(root / "t" / "Orvatr.exe", read);
    orvala::latki::WriteHostFile(root / "t" / "copy.tmp", newFile);
    ioSeconds += Seconds(start);
  }
  std::error_code ec;
  fs::remove_all(root, ec);

  // The script stage alone, on the unpacked script.
  orvala::UnpackPart(patch.packed, patch.scriptLength);
  const TBajty script(orvala::DecoderState().a.begin(),
                      orvala::DecoderState().a.begin() + patch.scriptLength);
  TBajty out(newFile.size());
  start = TZegar::now();
  for (int i = 0; i < kPowtorzenia; ++i) {
    failures += orvala::RunPatchScript(script, oldFile, out).error != orvala::TBladSkryptu::None;
  }
  const double scriptSeconds = Seconds(start);

  std::printf("patcher: old %zu bytes, new %zu bytes, script %u bytes, patch file %zu bytes\n",
              oldFile.size(), newFile.size(), patch.scriptLength, patch.packed.size());
  std::printf("patcher: apply list (read, unpack, script, write, replace): %.1f MB/s of new file\n",
              newMb * kPowtorzenia / applySeconds);
  std::printf("patcher: plain read of both files and write of NEW: %.1f MB/s of new file\n",
              newMb * kPowtorzenia / ioSeconds);
  std::printf("patcher: script stage alone: %.1f MB/s of new file\n",
              newMb * kPowtorzenia / scriptSeconds);
  std::printf("patcher: orvala diff (match, pack, verify): %.1f MB/s of new file\n",
              newMb / diffSeconds);
  if (failures != 0 || result != newFile) {
    std::printf("patcher: FAILED: the patched file differs from NEW\n");
    return 1;
  }
  return 0;
}
