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
