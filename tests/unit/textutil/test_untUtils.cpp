#include "textutil/untUtils.h"

#include <gtest/gtest.h>

#include <string>

#include "config/untLiteraly.h"

namespace orvala {
namespace {

std::string Bytes(std::string_view s) {
  return std::string(s);
}

TEST(CaseMapping, PolishPhraseRoundTripsOnTheFixedTable) {
  const std::string lower = Bytes(TXT_1250("zażółć gęślą jaźń"));
  const std::string upper = Bytes(TXT_1250("ZAŻÓŁĆ GĘŚLĄ JAŹŃ"));
  EXPECT_EQ(UpperText1250(lower), upper);
  EXPECT_EQ(LowerText1250(upper), lower);
}

TEST(CaseMapping, BytesOutsideThePairsStayThemselves) {
  EXPECT_EQ(UpperChar1250(0xDF), 0xDF);  // ß
  EXPECT_EQ(UpperChar1250(0xBE), 0xBE);  // ľ has no upper case here
  EXPECT_EQ(UpperChar1250(0xF7), 0xF7);  // ÷
  EXPECT_EQ(UpperChar1250(0xFF), 0xFF);  // ˙
  EXPECT_EQ(LowerChar1250(0xD7), 0xD7);  // ×
  EXPECT_EQ(LowerChar1250(0xBC), 0xBC);  // Ľ
  EXPECT_EQ(LowerChar1250(0xDF), 0xDF);
}

TEST(CaseMapping, EveryChangedByteMapsBack) {
  int upperChanges = 0;
  for (unsigned b = 0; b < 256; ++b) {
    const auto byte = static_cast<std::uint8_t>(b);
    if (UpperChar1250(byte) != byte) {
      ++upperChanges;
      EXPECT_EQ(LowerChar1250(UpperChar1250(byte)), byte) << b;
    }
    if (LowerChar1250(byte) != byte) {
      EXPECT_EQ(UpperChar1250(LowerChar1250(byte)), byte) << b;
    }
  }
  // 26 ASCII letters, 9 listed pairs, 0xE0..0xFE without 0xF7.
  EXPECT_EQ(upperChanges, 26 + 9 + 30);
}

TEST(StorageForm, RussianWordBecomesCyrillicBytes) {
  // "Privet" → Привет in Windows-1251.
  EXPECT_EQ(ConvertFromStorageForm("Privet", kJezykRosyjski),
            std::string("\xCF\xF0\xE8\xE2\xE5\xF2"));
  // The map knows nothing of placeholders: "%d" becomes "%д".
  EXPECT_EQ(ConvertFromStorageForm("%d", kJezykRosyjski), std::string("%\xE4"));
}

TEST(StorageForm, SpecialLettersAndSigns) {
  EXPECT_EQ(ConvertFromStorageForm("\x8E\x9E\xC8\xE8\x8A\x9A\xAA\xBA", kJezykRosyjski),
            std::string("\xC6\xE6\xD7\xF7\xD8\xF8\xD9\xF9"));  // Жж Чч Шш Щщ
  EXPECT_EQ(ConvertFromStorageForm("\xCC\xCA\xDB\xDC\xC2\xC4\xCB\xEB", kJezykRosyjski),
            std::string("\xDD\xDD\xDE\xDE\xDF\xDF\xA8\xB8"));  // Э Э Ю Ю Я Я Ё ё
  EXPECT_EQ(ConvertFromStorageForm("$'", kJezykRosyjski), std::string("\xFA\xFC"));  // ъ ь
  EXPECT_EQ(ConvertFromStorageForm("\xC1\xE1\xFD", kJezykRosyjski),
            std::string("\xC0\xE0\xFB"));  // accented vowels lose the accent
  EXPECT_EQ(ConvertFromStorageForm("QWXqwx 0123 .,!?", kJezykRosyjski), "QWXqwx 0123 .,!?");
}

TEST(StorageForm, FrenchAndItalianMapsDifferOnlyOnI) {
  const std::string stored = "\xC1\xE1\xCC\xEC\xCD\xED\xD5\xF5\xDA\xFA";
  EXPECT_EQ(ConvertFromStorageForm(stored, kJezykFrancuski),
            std::string("\xC0\xE0\xC8\xE8\xCF\xEF\xD2\xF2\xD9\xF9"));
  EXPECT_EQ(ConvertFromStorageForm(stored, kJezykWloski),
            std::string("\xC0\xE0\xC8\xE8\xCC\xEC\xD2\xF2\xD9\xF9"));
}

TEST(StorageForm, OtherLanguagesReturnTheTextUnchanged) {
  std::string all;
  for (unsigned b = 0; b < 256; ++b) {
    all += static_cast<char>(b);
  }
  for (const LanguageId l : {kJezykPolski, kJezykAngielski, kJezykNiemiecki, kJezykHiszpanski,
                             kJezykWegierski, LanguageId{200}}) {
    EXPECT_EQ(ConvertFromStorageForm(all, l), all) << int{l};
  }
  EXPECT_EQ(ConvertFromStorageForm(all, kJezykRosyjski).size(), all.size());
}

TEST(Scanning, FindCharInSetStopsOnAMemberOrEndsPastTheText) {
  const ByteSet dot{'.'};
  int position = 1;
  EXPECT_TRUE(FindCharInSet("1.2", position, dot));
  EXPECT_EQ(position, 2);
  position = 1;
  EXPECT_FALSE(FindCharInSet("12", position, dot));
  EXPECT_EQ(position, 3);
  position = 0;
  EXPECT_FALSE(FindCharInSet(".", position, dot));
  EXPECT_EQ(position, 0);
  position = -5;
  EXPECT_FALSE(FindCharInSet(".", position, dot));
  EXPECT_EQ(position, -5);
  position = 3;
  EXPECT_TRUE(FindCharInSet("a.b.c", position, dot));
  EXPECT_EQ(position, 4);
}

TEST(Scanning, IsCharInSetAtChecksTheBounds) {
  ByteSet digits;
  digits.AddRange('0', '9');
  EXPECT_TRUE(IsCharInSetAt(digits, "a1", 2));
  EXPECT_FALSE(IsCharInSetAt(digits, "a1", 1));
  EXPECT_FALSE(IsCharInSetAt(digits, "a1", 0));
  EXPECT_FALSE(IsCharInSetAt(digits, "a1", 3));
  EXPECT_FALSE(IsCharInSetAt(digits, "", 1));
  EXPECT_TRUE(ByteSet{0xFF}.Contains(0xFF));
  EXPECT_FALSE(ByteSet{0xFF}.Contains(0x7F));
}

TEST(Ranges, InRange64IncludesBothEnds) {
  EXPECT_TRUE(InRange64(5, 5, 5));
  EXPECT_TRUE(InRange64(INT64_MIN, INT64_MIN, 0));
  EXPECT_TRUE(InRange64(INT64_MAX, 0, INT64_MAX));
  EXPECT_FALSE(InRange64(4, 5, 10));
  EXPECT_FALSE(InRange64(11, 5, 10));
  EXPECT_FALSE(InRange64(0, 1, -1));
}

// Record entries, process identities and patch lengths are read with it: anything but plain
// digits, or a number past 64 bits, is no number (never wrapped round).
TEST(Numbers, ParseDecimalTakesPlainDigitsThatFit) {
  const struct {
    const char* text;
    bool ok;
    std::uint64_t value;
  } cases[] = {
      {"0", true, 0},
      {"007", true, 7},
      {"18446744073709551615", true, UINT64_MAX},
      {"18446744073709551616", false, 0},
      {"99999999999999999999", false, 0},
      {"", false, 0},
      {"-1", false, 0},
      {"+1", false, 0},
      {" 1", false, 0},
      {"1a", false, 0},
  };
  for (const auto& c : cases) {
    std::uint64_t value = 12345;
    EXPECT_EQ(ParseDecimal(c.text, value), c.ok) << c.text;
    EXPECT_EQ(value, c.ok ? c.value : 12345u) << c.text;
  }
}

}  // namespace
}  // namespace orvala
