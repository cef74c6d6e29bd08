#include "config/untCzcionki.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/host/untPlatformaHost.h"

namespace orvala {
namespace {

using Names = std::vector<std::string>;

class TCzcionki : public ::testing::Test {
 protected:
  void SetUp() override { SetInterfaceFontFace(kCzcionkaArial); }
  void TearDown() override { SetInterfaceFontFace(kCzcionkaArial); }
  platform::TPlatformaHost host_;
  platform::TZasiegPlatformy zasieg_{host_};
};

TEST(CharsetName, TableNamesAndUnknownNumbers) {
  const std::vector<std::pair<int, std::string>> table = {
      {0, "ANSI_CHARSET"},          {1, "DEFAULT_CHARSET"},      {2, "SYMBOL_CHARSET"},
      {128, "SHIFTJIS_CHARSET"},    {129, "HANGEUL_CHARSET"},    {134, "GB2312_CHARSET"},
      {136, "CHINESEBIG5_CHARSET"}, {255, "OEM_CHARSET"},        {130, "JOHAB_CHARSET"},
      {177, "HEBREW_CHARSET"},      {178, "ARABIC_CHARSET"},     {161, "GREEK_CHARSET"},
      {162, "TURKISH_CHARSET"},     {163, "VIETNAMESE_CHARSET"}, {222, "THAI_CHARSET"},
      {238, "EASTEUROPE_CHARSET"},  {204, "RUSSIAN_CHARSET"},    {77, "MAC_CHARSET"},
      {186, "BALTIC_CHARSET"}};
  for (const auto& [number, name] : table) {
    EXPECT_EQ(CharsetName(number), name) << number;
  }
  EXPECT_EQ(CharsetName(200), "Unknown charset 200");
  EXPECT_EQ(CharsetName(-1), "Unknown charset -1");
  EXPECT_EQ(CharsetName(3), "Unknown charset 3");
}

TEST_F(TCzcionki, ListAppendsInSystemOrderWithDuplicates) {
  host_.SetFontCharsets("Arial", {204, 0, 238, 200, 0});
  Names list{"kept"};
  ListFontCharsets("Arial", list);
  EXPECT_EQ(list, (Names{"kept", "RUSSIAN_CHARSET", "ANSI_CHARSET", "EASTEUROPE_CHARSET",
                         "Unknown charset 200", "ANSI_CHARSET"}));
}

TEST_F(TCzcionki, MissingFaceListsNothing) {
  Names list;
  ListFontCharsets("No Such Face", list);
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(FontHasCharset("No Such Face", "ANSI_CHARSET"));
}

TEST_F(TCzcionki, LongFaceNamesAreCutTo31Bytes) {
  const std::string face31(31, 'F');
  host_.SetFontCharsets(face31, {238});
  Names list;
  ListFontCharsets(face31 + "extra", list);
  EXPECT_EQ(list, Names{"EASTEUROPE_CHARSET"});
}

TEST_F(TCzcionki, HasCharsetIgnoresCase) {
  host_.SetFontCharsets("Tahoma", {0, 238});
  EXPECT_TRUE(FontHasCharset("Tahoma", "easteurope_charset"));
  EXPECT_TRUE(FontHasCharset("Tahoma", "EastEurope_Charset"));
  EXPECT_FALSE(FontHasCharset("Tahoma", "RUSSIAN_CHARSET"));
  EXPECT_FALSE(FontHasCharset("Tahoma", "EASTEUROPE"));
}

TEST_F(TCzcionki, ArialWhenItHasTheEastEuropeanSet) {
  host_.SetFontCharsets("Arial", {0, 161, 162, 186, 204, 238});
  host_.SetFontCharsets("Tahoma", {0, 238});
  SetInterfaceFontFace(kCzcionkaTahoma);  // a previous choice does not stick
  ChooseInterfaceFont();
  EXPECT_EQ(InterfaceFontFace(), "Arial");
}

TEST_F(TCzcionki, TahomaWhenOnlyItHasTheEastEuropeanSet) {
  host_.SetFontCharsets("Arial", {0, 204});
  host_.SetFontCharsets("Tahoma", {0, 162, 178, 204, 238});
  ChooseInterfaceFont();
  EXPECT_EQ(InterfaceFontFace(), "Tahoma");
}

TEST_F(TCzcionki, ArialWhenNeitherHasIt) {
  host_.SetFontCharsets("Arial", {0});
  host_.SetFontCharsets("Tahoma", {0, 204});
  ChooseInterfaceFont();
  EXPECT_EQ(InterfaceFontFace(), "Arial");
  host_.SetFontCharsets("Arial", {});
  host_.SetFontCharsets("Tahoma", {});
  ChooseInterfaceFont();
  EXPECT_EQ(InterfaceFontFace(), "Arial");
}

}  // namespace
}  // namespace orvala
