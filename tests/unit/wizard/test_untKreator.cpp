// The wizard's window-free decisions: languages, page model, figures of the options page and the
// target checks of its Next button, on the host platform.
#include "app/untKreator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "config/untInstalTeksty.h"
#include "platform/host/untPlatformaHost.h"
#include "textutil/untKodowanie.h"

namespace orvala {
namespace {

namespace fs = std::filesystem;

std::string U8(const TWideString& s) {
  return Utf16ToUtf8(s);
}

TEST(KreatorJezyk, StartLanguageFollowsOnlyTheEditionLocale) {
  EXPECT_EQ(ChooseStartLanguage(kJezykRosyjski, kJezykPolski, kJezykRosyjski, false),
            kJezykRosyjski);
  for (LanguageId other :
       {kJezykPolski, kJezykNiemiecki, kJezykFrancuski, kJezykWloski, kJezykHiszpanski}) {
    EXPECT_EQ(ChooseStartLanguage(other, kJezykPolski, kJezykRosyjski, false), kJezykPolski);
    EXPECT_EQ(ChooseStartLanguage(other, kJezykPolski, kJezykRosyjski, true), kJezykRosyjski);
  }
}

TEST(KreatorJezyk, EffectiveEightBitLanguage) {
  // The start locale's own language is always usable in 8 bits.
  EXPECT_EQ(EffectiveEightBitLanguage(6, 6, 0, 6), 6);
  EXPECT_EQ(EffectiveEightBitLanguage(0, 0, 0, 6), 0);
  // Russian interface on a Polish or German system: 8-bit texts fall back to Polish.
  EXPECT_EQ(EffectiveEightBitLanguage(6, 0, 0, 6), 0);
  EXPECT_EQ(EffectiveEightBitLanguage(6, 3, 0, 6), 0);
  // Polish interface on a Russian system: the Russian forms are taken.
  EXPECT_EQ(EffectiveEightBitLanguage(0, 6, 0, 6), 6);
  // An edition whose language is not Russian keeps the language as it is.
  EXPECT_EQ(EffectiveEightBitLanguage(3, 0, 0, 3), 3);
  EXPECT_EQ(EffectiveEightBitLanguage(0, 6, 0, 3), 0);
}

TEST(KreatorStrony, SwitchesOutsideTheFivePagesOrWhileBusyHaveNoEffect) {
  EXPECT_FALSE(PageSwitchTarget(1, -1, false));
  EXPECT_FALSE(PageSwitchTarget(5, +1, false));
  EXPECT_FALSE(PageSwitchTarget(2, +1, true));
  EXPECT_EQ(PageSwitchTarget(1, 0, false), 1);  // FormShow opens page 1 with ShowPage(0)
  EXPECT_EQ(PageSwitchTarget(3, -1, false), 2);
  EXPECT_EQ(PageSwitchTarget(4, +1, false), 5);
}

TEST(KreatorStrony, ButtonStatesPerPage) {
  const TStanPrzyciskow p1 = PageButtons(1, false);
  EXPECT_TRUE(p1.nextEnabled);
  EXPECT_FALSE(p1.backEnabled);
  EXPECT_EQ(p1.closeTextId, 5);
  EXPECT_FALSE(PageButtons(2, false).nextEnabled);
  EXPECT_TRUE(PageButtons(2, true).nextEnabled);
  EXPECT_TRUE(PageButtons(2, false).backEnabled);
  EXPECT_TRUE(PageButtons(3, false).nextEnabled);  // acceptance matters on page 2 only
  EXPECT_TRUE(PageButtons(3, false).backEnabled);
  for (int page : {4, 5}) {
    EXPECT_FALSE(PageButtons(page, true).nextEnabled) << page;
    EXPECT_FALSE(PageButtons(page, true).backEnabled) << page;
  }
  EXPECT_EQ(PageButtons(4, true).closeTextId, 8);
  EXPECT_EQ(PageButtons(5, true).closeTextId, 7);
}

TEST(KreatorStrony, StepCaptionAndEndText) {
  SetTextProcessState(true, kJezykPolski);
  EXPECT_EQ(U8(StepCaption(kJezykPolski, 3)), "Krok 3 z 5: Opcje instalacji");
  EXPECT_EQ(U8(StepCaption(kJezykAngielski, 3)), "Step 3 of 5: Installation options");
  EXPECT_EQ(U8(StepCaption(kJezykPolski, 1)), "Krok 1 z 5: Wstęp");
  EXPECT_EQ(U8(StepCaption(kJezykRosyjski, 1)), "Шаг 1 из 5: Введение");
  EXPECT_EQ(EndPageTextId(true, false), 161);
  EXPECT_EQ(EndPageTextId(false, true), 163);
  EXPECT_EQ(EndPageTextId(false, false), 162);
}

TEST(KreatorTytul, HomeTitleForPolishCyrillicForRussian) {
  SetTextProcessState(true, kJezykPolski);
  EXPECT_EQ(U8(ProductTitle(kJezykPolski, false)), "Orvala Pakiet");
  EXPECT_EQ(U8(ProductTitle(kJezykRosyjski, true)), "Орвала Пакиет");
}

TEST(KreatorMegabajty, PatternWithLocaleSeparators) {
  const TWideString comma = u",", dot = u".";
  EXPECT_EQ(U8(FormatMegabytes(0, comma, dot)), "0.0 MB");
  EXPECT_EQ(U8(FormatMegabytes(2'100'000, comma, dot)), "2.0 MB");
  EXPECT_EQ(U8(FormatMegabytes(1048576LL * 1234 + 1048576 / 2, comma, dot)), "1,234.5 MB");
  EXPECT_EQ(U8(FormatMegabytes(1048576LL * 999'999, comma, dot)), "999,999.0 MB");
  EXPECT_EQ(U8(FormatMegabytes(1048576LL * 1'000'000, comma, dot)), "1,000,000.0 MB");
  // 0.05 MB rounds up, just below it rounds down.
  EXPECT_EQ(U8(FormatMegabytes(52429, comma, dot)), "0.1 MB");
  EXPECT_EQ(U8(FormatMegabytes(52428, comma, dot)), "0.0 MB");
  // Polish separators: a no-break space groups, a comma marks the decimals.
  EXPECT_EQ(FormatMegabytes(1048576LL * 12345, u"\u00A0", u","), u"12\u00A0345,0 MB");
}

TEST(KreatorGrafika, LargerArtworkFromAboveNinetySixDpi) {
  const struct {
    int dpi;
    TSkalaGrafiki scale;
  } cases[] = {
      {96, TSkalaGrafiki::Pojedyncza}, {120, TSkalaGrafiki::Poltorej},
      {144, TSkalaGrafiki::Poltorej},  {168, TSkalaGrafiki::Podwojna},
      {192, TSkalaGrafiki::Podwojna},  {288, TSkalaGrafiki::Podwojna},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ArtworkForDpi(c.dpi), c.scale) << c.dpi;
  }
}

TEST(KreatorKatalog, DefaultTarget) {
  EXPECT_EQ(DefaultTargetDirectory("C:\\Program Files", "Orvalis"), "C:\\Program Files\\Orvalis");
  EXPECT_EQ(DefaultTargetDirectory("", "Orvalis"), "C:\\Orvalis");
}

// A host machine with a CD on D: and a fixed disk on C:.
class KreatorDysk : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("orvala-kreator-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "cd" / "Pomoc");
    fs::create_directories(root_ / "c");
    host_.MapDrive('C', root_ / "c");
    host_.MapDrive('D', root_ / "cd", platform::TTypNapedu::CdRom);
    Write("cd/DuzevIv.exe", 1000);
    Write("cd/Pomoc/Trans.chm", 500);
    Write("cd/SlZewRu.exe", 300);
    Write("cd/ruspol.sz", 70);
    Write("cd/autorun.inf", 40000);   // excluded whatever the options
    Write("cd/UMOWAPOL.TXT", 50000);  // the licence itself, excluded in any case
  }
  void TearDown() override { fs::remove_all(root_); }
  // CheckChosenTarget for a target typed as `typed` (UTF-8), enough space, every question
  // answered Yes: its result, what it created and what it asked.
  struct TSprawdzenie {
    bool accepted = false;
    TDziennikPrzebiegu created;
    std::vector<TPytanieOpcji> asked;
  };
  static TSprawdzenie CheckTyped(const std::string& typed, const TNajdluzszeSciezki& longest) {
    TSprawdzenie r;
    const auto ask = [&r](TPytanieOpcji q) {
      r.asked.push_back(q);
      return true;
    };
    r.accepted = CheckChosenTarget(
        typed, longest, [] { return true; }, ask, r.created);
    return r;
  }
  void Write(const std::string& rel, std::size_t size) {
    std::ofstream(root_ / rel, std::ios::binary) << std::string(size, 'x');
  }

  fs::path root_;
  platform::TPlatformaHost host_;
  platform::TZasiegPlatformy scope_{host_};
};

constexpr auto kRezerwa = static_cast<std::int64_t>(kRezerwaProgramuGlownego);

TEST_F(KreatorDysk, RequiredSpaceSkipsExcludedNamesAndDictionaries) {
  host_.SetFreeSpace('C', 10'000'000);
  const TMiejsceNaDysku with = MeasureSpace("D:", "C:\\Orvalis", true);
  const TMiejsceNaDysku without = MeasureSpace("D:", "C:\\Orvalis", false);
  EXPECT_EQ(with.requiredBytes, 1000 + 500 + 300 + 70 + kRezerwa);
  EXPECT_EQ(without.requiredBytes, 1000 + 500 + kRezerwa);
  EXPECT_EQ(with.freeBytes, 10'000'000);
  EXPECT_TRUE(with.enough);
}

TEST_F(KreatorDysk, ExactlyTheRequiredBytesIsEnoughAndAFailedQueryIsNot) {
  const std::int64_t required = 1000 + 500 + kRezerwa;
  host_.SetFreeSpace('C', required);
  EXPECT_TRUE(MeasureSpace("D:", "C:\\Orvalis", false).enough);
  host_.SetFreeSpace('C', required - 1);
  EXPECT_FALSE(MeasureSpace("D:", "C:\\Orvalis", false).enough);
  EXPECT_TRUE(MeasureSpace("D:", "C:\\Orvalis", true).requiredBytes > required);
  host_.SetFreeSpace('C', std::nullopt);
  const TMiejsceNaDysku failed = MeasureSpace("D:", "C:\\Orvalis", false);
  EXPECT_EQ(failed.freeBytes, 0);
  EXPECT_FALSE(failed.enough);
}

TEST_F(KreatorDysk, NewTargetIsCreatedWithParentsAndOnlyItselfRecorded) {
  TDziennikPrzebiegu created;
  std::vector<TPytanieOpcji> asked;
  const auto ask = [&](TPytanieOpcji q) {
    asked.push_back(q);
    return true;
  };
  EXPECT_TRUE(CheckTargetDirectory(
      "C:\\Program Files\\Orvalis", [] { return true; }, ask, created));
  EXPECT_TRUE(fs::is_directory(root_ / "c" / "Program Files" / "Orvalis"));
  EXPECT_EQ(created.Paths(TRodzajWpisu::KatalogUtworzony),
            std::vector<std::string>{"C:\\Program Files\\Orvalis"});
  EXPECT_TRUE(asked.empty());
  // The same target again exists now: accepted, not recorded twice.
  EXPECT_TRUE(CheckTargetDirectory(
      "C:\\Program Files\\Orvalis", [] { return true; }, ask, created));
  EXPECT_EQ(created.Size(), 1u);
}

TEST_F(KreatorDysk, TargetThatCannotBeCreatedShowsText130AndRecordsNothing) {
  Write("c/plik", 10);  // a file where a parent directory should be
  TDziennikPrzebiegu created;
  std::vector<TPytanieOpcji> asked;
  const auto ask = [&](TPytanieOpcji q) {
    asked.push_back(q);
    return true;
  };
  EXPECT_FALSE(CheckTargetDirectory(
      "C:\\plik\\Orvalis", [] { return true; }, ask, created));
  EXPECT_FALSE(CheckTargetDirectory(
      "Q:\\Orvalis", [] { return true; }, ask, created));
  EXPECT_EQ(asked, (std::vector<TPytanieOpcji>{TPytanieOpcji::NieMoznaUtworzyc,
                                               TPytanieOpcji::NieMoznaUtworzyc}));
  EXPECT_EQ(created.Size(), 0u);
}

TEST_F(KreatorDysk, TooLittleSpaceAsksAndNoKeepsTheCreatedDirectoryUnrecorded) {
  TDziennikPrzebiegu created;
  int questions = 0;
  bool answer = false;
  const auto ask = [&](TPytanieOpcji q) {
    EXPECT_EQ(q, TPytanieOpcji::ZaMaloMiejsca);
    ++questions;
    return answer;
  };
  EXPECT_FALSE(CheckTargetDirectory(
      "C:\\Nowy", [] { return false; }, ask, created));
  EXPECT_TRUE(fs::is_directory(root_ / "c" / "Nowy"));  // stays in place after No
  EXPECT_EQ(created.Size(), 0u);
  answer = true;
  EXPECT_TRUE(CheckTargetDirectory(
      "C:\\Drugi", [] { return false; }, ask, created));
  EXPECT_EQ(created.Paths(TRodzajWpisu::KatalogUtworzony), std::vector<std::string>{"C:\\Drugi"});
  EXPECT_EQ(questions, 2);
}

// The target as lblKatalog shows it, on a Polish (1250), a Russian (1251) and a UTF-8 (65001)
// system: what the code page holds is created under its own name; what it lacks is refused
// with text 130 and nothing is created (the package's 8-bit programs could not open it).
TEST_F(KreatorDysk, TargetMustBeHeldByTheSystemCodePage) {
  const struct {
    TStronaKodowa codePage;
    const char* target;  // UTF-8, as typed
    bool accepted;
  } kCases[] = {
      {TStronaKodowa::Cp1250, "C:\\Zażółć\\gęślą", true},
      {TStronaKodowa::Cp1251, "C:\\Программы\\Орвала", true},
      {TStronaKodowa::Cp1250, "C:\\Программы\\Орвала", false},
      {TStronaKodowa::Cp1251, "C:\\Zażółć\\gęślą", false},
      {TStronaKodowa::Utf8, "C:\\Zażółć\\Программы", true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.target);
    host_.SetAnsiCodePage(c.codePage);
    const TSprawdzenie r = CheckTyped(c.target, {});
    EXPECT_EQ(r.accepted, c.accepted);
    if (c.accepted) {
      EXPECT_EQ(r.created.Paths(TRodzajWpisu::KatalogUtworzony),
                std::vector<std::string>{c.target});
      EXPECT_TRUE(r.asked.empty());
    } else {
      EXPECT_EQ(r.asked, std::vector<TPytanieOpcji>{TPytanieOpcji::NieMoznaUtworzyc});
      EXPECT_EQ(r.created.Size(), 0u);
    }
    // The host names are UTF-8: the accepted target exists under its own name; a refused one
    // leaves the drive empty.
    const std::string typed = c.target;
    const std::string relative =
        typed.substr(3, typed.rfind('\\') - 3) + "/" + typed.substr(typed.rfind('\\') + 1);
    EXPECT_EQ(
        fs::is_directory(root_ / "c" / fs::path(std::u8string(relative.begin(), relative.end()))),
        c.accepted);
    EXPECT_EQ(fs::is_empty(root_ / "c"), !c.accepted);
    fs::remove_all(root_ / "c");
    fs::create_directories(root_ / "c");
  }
}

// A target Windows would take otherwise than written (relative, trimmed, a device) is refused
// with text 317, one below which the medium's longest paths would pass what Windows' ordinary
// path functions take with text 318; in both cases before anything is created.
TEST_F(KreatorDysk, TargetsWindowsWouldMangleOrCannotHoldAreRefusedFirst) {
  const struct {
    std::string target;
    TNajdluzszeSciezki longest;
    std::optional<TPytanieOpcji> refusal;
  } kCases[] = {
      {"Orvala", {}, TPytanieOpcji::NiepelnaSciezka},
      {"C:Orvala", {}, TPytanieOpcji::NiepelnaSciezka},
      {"\\Orvala", {}, TPytanieOpcji::NiepelnaSciezka},
      {"C:\\Orvala ", {}, TPytanieOpcji::NiepelnaSciezka},
      {"C:\\Orvala.", {}, TPytanieOpcji::NiepelnaSciezka},
      {"C:\\Programy\\..\\Orvala", {}, TPytanieOpcji::NiepelnaSciezka},
      {"C:\\Programy\\\\Orvala", {}, TPytanieOpcji::NiepelnaSciezka},
      {"C:\\con", {}, TPytanieOpcji::NiepelnaSciezka},
      {"C:\\Dane\\Aux .txt\\x", {}, TPytanieOpcji::NiepelnaSciezka},
      {"C:\\COM7", {}, TPytanieOpcji::NiepelnaSciezka},
      {"C:\\Orvala?", {}, TPytanieOpcji::NiepelnaSciezka},
      {"C:/Orvala", {}, TPytanieOpcji::NiepelnaSciezka},
      {"C:\\a\x01b", {}, TPytanieOpcji::NiepelnaSciezka},
      {"\\\\?\\C:\\Orvala", {}, TPytanieOpcji::NiepelnaSciezka},
      {"\\\\serwer", {}, TPytanieOpcji::NiepelnaSciezka},
      {"C:\\COM10\\Console.x\\Orvala", {}, std::nullopt},
      {"C:\\Orvala\\", {}, std::nullopt},
      {"C:\\Orvala", {249, 237}, std::nullopt},
      {"C:\\Orvala", {250, 0}, TPytanieOpcji::ZaDlugaSciezka},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.target);
    const TSprawdzenie r = CheckTyped(c.target, c.longest);
    EXPECT_EQ(r.accepted, !c.refusal);
    if (c.refusal) {
      EXPECT_EQ(r.asked, std::vector<TPytanieOpcji>{*c.refusal});
      EXPECT_EQ(r.created.Size(), 0u);
      EXPECT_TRUE(fs::is_empty(root_ / "c"));
    }
    fs::remove_all(root_ / "c");
    fs::create_directories(root_ / "c");
  }
}

// The target with a backslash and the longest file within 259 characters, the longest folder
// within 247; the target itself a folder.
TEST(TargetLength, FilesAndFoldersBelowTheTargetWithinWhatWindowsTakes) {
  const std::string long199 = "C:\\" + std::string(196, 'a');
  const struct {
    std::string target;
    TNajdluzszeSciezki longest;
    bool fits;
  } kCases[] = {
      {long199, {59, 47}, true},
      {long199 + "\\", {59, 47}, true},  // its own trailing backslash counts once
      {long199, {60, 0}, false},
      {long199, {0, 48}, false},
      {"C:\\" + std::string(244, 'a'), {}, true},
      {"C:\\" + std::string(245, 'a'), {}, false},
      {"C:\\" + std::string(200, 'a'), {}, true},  // an empty medium
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(FitsBelowTarget(c.target, c.longest), c.fits) << c.target.size();
  }
}

TEST_F(KreatorDysk, LongestRelativePathsSkipExcludedNames) {
  const fs::path cd = root_ / "c" / "cd";
  const fs::path deeper = cd / "Dane" / fs::path(u8"Głębiej");
  fs::create_directories(deeper);
  fs::create_directories(cd / "instaluj.exe" / "bardzo-dluga-nazwa-folderu");
  std::ofstream(cd / "DuzevIv.exe") << "x";
  std::ofstream(deeper / "a.bin") << "x";              // Dane\Głębiej\a.bin: 18
  std::ofstream(cd / "Dane" / "UmowaPol.txt") << "x";  // excluded at any depth
  const TNajdluzszeSciezki longest =
      LongestRelativePaths("C:\\cd", "<.><..><umowapol.txt><instaluj.exe>");
  EXPECT_EQ(longest.file, 18u);
  EXPECT_EQ(longest.folder, 12u);  // Dane\Głębiej
}

}  // namespace
}  // namespace orvala
