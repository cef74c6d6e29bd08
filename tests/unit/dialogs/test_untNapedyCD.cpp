#include "dialogs/untNapedyCD.h"

#include <gtest/gtest.h>

#include "srodowiskoDyskow.h"

namespace orvala {
namespace {

using platform::TTypNapedu;
using TNapedyCD = testy::TDyskiTestowe;

TEST_F(TNapedyCD, OnlyCdRomDrivesInSystemOrder) {
  Drive('C', TTypNapedu::Fixed);
  Drive('D', TTypNapedu::CdRom);
  Drive('E', TTypNapedu::Remote);
  Drive('G', TTypNapedu::CdRom);
  EXPECT_EQ(CdRomRoots(), (std::vector<std::string>{"D:\\", "G:\\"}));
}

TEST_F(TNapedyCD, NoCdRomDriveGivesAnEmptyList) {
  Drive('C', TTypNapedu::Fixed);
  EXPECT_TRUE(CdRomRoots().empty());
}

// A package copied to a folder (no CD-ROM drive holds it) is offered after the drives, once.
TEST_F(TNapedyCD, TheProgramsOwnFolderFollowsTheDrivesWhenItHoldsThePackage) {
  Drive('D', TTypNapedu::CdRom);
  const auto e = Drive('E', TTypNapedu::Removable);
  host_.SetModuleFileName("E:\\Kopia płyty\\Instalator.exe");
  EXPECT_EQ(SourceCandidates(), std::vector<std::string>{"D:\\"});  // no package there yet
  Touch(e / std::filesystem::path(u8"Kopia płyty") / "DuzevIv.exe");
  Touch(e / std::filesystem::path(u8"Kopia płyty") / "UmowaPol.txt");
  EXPECT_EQ(SourceCandidates(), (std::vector<std::string>{"D:\\", "E:\\Kopia płyty\\"}));
  // Started from a CD root that is listed already: nothing more.
  const auto d = root_ / "D";
  Touch(d / "DuzevIv.exe");
  Touch(d / "UmowaPol.txt");
  host_.SetModuleFileName("d:\\Instalator.exe");
  EXPECT_EQ(SourceCandidates(), std::vector<std::string>{"D:\\"});
}

TEST_F(TNapedyCD, PackageNeedsAProgramAndTheLicence) {
  const auto d = Drive('D', TTypNapedu::CdRom);
  EXPECT_FALSE(HoldsPackage("D:\\"));
  Touch(d / "UmowaPol.txt");
  EXPECT_FALSE(HoldsPackage("D:\\"));  // the licence alone
  Touch(d / "DuzevIv2.exe");
  EXPECT_TRUE(HoldsPackage("D:\\"));  // the second program name is enough
  EXPECT_FALSE(HoldsPackage(""));     // no drive chosen
}

TEST_F(TNapedyCD, NamesMatchWithoutRegardToCase) {
  const auto d = Drive('D', TTypNapedu::CdRom);
  Touch(d / "DUZEVIV.EXE");
  Touch(d / "umowapol.txt");
  EXPECT_TRUE(HoldsPackage("D:\\"));
}

TEST_F(TNapedyCD, ProgramWithoutLicenceIsRefused) {
  const auto d = Drive('D', TTypNapedu::CdRom);
  Touch(d / "DuzevIv.exe");
  std::filesystem::create_directories(d / "UmowaPol.txt");  // a directory is not the file
  EXPECT_FALSE(HoldsPackage("D:\\"));
}

}  // namespace
}  // namespace orvala
