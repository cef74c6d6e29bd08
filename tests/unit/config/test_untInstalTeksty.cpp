#include "config/untInstalTeksty.h"

#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <string>

#include "config/untInstalTekstyTabela.h"
#include "textutil/untKodowanie.h"

namespace orvala {
namespace {

// Restores the process state that a test changes.
class TextTable : public ::testing::Test {
 protected:
  void SetUp() override { SetTextProcessState(true, kJezykPolski); }
  void TearDown() override { SetTextProcessState(true, kJezykPolski); }
};

std::string U8(const TWideString& s) {
  return Utf16ToUtf8(s);
}

TEST_F(TextTable, PolishAndEnglishTextsAsTheyAreShown) {
  EXPECT_EQ(GetText(0, 22, false), u"Wstęp");
  EXPECT_EQ(GetText(1, 21, false), u"Step %d of %d: %s");
  EXPECT_EQ(GetText(0, 121, false), u" Zainstaluj w katalogu:  ");
  EXPECT_EQ(GetText(0, 61, false),
            u"Witamy w programie instalacyjnym produktu \"%s\". \r\n\r\nTen program "
            u"zainstaluje \"%s\" na Twoim komputerze. \r\nZaleca się zakończenie wszystkich "
            u"aplikacji przed instalacją. \r\n\r\n \r\n");
  // An apostrophe comes out as U+2032 whatever the language.
  EXPECT_EQ(GetText(1, 130, false),
            u"Directory \u2032%s\u2032 cannot be created. Select another directory.");
  EXPECT_EQ(GetText(0, 203, false), u"Nieprawidłowa długość pliku patch\u2032owanego");
  EXPECT_EQ(GetText(0, 162, false),
            u"Wystąpił błąd podczas instalacji. Możliwe przyczyny to:\r\n\r\n1. Sprawdź, czy "
            u"na dysku jest wystarczająca ilość miejsca.\r\n2. Twój napęd CD-ROM może wymagać "
            u"czyszczenia.");
  EXPECT_EQ(GetText(0, 301, true), u"Instalator");
  EXPECT_EQ(GetText(1, 301, true), u"%s - Instalator");
}

TEST_F(TextTable, UntranslatedCellsKeepTheirMarker) {
  // The English cell holds the marker and the Polish bytes, widened by the Western table.
  EXPECT_EQ(TextCell(133, 1), "\xD7" + std::string(TextCell(133, 0)));
  EXPECT_EQ(GetText(1, 133, false),
            u"×Instaluj modu\u00B3 t\u00B3umacz\u00B9cy dla Microsoft Word");
  EXPECT_EQ(GetText(2, 22, false).substr(0, 1), u"×");
  EXPECT_EQ(static_cast<unsigned char>(TextCell(134, 6)[0]), kZnacznikNieprzetlumaczony);
}

TEST_F(TextTable, LookupOutsideTheTableIsEmpty) {
  EXPECT_TRUE(GetText(0, 0, false).empty());
  EXPECT_TRUE(GetText(0, 321, false).empty());
  EXPECT_TRUE(GetText(0, 11, false).empty());
  EXPECT_TRUE(GetText(6, 320, false).empty());
  EXPECT_TRUE(TextCell(1, 7).empty());
  EXPECT_TRUE(TextCell(1, -1).empty());
}

TEST_F(TextTable, HungarianAndHighBitLanguagesUsePolishTexts) {
  EXPECT_EQ(GetText(7, 22, false), u"Wstęp");
  // Only the low 7 bits choose the column: 0x81 reads the English column.
  EXPECT_EQ(GetText(0x81, 5, true), u"Close");
}

TEST_F(TextTable, RussianColumnConvertsBackToTheCyrillicItWasWrittenFrom) {
  int checked = 0;
  for (std::size_t i = 0; i < detail::kLiczbaWpisowTekstow; ++i) {
    const auto& entry = detail::kWpisyTekstow[i];
    if (entry.russianSource.empty()) {
      continue;
    }
    const std::string source(reinterpret_cast<const char*>(entry.russianSource.data()),
                             entry.russianSource.size());
    EXPECT_EQ(U8(GetText(kJezykRosyjski, entry.id, false)), source) << "id " << entry.id;
    ++checked;
  }
  int russianCells = 0;
  for (int id = 1; id <= kLiczbaTekstow; ++id) {
    russianCells += !TextCell(id, 6).empty() && id != 133 && id != 134;
  }
  EXPECT_EQ(checked, russianCells);
}

TEST_F(TextTable, RussianTextsHoldNoLatinLettersAndKeepThePolishPlaceholders) {
  const std::regex placeholder("%[ds]");
  for (int id = 1; id <= kLiczbaTekstow; ++id) {
    if (TextCell(id, 6).empty() || id == 133 || id == 134) {
      continue;
    }
    const std::string russian = U8(GetText(kJezykRosyjski, id, false));
    const std::string polish = U8(GetText(kJezykPolski, id, false));
    std::string latin;
    for (std::size_t i = 0; i < russian.size(); ++i) {
      const char c = russian[i];
      const bool placeholderLetter = i > 0 && russian[i - 1] == '%' && (c == 'd' || c == 's');
      if (((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && !placeholderLetter) {
        latin += c;
      }
    }
    EXPECT_EQ(latin, "") << "id " << id << ": " << russian;
    auto placeholders = [&](const std::string& s) {
      std::string all;
      for (auto it = std::sregex_iterator(s.begin(), s.end(), placeholder);
           it != std::sregex_iterator(); ++it) {
        all += it->str();
      }
      return all;
    };
    EXPECT_EQ(placeholders(russian), placeholders(polish)) << "id " << id;
  }
}

TEST_F(TextTable, RussianStepNamesAreTranslated) {
  EXPECT_EQ(GetText(6, 23, false), u"Лицензионное соглашение");
  EXPECT_EQ(GetText(6, 25, false), u"Параметры установки");
  EXPECT_EQ(GetText(6, 21, false), u"Шаг %d из %d: %s");
}

// The Russian wording as a Russian reader wants it, through the storage form and back.
TEST_F(TextTable, RussianWordingSurvivesTheStorageForm) {
  const struct {
    int id;
    const char16_t* text;
  } kCases[] = {
      {22, u"Введение"},
      {129,
       u"В выбранной папке недостаточно места для установки программы.\r\nВы хотите "
       u"продолжить ?"},
      {131, u"Создать ярлыки для всех пользователей"},
      {147, u"Установка отменена - удаление скопированных файлов ..."},
      {162,
       u"Во время установки произошла ошибка. Возможные причины:\r\n\r\n1. Проверьте, "
       u"достаточно ли места на диске.\r\n2. Возможно, требуется чистка дисковода "
       u"компакт-дисков."},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(GetText(kJezykRosyjski, c.id, false), c.text) << "id " << c.id;
  }
}

TEST_F(TextTable, WideningFollowsThePlatformRule) {
  // NT: the language's own table, whatever the locale.
  SetTextProcessState(true, kJezykFrancuski);
  EXPECT_EQ(GetText(0, 125, false), u"Zainstaluj słowniki");
  // Not NT, French locale: with languageCodePage false the Western table is used.
  SetTextProcessState(false, kJezykFrancuski);
  EXPECT_EQ(GetText(0, 125, false), u"Zainstaluj s\u00B3owniki");
  EXPECT_EQ(GetText(0, 125, true), u"Zainstaluj słowniki");
  // Not NT, Russian locale: the Cyrillic table widens a Russian text.
  SetTextProcessState(false, kJezykRosyjski);
  EXPECT_EQ(GetText(6, 182, false), u"Да");
}

TEST_F(TextTable, CommonTableSpecialCharacters) {
  EXPECT_EQ(WidenText("'^`", kJezykPolski, true), u"\u2032\u2038\u2035");
  EXPECT_EQ(WidenText("\x80\x85\x96\x97", kJezykRosyjski, true), u"\u20AC\u2026\u2013\u2014");
  // A selector outside 0..7 uses the common table alone: 0xB3 stays U+00B3.
  EXPECT_EQ(WidenText("\xB3\xD0\xFF", 9, true), u"\u00B3\u0110\u02D9");
  EXPECT_EQ(WidenText("\xB3", kJezykPolski, true), u"ł");
  EXPECT_EQ(WidenText("\xB3", kJezykRosyjski, true), u"і");
  // Every byte becomes exactly one unit.
  std::string all;
  for (unsigned b = 0; b < 256; ++b) {
    all += static_cast<char>(b);
  }
  for (LanguageId l = 0; l < 10; ++l) {
    EXPECT_EQ(WidenText(all, l, true).size(), 256u);
  }
}

TEST_F(TextTable, FormatFillsPlaceholdersInOrder) {
  EXPECT_EQ(FormatText(GetText(0, 21, false), {3, 5, GetText(0, 25, false)}, false, 0),
            u"Krok 3 z 5: Opcje instalacji");
  EXPECT_EQ(FormatText(GetText(1, 21, false), {3, 5, GetText(1, 25, false)}, false, 1),
            u"Step 3 of 5: Installation options");
  EXPECT_EQ(FormatText(GetText(6, 21, false), {2, 5, GetText(6, 23, false)}, false, 6),
            u"Шаг 2 из 5: Лицензионное соглашение");
  // Text 9 joins two UTF-16 strings unchanged.
  EXPECT_EQ(
      FormatText(GetText(0, 9, false), {GetText(0, 10, false), GetText(6, 10, false)}, false, 0),
      u"Język / Язык:");
}

TEST_F(TextTable, FormatPercentWidthStarAndEightBitArguments) {
  EXPECT_EQ(FormatText(u"100%% %s", {TWideString(u"ok")}, false, 0), u"100% ok");
  EXPECT_EQ(FormatText(u"[%5d|%-3d|%x]", {42, 7, 255}, false, 0), u"[   42|7  |FF]");
  EXPECT_EQ(FormatText(u"[%*d]", {4, 9}, false, 0), u"[   9]");
  EXPECT_EQ(FormatText(u"%.1f MB", {2.25}, false, 0), u"2.2 MB");
  // An 8-bit argument is widened with the formatter's language.
  EXPECT_EQ(FormatText(u"%s", {std::string("\xB3")}, false, kJezykPolski), u"ł");
  // A UTF-16 argument meeting a wider specifier goes through the 8-bit path.
  EXPECT_EQ(FormatText(u"[%3s]", {TWideString(u"ab")}, false, 0), u"[ ab]");
  // A specifier without its closing letter and missing arguments never crash.
  EXPECT_EQ(FormatText(u"tail %5", {}, false, 0), u"tail %5");
  EXPECT_EQ(FormatText(u"%d and %s", {}, false, 0), u" and ");
}

// Specifiers the 8-bit path cannot format safely stay in the text as written, and still take
// their argument, so that the next specifier gets its own.
TEST_F(TextTable, FormatLeavesUnsafeSpecifiersAsText) {
  struct TPrzypadek {
    const char16_t* format;
    std::array<TArgument, 4> arguments;  // more than the specifiers take is harmless
    const char16_t* expected;
  };
  const TPrzypadek cases[] = {
      {u"[%c%s]|%s", {std::string("ab"), std::string("z")}, u"[%c%s]|z"},  // crashed
      {u"[%Ss]|%d", {TWideString(u"ab"), 4}, u"[%Ss]|4"},                  // gave nothing
      {u"[%ld]", {5}, u"[%ld]"},
      {u"[%#x]", {255}, u"[%#x]"},
      {u"[%5000d]", {1}, u"[%5000d]"},
      {u"[%.*d]", {-3, 7}, u"[%.*d]"},
      {u"[%\u0142d]", {7}, u"[%\u0142d]"},
      // What the rules allow keeps working.
      {u"[%*d|%-*d]", {-4, 9, 3, 1}, u"[9   |1  ]"},
      {u"[%.3d|%8.2f|%m]", {5, 2.5, 1}, u"[005|    2.50|1.00]"},
      {u"[%p]", {0x1234}, u"[00001234]"},
  };
  for (const TPrzypadek& c : cases) {
    const auto& a = c.arguments;
    EXPECT_EQ(FormatText(c.format, {a[0], a[1], a[2], a[3]}, false, kJezykPolski), c.expected)
        << U8(c.format);
  }
}

// A UTF-16 argument that meets a specifier other than a bare "%s" is narrowed with the inverse
// of the formatter's widening table, so its letters come back after widening.
TEST_F(TextTable, FormatKeepsTheLettersOfWideArgumentsWithWidthAndPrecision) {
  struct TPrzypadek {
    const char16_t* format;
    const char16_t* argument;
    LanguageId language;
    const char16_t* expected;
  };
  const TPrzypadek cases[] = {
      {u"[%-8s]", u"Язык", kJezykRosyjski, u"[Язык    ]"},  // was "[????    ]"
      {u"[%.2s]", u"Ёлка", kJezykRosyjski, u"[Ёл]"},
      {u"[%6s]", u"łąż′", kJezykPolski, u"[  łąż′]"},
      {u"[%3s]", u"中", kJezykPolski, u"[  ?]"},  // no byte of the table widens to it
  };
  for (const TPrzypadek& c : cases) {
    EXPECT_EQ(FormatText(c.format, {TWideString(c.argument)}, false, c.language), c.expected)
        << U8(c.format);
  }
}

TEST_F(TextTable, NarrowTextInvertsEveryWideningTable) {
  std::string all;
  for (unsigned b = 0; b < 256; ++b) {
    all += static_cast<char>(b);
  }
  for (LanguageId l = 0; l < 10; ++l) {
    for (const bool codePage : {false, true}) {
      const TWideString wide = WidenText(all, l, codePage);
      EXPECT_EQ(WidenText(NarrowText(wide, l, codePage), l, codePage), wide) << int{l};
    }
  }
}

TEST(LocaleLanguage, ThreadLocalesToInterfaceLanguages) {
  for (const std::uint32_t lcid : {1031u, 2055u, 3079u, 4103u, 5127u}) {
    EXPECT_EQ(LocaleLanguageFromLcid(lcid), kJezykNiemiecki);
  }
  for (const std::uint32_t lcid : {1034u, 2058u, 3082u}) {
    EXPECT_EQ(LocaleLanguageFromLcid(lcid), kJezykHiszpanski);
  }
  for (const std::uint32_t lcid : {1036u, 2060u, 3084u}) {
    EXPECT_EQ(LocaleLanguageFromLcid(lcid), kJezykFrancuski);
  }
  EXPECT_EQ(LocaleLanguageFromLcid(1040), kJezykWloski);
  EXPECT_EQ(LocaleLanguageFromLcid(2064), kJezykWloski);
  EXPECT_EQ(LocaleLanguageFromLcid(1049), kJezykRosyjski);
  EXPECT_EQ(LocaleLanguageFromLcid(1045), kJezykPolski);
  EXPECT_EQ(LocaleLanguageFromLcid(1033), kJezykPolski);  // English gives Polish, not 1
  EXPECT_EQ(LocaleLanguageFromLcid(2057), kJezykPolski);
}

TEST(LanguageConstants, ColumnsCharsetsAndFlags) {
  EXPECT_EQ(FontCharset(kJezykPolski), 238);
  EXPECT_EQ(FontCharset(kJezykAngielski), 238);
  EXPECT_EQ(FontCharset(kJezykFrancuski), 0);
  EXPECT_EQ(FontCharset(kJezykRosyjski), 204);
  EXPECT_EQ(FlagImageIndex(kJezykFrancuski), 3);
  EXPECT_EQ(FlagImageIndex(kJezykNiemiecki), 2);
  EXPECT_EQ(FlagImageIndex(kJezykWegierski), 7);
  EXPECT_EQ(LanguageInfo(kJezykWegierski).column, 0);
}

}  // namespace
}  // namespace orvala
