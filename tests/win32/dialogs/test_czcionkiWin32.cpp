// The interface font choice on the real font enumeration. The harness prefix maps "Arial" to its
// stand-in made from Liberation Sans (character sets 0 161 162 186 204 238) and has no "Tahoma".
#include "config/untCzcionki.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/untPlatformaWin32.h"

namespace orvala {
namespace {

class TCzcionkiWin32 : public ::testing::Test {
 protected:
  void TearDown() override { SetInterfaceFontFace(kCzcionkaArial); }
  platform::TPlatformaWin32 win32_;
  platform::TZasiegPlatformy zasieg_{win32_};
};

TEST_F(TCzcionkiWin32, MissingFaceListsNothing) {
  std::vector<std::string> list;
  ListFontCharsets("Orvala No Such Face", list);
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(FontHasCharset("Orvala No Such Face", "ANSI_CHARSET"));
}

TEST_F(TCzcionkiWin32, ArialOffersTheSetsOfLiberationSans) {
  std::vector<std::string> list;
  ListFontCharsets("Arial", list);
  std::sort(list.begin(), list.end());
  list.erase(std::unique(list.begin(), list.end()), list.end());
  EXPECT_EQ(list,
            (std::vector<std::string>{"ANSI_CHARSET", "BALTIC_CHARSET", "EASTEUROPE_CHARSET",
                                      "GREEK_CHARSET", "RUSSIAN_CHARSET", "TURKISH_CHARSET"}));
  EXPECT_TRUE(FontHasCharset("Arial", "easteurope_charset"));
}

TEST_F(TCzcionkiWin32, ChoosesArialWhereArialHasTheEastEuropeanSet) {
  SetInterfaceFontFace(kCzcionkaTahoma);
  ChooseInterfaceFont();
  EXPECT_EQ(InterfaceFontFace(), "Arial");
}

}  // namespace
}  // namespace orvala
