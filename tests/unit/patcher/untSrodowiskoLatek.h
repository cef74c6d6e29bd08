// The patcher tests' environment: an update folder (drive U:) and a target folder (drive T:) of
// a host platform in a scratch folder, and helpers that write patch files and list records
// with the producer.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/untPatcher.h"
#include "platform/host/untPlatformaHost.h"
#include "untLatki.h"
#include "untPakowacz.h"

namespace orvala::testy {

using TBajty = std::vector<std::uint8_t>;

// Deterministic pseudo-random bytes.
inline TBajty RandomBytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 rng(seed);
  TBajty out(size);
  for (std::uint8_t& b : out) {
    b = static_cast<std::uint8_t>(rng() >> 24);
  }
  return out;
}

inline TBajty Concat(std::initializer_list<TBajty> parts) {
  TBajty out;
  for (const TBajty& p : parts) {
    out.insert(out.end(), p.begin(), p.end());
  }
  return out;
}

inline TBajty Slice(const TBajty& data, std::size_t from, std::size_t count) {
  return TBajty(data.begin() + static_cast<std::ptrdiff_t>(from),
                data.begin() + static_cast<std::ptrdiff_t>(from + count));
}

// A script header: checksum of `oldFile` and the escape byte.
inline TBajty ScriptHeader(const TBajty& oldFile, std::uint8_t escape) {
  const std::uint32_t sum = PatchChecksum(oldFile);
  return {static_cast<std::uint8_t>(sum), static_cast<std::uint8_t>(sum >> 8),
          static_cast<std::uint8_t>(sum >> 16), static_cast<std::uint8_t>(sum >> 24), escape};
}

class TSrodowiskoLatek : public testing::Test {
 protected:
  void SetUp() override {
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    root_ = std::filesystem::temp_directory_path() /
            ("orvala-patcher-" + name + "-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(root_ / "upd");
    std::filesystem::create_directories(root_ / "tgt");
    host_.MapDrive('U', root_ / "upd");
    host_.MapDrive('T', root_ / "tgt");
    scope_.emplace(host_);
  }
  void TearDown() override {
    scope_.reset();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  std::filesystem::path Upd(const std::string& name) const { return root_ / "upd" / name; }
  std::filesystem::path Tgt(const std::string& name) const { return root_ / "tgt" / name; }

  static void Put(const std::filesystem::path& path, const TBajty& data) {
    std::filesystem::create_directories(path.parent_path());
    ASSERT_TRUE(latki::WriteHostFile(path, data)) << path;
  }
  static TBajty Get(const std::filesystem::path& path) {
    TBajty data;
    EXPECT_TRUE(latki::ReadHostFile(path, data)) << path;
    return data;
  }

  // Writes patch file `patchName` (OLD → NEW) and returns its record for `targetName`.
  TRekordLatki AddPatch(const std::string& patchName, const std::string& targetName,
                        const TBajty& oldFile, const TBajty& newFile) {
    const latki::TPlikLatki patch = latki::MakePatchFile(oldFile, newFile);
    Put(Upd(patchName), patch.packed);
    return {patchName, targetName, patch.oldLength, patch.scriptLength, patch.newLength};
  }
  // Writes patch file `patchName` holding `script` as it stands, with a record of the given
  // lengths (the script's own length when `scriptLength` is not given).
  TRekordLatki AddScript(const std::string& patchName, const std::string& targetName,
                         const TBajty& script, std::uint32_t oldLength, std::uint32_t newLength) {
    Put(Upd(patchName), pakowacz::PackPart(script));
    return {patchName, targetName, oldLength, static_cast<std::uint32_t>(script.size()), newLength};
  }
  void AppendRecord(const std::string& listName, const TRekordLatki& record) {
    ASSERT_TRUE(latki::WriteHostFile(Upd(listName), latki::EncodeListRecord(record), true));
  }
  void WriteList(const std::string& listName, std::initializer_list<TRekordLatki> records) {
    Put(Upd(listName), {});
    for (const TRekordLatki& r : records) {
      AppendRecord(listName, r);
    }
  }
  std::int32_t Apply(const std::string& listName) {
    return ApplyPatchList(listName, "U:\\", "T:\\");
  }
  bool TemporaryLeft() const { return std::filesystem::exists(Tgt(kPlikTymczasowyLatki)); }

  std::filesystem::path root_;
  platform::TPlatformaHost host_;
  std::optional<platform::TZasiegPlatformy> scope_;
};

}  // namespace orvala::testy
