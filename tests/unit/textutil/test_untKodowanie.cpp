#include "textutil/untKodowanie.h"

#include <gtest/gtest.h>

namespace orvala {
namespace {

TEST(CodePages, LettersOfEachPage) {
  EXPECT_EQ(CodePageToUnicode(TStronaKodowa::Cp1250, 0xB3), u'ł');
  EXPECT_EQ(CodePageToUnicode(TStronaKodowa::Cp1250, 0x9F), u'ź');
  EXPECT_EQ(CodePageToUnicode(TStronaKodowa::Cp1251, 0xC0), u'А');
  EXPECT_EQ(CodePageToUnicode(TStronaKodowa::Cp1251, 0xB8), u'ё');
  EXPECT_EQ(CodePageToUnicode(TStronaKodowa::Cp1252, 0xE9), u'é');
  EXPECT_EQ(CodePageToUnicode(TStronaKodowa::Cp1252, 0x41), u'A');
}

TEST(CodePages, EveryDefinedByteRoundTrips) {
  for (const auto cp : {TStronaKodowa::Cp1250, TStronaKodowa::Cp1251, TStronaKodowa::Cp1252}) {
    for (unsigned b = 0; b < 256; ++b) {
      const char16_t u = CodePageToUnicode(cp, static_cast<std::uint8_t>(b));
      EXPECT_EQ(UnicodeToCodePage(cp, u), static_cast<int>(b)) << b;
    }
  }
  EXPECT_EQ(UnicodeToCodePage(TStronaKodowa::Cp1250, U'Ж'), -1);
  EXPECT_EQ(UnicodeToCodePage(TStronaKodowa::Cp1251, U'ł'), -1);
}

TEST(Utf, EightBitTextRoundTripsThroughUtf8) {
  bool ok = false;
  const std::string polish = Utf8ToCodePage("Zażółć", TStronaKodowa::Cp1250, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(polish, std::string("Za\xBF\xF3\xB3\xE6"));
  EXPECT_EQ(CodePageToUtf8(polish, TStronaKodowa::Cp1250), "Zażółć");
  EXPECT_EQ(Utf8ToCodePage("Жук", TStronaKodowa::Cp1250, &ok), "???");
  EXPECT_FALSE(ok);
}

TEST(Utf, MalformedUtf8NeverReadsPastTheEnd) {
  bool ok = true;
  EXPECT_EQ(Utf8ToCodePage(std::string_view("\xC5", 1), TStronaKodowa::Cp1250, &ok), "?");
  EXPECT_FALSE(ok);
  EXPECT_EQ(Utf8ToCodePage("\xE2\x82", TStronaKodowa::Cp1250, &ok), "?");
  EXPECT_EQ(Utf8ToUtf16("a\xF0\x9F"), u"a\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\x80z"), u"\uFFFDz");
}

// An overlong form is malformed: it never becomes the character it spells, so no name hides a
// separator or folds into another name.
TEST(Utf, OverlongFormsAreMalformed) {
  EXPECT_EQ(Utf8ToUtf16("a\xC0\xAF"
                        "b"),
            u"a\uFFFDb");                                           // "/" in two bytes
  EXPECT_EQ(Utf8ToUtf16("\xE0\x81\x9C"), u"\uFFFD");                // "\\" in three
  EXPECT_EQ(Utf8ToUtf16("\xF0\x80\x81\xBE"), u"\uFFFD");            // ">" in four
  EXPECT_EQ(FoldCaseUtf8("\xFF\xC0\xBE\xD4"), "\xFF\xC0\xBE\xD4");  // kept as it is
  EXPECT_EQ(Utf8ToUtf16("\xC2\x80\xE0\xA0\x80\xF0\x90\x80\x80"),
            (TWideString{u'\u0080', u'\u0800', 0xD800, 0xDC00}));  // the least of each length
}

TEST(Utf, Utf16AndUtf8IncludingSurrogates) {
  const TWideString text = u"Пакет ł \U0001F600";
  EXPECT_EQ(Utf16ToUtf8(text), "Пакет ł \xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf16ToUtf8(TWideString(1, static_cast<char16_t>(0xD800))), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace orvala
