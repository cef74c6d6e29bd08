// Extraction of the payload resources into files, on the host platform: the main program from
// its parts A, B, C and the special versions from theirs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>

#include "engine/untBledy.h"
#include "engine/untInstalWersjeSzczegolne.h"
#include "engine/untPakowanie.h"
#include "platform/host/untPlatformaHost.h"
#include "untPakowacz.h"

namespace orvala {
namespace {

namespace fs = std::filesystem;
using platform::TPlatformaHost;
using platform::TPlikPlatformy;

std::vector<std::uint8_t> Data(std::size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> out(size);
  for (auto& b : out) {
    b = static_cast<std::uint8_t>(rng() % 16);  // some redundancy, distinct per seed
  }
  return out;
}

std::vector<std::uint8_t> Concat(std::initializer_list<const std::vector<std::uint8_t>*> parts) {
  std::vector<std::uint8_t> out;
  for (const auto* p : parts) {
    out.insert(out.end(), p->begin(), p->end());
  }
  return out;
}

// A file whose writes come up short or whose close fails, to exercise those failure paths.
class TPlikZawodny final : public TPlikPlatformy {
 public:
  TPlikZawodny(std::unique_ptr<TPlikPlatformy> inner, bool shortWrites, bool failClose)
      : inner_(std::move(inner)), shortWrites_(shortWrites), failClose_(failClose) {}
  bool Read(void* buffer, std::size_t count, std::size_t& got) override {
    return inner_->Read(buffer, count, got);
  }
  bool Write(const void* buffer, std::size_t count, std::size_t& written) override {
    return inner_->Write(buffer, shortWrites_ && count > 0 ? count - 1 : count, written);
  }
  std::optional<std::uint64_t> Size() override { return inner_->Size(); }
  bool Close() override { return inner_->Close() && !failClose_; }

