#include "config/untInstalStale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/untInstalTeksty.h"
#include "config/untLiteraly.h"
#include "config/untStaleApp.h"

namespace orvala {
namespace {

TEST(BuildConstants, EditionTenPolishAndRussian) {
  EXPECT_EQ(ActiveEdition(), 10);
  EXPECT_EQ(HomeLanguage(), kJezykPolski);
  EXPECT_EQ(EditionLanguage(), kJezykRosyjski);
  EXPECT_TRUE(kPrzelacznikiBudowy.sourceFromDialog);
  EXPECT_FALSE(kPrzelacznikiBudowy.skipCopy);
  EXPECT_TRUE(kPrzelacznikiBudowy.specialVersions);
  EXPECT_TRUE(kPrzelacznikiBudowy.clearInProgressAtExit);
  EXPECT_FALSE(kPrzelacznikiBudowy.preferEditionLanguage);
}

TEST(EditionDescriptor, KeysOfEditionTen) {
  const TOpisEdycji& e = ActiveEditionDescriptor();
  EXPECT_EQ(e.productKey, "SOFTWARE\\Vertal\\Orvala");
  EXPECT_EQ(e.uninstallKeyName, "Orvala");
  ASSERT_EQ(e.componentKeys.size(), 8u);
  EXPECT_EQ(e.componentKeys[0], "SOFTWARE\\Vertal\\Orvala\\RusPol");
  EXPECT_EQ(e.componentKeys[5], "SOFTWARE\\Vertal\\Orvala\\SlZewPolRus");
  // The last two entries name the same key; both are returned.
  EXPECT_EQ(e.componentKeys[6], "SOFTWARE\\Vertal\\Orvala\\DuzevIvik");
  EXPECT_EQ(e.componentKeys[7], "SOFTWARE\\Vertal\\Orvala\\DuzevIvik");
  EXPECT_EQ(e.programFolder, "Orvalis");
  EXPECT_EQ(e.mainProgramFile, "Orvatr.exe");
  EXPECT_EQ(e.uninstallerFile, "DeInstalator.exe");
  EXPECT_EQ(e.versionString, "1.0");
  EXPECT_EQ(e.ownExclusions, "<pold.so><rusd.so><polm.so><rusm.so><orvatr.exe>");
  EXPECT_EQ(e.dictionaryFiles, "<slzewru.exe><slzewpl.exe><ruspol.sz><polrus.sz>");
  EXPECT_FALSE(e.fontFlag);
  EXPECT_EQ(e.conversionKind, 0);
  // The publisher of the uninstall entry is the maker that the product key names.
  EXPECT_EQ(e.publisher, "Vertal");
  EXPECT_TRUE(e.productKey.starts_with("SOFTWARE\\" + std::string(e.publisher) + "\\"));
}

TEST(EditionDescriptor, MainProgramPartsAndEmptyEditions) {
  const auto& parts = ActiveEditionDescriptor().mainProgramResources;
  EXPECT_EQ(parts[0], "ORVATR1A");
  EXPECT_EQ(parts[1], "ORVATR1B");
  EXPECT_EQ(parts[2], "ORVATR1C");
  // Editions without a row of this build, and numbers outside 1..12, look up as empty.
  for (const int edition : {0, 1, 9, 11, 12, 13, -1}) {
    EXPECT_TRUE(EditionDescriptor(edition).mainProgramResources[1].empty()) << edition;
    EXPECT_TRUE(EditionDescriptor(edition).productKey.empty()) << edition;
  }
}

TEST(EditionDescriptor, TitlesAndGroupNames) {
  const TOpisEdycji& e = ActiveEditionDescriptor();
  EXPECT_EQ(e.homeTitle, "Orvala Pakiet");
  // The Russian title is kept in the storage form and shows in Cyrillic.
  EXPECT_EQ(e.editionTitle, "Orvala Pakiet");
  EXPECT_EQ(ConvertStoredText(e.editionTitle, kJezykRosyjski, true), u"Орвала Пакиет");
  for (LanguageId l = 0; l <= 5; ++l) {
    EXPECT_EQ(GroupName(l), "Orvala Pakiet") << int{l};
  }
  EXPECT_EQ(ConvertStoredText(GroupName(kJezykRosyjski), kJezykRosyjski, false), u"Орвала Пакиет");
  EXPECT_TRUE(GroupName(kJezykWegierski).empty());
  EXPECT_TRUE(GroupName(8).empty());
}

TEST(EditionDescriptor, LicenceFilesPerLanguage) {
  EXPECT_EQ(LicenceFile(kJezykPolski), "umowapol.txt");
  EXPECT_EQ(LicenceFile(kJezykRosyjski), "umowaru.txt");
  EXPECT_EQ(LicenceFile(kJezykWegierski), "umowahu.txt");
  EXPECT_TRUE(LicenceFile(8).empty());
}

TEST(EditionDescriptor, SpecialVersionRowsOfEditionTen) {
  const auto& rows = ActiveEditionDescriptor().specialVersionRows;
  EXPECT_EQ(rows, (std::array<int, 4>{24, 25, 26, 27}));
  EXPECT_EQ(SpecialVersion(24).file, "Orvatr.exe");
  EXPECT_EQ(SpecialVersion(24).resourceA, "PORVATR11A");
  EXPECT_EQ(SpecialVersion(24).resourceB, "PORVATR11B");
  EXPECT_EQ(SpecialVersion(25).resourceA, "PTRINTRU11A");
  EXPECT_EQ(SpecialVersion(26).resourceB, "PTRPLIKRU11B");
  EXPECT_EQ(SpecialVersion(27).file, "DeInstalator.exe");
  EXPECT_TRUE(SpecialVersion(27).resourceB.empty());
  EXPECT_TRUE(SpecialVersion(1).file.empty());
  EXPECT_TRUE(SpecialVersion(28).file.empty());
  EXPECT_TRUE(SpecialVersion(0).file.empty());
}

TEST(EditionSets, BitNOfTheSetIsEditionN) {
  const TZbiorEdycji set{0, 7, 8, 10, 255};
  EXPECT_EQ(set.Bytes()[0], 0x81);
  EXPECT_EQ(set.Bytes()[1], 0x05);
  EXPECT_EQ(set.Bytes()[31], 0x80);
  EXPECT_TRUE(set.Contains(10));
  EXPECT_FALSE(set.Contains(9));
  EXPECT_FALSE(set.Contains(256));
  EXPECT_FALSE(set.Contains(-1));
}

TEST(RowTables, OnlyShortcutsHaveRowsForEditionTen) {
  EXPECT_TRUE(RowsForEdition(ComComponentTable(), 10).empty());
  EXPECT_TRUE(RowsForEdition(WordAddInTable(), 10).empty());
  EXPECT_TRUE(RowsForEdition(PatchListTable(), 10).empty());
  const TPatchData rows[] = {{TZbiorEdycji{3, 10}, "a.pth", "a.exe"},
                             {TZbiorEdycji{4}, "b.pth", "b.exe"},
                             {TZbiorEdycji{10}, "c.pth", "c.exe"}};
  const auto picked = RowsForEdition(std::span<const TPatchData>(rows), 10);
  ASSERT_EQ(picked.size(), 2u);
  EXPECT_EQ(picked[0]->listFile, "a.pth");
  EXPECT_EQ(picked[1]->listFile, "c.pth");
}

TEST(RowTables, NineteenShortcutsInTableOrderPolishThenRussian) {
  const auto rows = RowsForEdition(ShortcutTable(), 10);
  ASSERT_EQ(rows.size(), 19u);
  const char* files[] = {"Orvatr.exe",       "DuzevIv.exe", "SlZewRu.exe",
                         "SlZewPl.exe",      "TrIntRu.exe", "TrPlikRu.exe",
                         "Deinstalator.exe", "Trans.chm",   "Sl_Zew.chm"};
  const std::uint8_t flags[] = {0x05, 0x05, 0x06, 0x06, 0x05, 0x04, 0x04, 0x04, 0x04};
  for (std::size_t i = 0; i < 9; ++i) {
    const TSkrotData& polish = *rows[2 * i];
    const TSkrotData& russian = *rows[2 * i + 1];
    EXPECT_EQ(polish.file, files[i]);
    EXPECT_EQ(russian.file, files[i]);
    EXPECT_EQ(polish.languages, 1u << kJezykPolski);
    EXPECT_EQ(russian.languages, 1u << kJezykRosyjski);
    EXPECT_EQ(polish.flags, flags[i]);
    EXPECT_EQ(russian.flags, flags[i]);
  }
  EXPECT_EQ(rows[18]->file, "rus_gram.chm");
  EXPECT_EQ(rows[18]->languages, 1u << kJezykPolski);
  EXPECT_EQ(rows[4]->title, TXT_1250("Słownik rosyjsko-polski"));
  EXPECT_EQ(rows[18]->title, TXT_1250("Wstęp do gramatyki rosyjskiej"));
  EXPECT_EQ(ConvertStoredText(rows[1]->title, kJezykRosyjski, false),
            u"Русско-польский переводчик");
}

}  // namespace
}  // namespace orvala
