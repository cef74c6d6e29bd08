// The payload resources linked into this executable, extracted as the installation does:
// every name the edition descriptor gives is present and unpacks, the main program is its
// three parts (or two when the third cannot be had), and the special versions replace it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "config/untInstalStale.h"
#include "engine/untInstalWersjeSzczegolne.h"
#include "engine/untPakowanie.h"
#include "platform/host/untPlatformaHost.h"
#include "platform/win32/untWindows.h"
#include "untDekoderWzorcowy.h"

namespace orvala {
namespace {

namespace fs = std::filesystem;

// The program's own RCDATA resources through the Win32 resource functions; files on the host
// stand-in's drive C, a temporary folder. `refused` names resources to report missing.
class TPlatformaZasobow : public platform::TPlatformaHost {
 public:
  std::set<std::string> refused;
  bool LoadResource(const std::string& name, std::vector<std::uint8_t>& data) override {
    if (refused.count(name) != 0) {
      return false;
    }
    HRSRC found = FindResourceA(nullptr, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (found == nullptr) {
      return false;
    }
    HGLOBAL loaded = ::LoadResource(nullptr, found);
    const DWORD size = SizeofResource(nullptr, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
      return false;
    }
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    data.assign(first, first + size);
    return true;
  }
};

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.is_open()) << path.string();
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// True when `text` (UTF-16, as the program's wide literals hold it) occurs in `data`.
bool Contains(const std::vector<std::uint8_t>& data, const std::u16string& text) {
  const auto* first = reinterpret_cast<const std::uint8_t*>(text.data());
  const std::vector<std::uint8_t> needle(first, first + text.size() * 2);
  return std::search(data.begin(), data.end(), needle.begin(), needle.end()) != data.end();
}

class Payload : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("orvala-payload-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "Orvalis");
    platform_.MapDrive('C', root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path root_;
  TPlatformaZasobow platform_;
  platform::TZasiegPlatformy scope_{platform_};
};

TEST_F(Payload, EveryDescriptorNameIsPresentAndUnpacks) {
  const TOpisEdycji& edition = ActiveEditionDescriptor();
  std::vector<std::pair<std::string, std::size_t>> names;
  for (const auto name : edition.mainProgramResources) {
    names.emplace_back(std::string(name), kPojemnoscProgramuGlownego);
  }
  for (const int row : edition.specialVersionRows) {
    names.emplace_back(std::string(SpecialVersion(row).resourceA), kPojemnoscWersjiSpecjalnej);
    if (!SpecialVersion(row).resourceB.empty()) {
      names.emplace_back(std::string(SpecialVersion(row).resourceB), kPojemnoscWersjiSpecjalnej);
    }
  }
  ASSERT_EQ(names.size(), 10u);
  for (const auto& [name, capacity] : names) {
    SCOPED_TRACE(name);
    std::vector<std::uint8_t> part;
    ASSERT_TRUE(platform_.LoadResource(name, part));
    ASSERT_TRUE(UnpackPart(part, capacity)) << DecoderErrorText(DecoderState().error);
    const TStanDekodera& s = DecoderState();
    EXPECT_GT(s.produced, 0u);
    const wzorzec::TWynikWzorcowy walk = wzorzec::WalkUnpack(part, capacity);
    ASSERT_EQ(walk.bytes.size(), s.produced);
    EXPECT_TRUE(std::equal(walk.bytes.begin(), walk.bytes.end(), s.a.begin()));
  }
}

TEST_F(Payload, MainProgramIsTheFirstBuild) {
  EXPECT_EQ(BuildMainProgram("C:\\Orvalis"), "C:\\Orvalis\\Orvatr.exe");
  const auto written = ReadFile(root_ / "Orvalis" / "Orvatr.exe");
  EXPECT_EQ(written, ReadFile(ORVALA_TEST_MAIN_PROGRAM));
  EXPECT_TRUE(Contains(written, std::u16string(u"build 1", 8)) || !ORVALA_TEST_DEMO_PROGRAMS);
}

TEST_F(Payload, MissingThirdPartLeavesATwoPartFile) {
  platform_.refused = {"ORVATR1C"};
  BuildMainProgram("C:\\Orvalis");
  const auto written = ReadFile(root_ / "Orvalis" / "Orvatr.exe");
  const auto whole = ReadFile(ORVALA_TEST_MAIN_PROGRAM);
  // The parts are equal slices, the last one the shortest.
  const std::size_t slice = (whole.size() + 2) / 3;
  ASSERT_EQ(written.size(), std::min(whole.size(), 2 * slice));
  EXPECT_TRUE(std::equal(written.begin(), written.end(), whole.begin()));
}

TEST_F(Payload, SpecialVersionsAreTheLaterBuilds) {
  BuildMainProgram("C:\\Orvalis");
  EXPECT_TRUE(ExtractSpecialVersion(24, "C:\\Orvalis\\Orvatr.exe"));
  EXPECT_EQ(ReadFile(root_ / "Orvalis" / "Orvatr.exe"), ReadFile(ORVALA_TEST_LATER_ORVATR));
  EXPECT_EQ(WriteSpecialVersions("C:\\Orvalis").size(), 4u);
  const fs::path dir = root_ / "Orvalis";
  const auto orvatr = ReadFile(dir / "Orvatr.exe");
  EXPECT_EQ(orvatr, ReadFile(ORVALA_TEST_LATER_ORVATR));
  EXPECT_EQ(ReadFile(dir / "TrIntRu.exe"), ReadFile(ORVALA_TEST_LATER_TRINTRU));
  EXPECT_EQ(ReadFile(dir / "TrPlikRu.exe"), ReadFile(ORVALA_TEST_LATER_TRPLIKRU));
  EXPECT_EQ(ReadFile(dir / "DeInstalator.exe"), ReadFile(ORVALA_TEST_LATER_DEINSTALATOR));
  EXPECT_TRUE(Contains(orvatr, std::u16string(u"build 11", 9)) || !ORVALA_TEST_DEMO_PROGRAMS);
}

}  // namespace
}  // namespace orvala