 private:
  std::unique_ptr<TPlikPlatformy> inner_;
  bool shortWrites_;
  bool failClose_;
};

class TPlatformaTestowa : public TPlatformaHost {
 public:
  bool shortWrites = false;
  bool failClose = false;
  platform::TWynikPliku CreateWrite(const std::string& path) override {
    auto file = TPlatformaHost::CreateWrite(path);
    if (!file) {
      return file;
    }
    return std::make_unique<TPlikZawodny>(std::move(file), shortWrites, failClose);
  }
};

class Extraction : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("orvala-payload-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "Orvalis");
    host_.MapDrive('C', root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  void Resource(const std::string& name, const std::vector<std::uint8_t>& data) {
    host_.SetResource(name, pakowacz::PackPart(data));
  }
  std::vector<std::uint8_t> HostFile(const std::string& name) {
    std::ifstream in(root_ / "Orvalis" / name, std::ios::binary);
    EXPECT_TRUE(in.is_open()) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path root_;
  TPlatformaTestowa host_;
  platform::TZasiegPlatformy scope_{host_};
  const std::vector<std::uint8_t> a_ = Data(3000, 1);
  const std::vector<std::uint8_t> b_ = Data(5000, 2);
  const std::vector<std::uint8_t> c_ = Data(700, 3);
};

TEST_F(Extraction, MainProgramIsTheConcatenationOfItsParts) {
  Resource("ORVATR1A", a_);
  Resource("ORVATR1B", b_);
  Resource("ORVATR1C", c_);
  EXPECT_EQ(BuildMainProgram("C:\\Orvalis"), "C:\\Orvalis\\Orvatr.exe");
  EXPECT_EQ(HostFile("Orvatr.exe"), Concat({&a_, &b_, &c_}));
}

TEST_F(Extraction, MainProgramSkipsMissingAndRefusedParts) {
  Resource("ORVATR1A", a_);
  Resource("ORVATR1B", b_);
  BuildMainProgram("C:\\Orvalis");
  EXPECT_EQ(HostFile("Orvatr.exe"), Concat({&a_, &b_}));  // no C: a two-part file
  host_.SetResource("ORVATR1B", {0x00, 0x01});            // refused: table cut off
  Resource("ORVATR1C", c_);
  BuildMainProgram("C:\\Orvalis");
  EXPECT_EQ(HostFile("Orvatr.exe"), Concat({&a_, &c_}));
}

TEST_F(Extraction, MainProgramPartsMayFillTheirCapacityButNotMore) {
  const std::vector<std::uint8_t> full(kPojemnoscProgramuGlownego, 0x90);
  Resource("ORVATR1A", full);
  Resource("ORVATR1B", std::vector<std::uint8_t>(kPojemnoscProgramuGlownego + 1, 0x90));
  Resource("ORVATR1C", c_);
  BuildMainProgram("C:\\Orvalis");
  EXPECT_EQ(HostFile("Orvatr.exe"), Concat({&full, &c_}));
}

TEST_F(Extraction, MainProgramFileThatCannotBeCreatedOrClosedRaises) {
  Resource("ORVATR1A", a_);
  EXPECT_THROW(BuildMainProgram("C:\\Missing"), EInOutError);
  host_.failClose = true;
  EXPECT_THROW(BuildMainProgram("C:\\Orvalis"), EInOutError);
}

TEST_F(Extraction, ShortWriteFailsThePart) {
  Resource("PDEINSTALRU11", a_);
  host_.shortWrites = true;
  auto file = platform::Platform().CreateWrite("C:\\Orvalis\\x.bin");
  ASSERT_TRUE(file);
  EXPECT_FALSE(ExtractPartTo("PDEINSTALRU11", *file));
  host_.shortWrites = false;
  auto good = platform::Platform().CreateWrite("C:\\Orvalis\\y.bin");
  EXPECT_TRUE(ExtractPartTo("PDEINSTALRU11", *good));
  EXPECT_FALSE(ExtractPartTo("NOSUCHPART", *good));
  EXPECT_TRUE(good->Close());
  EXPECT_EQ(HostFile("y.bin"), a_);
}

TEST_F(Extraction, SpecialVersionHoldsItsTwoPartsInOrder) {
  Resource("PORVATR11A", b_);
  Resource("PORVATR11B", a_);
  EXPECT_TRUE(ExtractSpecialVersion(24, "C:\\Orvalis\\Orvatr.exe"));
  EXPECT_EQ(HostFile("Orvatr.exe"), Concat({&b_, &a_}));
  // A special-version part is held to 2,097,152 bytes: a larger one is skipped.
  Resource("PORVATR11A", std::vector<std::uint8_t>(kPojemnoscWersjiSpecjalnej + 1, 7));
  EXPECT_TRUE(ExtractSpecialVersion(24, "C:\\Orvalis\\Orvatr.exe"));
  EXPECT_EQ(HostFile("Orvatr.exe"), a_);
  EXPECT_FALSE(ExtractSpecialVersion(24, "C:\\Missing\\Orvatr.exe"));
  host_.failClose = true;
  EXPECT_FALSE(ExtractSpecialVersion(24, "C:\\Orvalis\\Orvatr.exe"));
}

TEST_F(Extraction, SpecialVersionsReplaceTheMainProgram) {
  Resource("ORVATR1A", a_);
  Resource("PORVATR11A", c_);
  Resource("PORVATR11B", c_);
  Resource("PTRINTRU11A", a_);
  Resource("PTRINTRU11B", b_);
  Resource("PTRPLIKRU11A", b_);
  Resource("PTRPLIKRU11B", c_);
  Resource("PDEINSTALRU11", b_);
  BuildMainProgram("C:\\Orvalis");
  const std::vector<std::string> written = WriteSpecialVersions("C:\\Orvalis");
  EXPECT_EQ(written, (std::vector<std::string>{
                         "C:\\Orvalis\\Orvatr.exe", "C:\\Orvalis\\TrIntRu.exe",
                         "C:\\Orvalis\\TrPlikRu.exe", "C:\\Orvalis\\DeInstalator.exe"}));
  EXPECT_EQ(HostFile("Orvatr.exe"), Concat({&c_, &c_}));
  EXPECT_EQ(HostFile("TrIntRu.exe"), Concat({&a_, &b_}));
  EXPECT_EQ(HostFile("TrPlikRu.exe"), Concat({&b_, &c_}));
  EXPECT_EQ(HostFile("DeInstalator.exe"), b_);
}

}  // namespace
}  // namespace orvala
