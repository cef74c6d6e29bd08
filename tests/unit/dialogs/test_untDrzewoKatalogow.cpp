#include "dialogs/untDrzewoKatalogow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "srodowiskoDyskow.h"
#include "textutil/untKodowanie.h"

namespace orvala {
namespace {

using Pieces = std::vector<std::string>;
using platform::TTypNapedu;

TEST(PathPieces, CutsAtBackslashesKeepingTheDriveRoot) {
  EXPECT_EQ(PathPieces("C:\\Program Files\\Orvalis"), (Pieces{"C:\\", "Program Files", "Orvalis"}));
  EXPECT_EQ(PathPieces("C:\\Program Files\\"), (Pieces{"C:\\", "Program Files"}));
  EXPECT_EQ(PathPieces("C:\\"), (Pieces{"C:\\"}));
  EXPECT_EQ(PathPieces("C:"), (Pieces{"C:"}));
  EXPECT_EQ(PathPieces(""), Pieces{});
  // A doubled backslash gives an empty piece, which no node matches.
  EXPECT_EQ(PathPieces("C:\\\\x"), (Pieces{"C:\\", "", "x"}));
  // A piece ending with ":\" further in keeps its backslash.
  EXPECT_EQ(PathPieces("a:\\b:\\"), (Pieces{"a:\\", "b:\\"}));
}

TEST(NodePath, DiskKeepsItsBackslashFoldersDoNot) {
  EXPECT_EQ(NodePath({"C:\\"}), "C:\\");
  EXPECT_EQ(NodePath({"C:\\", "Program Files"}), "C:\\Program Files");
  EXPECT_EQ(NodePath({"C:\\", "a", "b"}), "C:\\a\\b");
  EXPECT_EQ(NodePath({}), "");
}

using TDrzewo = testy::TDyskiTestowe;

// Typed pieces match folder names as the file system compares them, on every code page:
// Polish and Cyrillic letters of either case (never through the Windows-1250 table, which
// knows no Cyrillic).
TEST_F(TDrzewo, TypedPiecesMatchPolishAndCyrillicNamesOfEitherCase) {
  for (const auto cp : {TStronaKodowa::Cp1250, TStronaKodowa::Cp1251, TStronaKodowa::Utf8}) {
    host_.SetAnsiCodePage(cp);
    EXPECT_TRUE(PieceMatches("Program Files", "PROGRAM files"));
    EXPECT_TRUE(PieceMatches("ŁÓDŹ", "łódź"));
    EXPECT_TRUE(PieceMatches("Ч", "ч"));
    EXPECT_TRUE(PieceMatches("Грамматика", "гРАММАТИКА"));
    EXPECT_FALSE(PieceMatches("Program", "Program Files"));
    EXPECT_FALSE(PieceMatches("Ч", "Ш"));
  }
  host_.SetAnsiCodePage(TStronaKodowa::Cp1251);
  const auto c = Drive('C', TTypNapedu::Fixed);
  std::filesystem::create_directories(c / std::filesystem::path(u8"Программы") / u8"Чтение");
  TModelKatalogow model;
  model.FillDrives();
  const int node = model.SelectPath("c:\\программы\\ЧТЕНИЕ");
  ASSERT_NE(node, kBrakWezla);
  EXPECT_EQ(model.Path(node), "C:\\Программы\\Чтение");
}

TEST_F(TDrzewo, OnlyFixedDisksUpperCased) {
  Drive('C', TTypNapedu::Fixed);
  Drive('D', TTypNapedu::CdRom);
  Drive('E', TTypNapedu::Removable);
  Drive('F', TTypNapedu::Fixed);
  EXPECT_EQ(FixedDriveRoots(), (std::vector<std::string>{"C:\\", "F:\\"}));
  TModelKatalogow model;
  model.FillDrives();
  ASSERT_EQ(model.TopLevel().size(), 2u);
  EXPECT_EQ(model.Node(model.TopLevel()[0]).text, "C:\\");
  EXPECT_TRUE(model.Node(model.TopLevel()[0]).expandable);
  EXPECT_FALSE(model.Node(model.TopLevel()[0]).childrenRead);
}

TEST_F(TDrzewo, SubfoldersWithExpandableMarksFilesLeftOut) {
  const auto c = Drive('C', TTypNapedu::Fixed);
  std::filesystem::create_directories(c / "Program Files" / "Vertal");
  std::filesystem::create_directories(c / "Temp");
  Touch(c / "plik.txt");
  Touch(c / "Temp" / "only-a-file.txt");
  std::vector<TPodkatalog> folders = ListSubfolders("C:\\");
  ASSERT_EQ(folders.size(), 2u);
  std::sort(folders.begin(), folders.end(),
            [](const TPodkatalog& a, const TPodkatalog& b) { return a.name < b.name; });
  EXPECT_EQ(folders[0].name, "Program Files");
  EXPECT_TRUE(folders[0].hasSubfolder);
  EXPECT_EQ(folders[1].name, "Temp");
  EXPECT_FALSE(folders[1].hasSubfolder);
  EXPECT_TRUE(HasSubfolder("C:\\"));
  EXPECT_FALSE(HasSubfolder("C:\\Temp\\"));
  EXPECT_FALSE(HasSubfolder("C:\\Missing\\"));
  EXPECT_TRUE(ListSubfolders("Q:\\").empty());  // no such drive
}

TEST(IsOfferedFolder, ExplorersFoldersOnly) {
  using platform::kAttrDirectory, platform::kAttrHidden, platform::kAttrSystem;
  using platform::kAttrReparsePoint, platform::kAttrReadOnly;
  const struct {
    const char* name;
    std::uint32_t attributes;
    bool offered;
  } cases[] = {
      {"Program Files", kAttrDirectory, true},
      {"ProgramData", kAttrDirectory | kAttrHidden, true},
      {"Windows", kAttrDirectory | kAttrSystem | kAttrReadOnly, true},
      {"$Recycle.Bin", kAttrDirectory | kAttrHidden | kAttrSystem, false},
      {"Documents and Settings", kAttrDirectory | kAttrHidden | kAttrSystem | kAttrReparsePoint,
       false},
      {"Link", kAttrDirectory | kAttrReparsePoint, false},
      {"..", kAttrDirectory, false},
      {"pagefile.sys", kAttrHidden, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsOfferedFolder({c.name, c.attributes, 0}), c.offered) << c.name;
  }
}

TEST_F(TDrzewo, HiddenSystemFoldersAreNeitherListedNorCountedAsSubfolders) {
  const auto c = Drive('C', TTypNapedu::Fixed);
  std::filesystem::create_directories(c / "$Recycle.Bin");
  std::filesystem::create_directories(c / "Dane" / "System Volume Information");
  host_.SetAttributes("C:\\$Recycle.Bin", platform::kAttrHidden | platform::kAttrSystem);
  host_.SetAttributes("C:\\Dane\\System Volume Information",
                      platform::kAttrHidden | platform::kAttrSystem);
  const std::vector<TPodkatalog> folders = ListSubfolders("C:\\");
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_EQ(folders[0].name, "Dane");
  EXPECT_FALSE(folders[0].hasSubfolder);
}

TEST_F(TDrzewo, FloppyRootsAreNeverListed) {
  const auto a = Drive('A', TTypNapedu::Fixed);
  std::filesystem::create_directories(a / "dir");
  EXPECT_TRUE(ListSubfolders("A:\\").empty());
  EXPECT_TRUE(ListSubfolders("a:\\").empty());
  // Below the root they are listed like any folder.
  std::filesystem::create_directories(a / "dir" / "sub");
  EXPECT_EQ(ListSubfolders("A:\\dir\\").size(), 1u);
}

TEST_F(TDrzewo, SelectPathStopsAtTheDeepestExistingFolder) {
  const auto c = Drive('C', TTypNapedu::Fixed);
  std::filesystem::create_directories(c / "Program Files" / "Common");
  std::filesystem::create_directories(c / "Windows");
  TModelKatalogow model;
  model.FillDrives();
  std::vector<int> read;
  const int node = model.SelectPath("C:\\Program Files\\Orvalis", &read);
  ASSERT_NE(node, kBrakWezla);
  EXPECT_EQ(model.Node(node).text, "Program Files");
  EXPECT_EQ(model.Path(node), "C:\\Program Files");
  // The disk and the matched folder had their children read, in that order.
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0], model.TopLevel()[0]);
  EXPECT_EQ(read[1], node);
  EXPECT_TRUE(model.Node(node).childrenRead);
  ASSERT_EQ(model.Node(node).children.size(), 1u);
  EXPECT_EQ(model.Node(model.Node(node).children[0]).text, "Common");

  // The same path in lower case selects the same node without reading anything again.
  read.clear();
  EXPECT_EQ(model.SelectPath("c:\\program files\\orvalis", &read), node);
  EXPECT_TRUE(read.empty());
  EXPECT_EQ(model.SelectPath("C:\\Program Files\\", nullptr), node);
  EXPECT_EQ(model.SelectPath("C:\\", nullptr), model.TopLevel()[0]);
}

TEST_F(TDrzewo, PathOnNoFixedDiskSelectsNothing) {
  Drive('C', TTypNapedu::Fixed);
  Drive('D', TTypNapedu::CdRom);
  TModelKatalogow model;
  model.FillDrives();
  EXPECT_EQ(model.SelectPath("D:\\Orvalis"), kBrakWezla);
  EXPECT_EQ(model.SelectPath(""), kBrakWezla);
  EXPECT_EQ(model.SelectPath("Program Files"), kBrakWezla);
}

TEST_F(TDrzewo, ChildrenAreReadOnceAndAddedFoldersJoinTheTree) {
  const auto c = Drive('C', TTypNapedu::Fixed);
  std::filesystem::create_directories(c / "a");
  TModelKatalogow model;
  model.FillDrives();
  const int disk = model.TopLevel()[0];
  EXPECT_EQ(model.ReadChildren(disk).size(), 1u);
  std::filesystem::create_directories(c / "b");
  EXPECT_TRUE(model.ReadChildren(disk).empty());  // never refreshed during a showing
  const int added = model.AddChild(disk, "Nowy");
  EXPECT_EQ(model.Path(added), "C:\\Nowy");
  EXPECT_TRUE(model.Node(added).childrenRead);
  EXPECT_EQ(model.Node(disk).children.size(), 2u);
  EXPECT_EQ(model.SelectPath("C:\\NOWY"), added);
}

}  // namespace
}  // namespace orvala
