#include "textutil/untUtilsEdytor.h"

#include <gtest/gtest.h>

#include <richedit.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "config/untCzcionki.h"
#include "config/untInstalTeksty.h"
#include "platform/host/untPlatformaHost.h"
#include "platform/untPlatformaAwarie.h"

namespace orvala {
namespace {

class TLicencja : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() / (std::string("orvala-red-") + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    host_.MapDrive('X', folder_, platform::TTypNapedu::Fixed);
    edit_ = ::CreateWindowExW(0, kKlasaRichEdit, L"", WS_POPUP | ES_MULTILINE | ES_READONLY, 0, 0,
                              300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit_, nullptr);
  }
  void TearDown() override {
    ::DestroyWindow(edit_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
    return "X:\\" + name;
  }
  std::u16string Text() const {
    GETTEXTLENGTHEX length{GTL_DEFAULT | GTL_NUMCHARS, 1200};
    const auto count =
        ::SendMessageW(edit_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    std::wstring buffer(static_cast<std::size_t>(count) + 64, L'\0');
    const auto got =
        ::SendMessageW(edit_, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return std::u16string(buffer.begin(), buffer.begin() + got);
  }
  // The control keeps line breaks as CR; WM_GETTEXT may give them back as CR or CR LF.
  static std::u16string OnlyCr(std::u16string text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
        continue;
      }
      out.push_back(text[i] == u'\n' ? u'\r' : text[i]);
    }
    return out;
  }

  platform::TPlatformaHost host_;
  platform::TZasiegPlatformy zasieg_{host_};
  std::filesystem::path folder_;
  HWND edit_ = nullptr;
};

TEST_F(TLicencja, PolishWindows1250KeepsItsLetters) {
  // "Umowa: zażółć gęślą jaźń ĄŁŻ" in Windows-1250, two lines.
  const std::string bytes =
      "Umowa:\r\nza\xBF\xF3\xB3\xE6 g\xEA\x9C"
      "l\xB9 ja\x9F\xF1 \xA5\xA3\xAF";
  EXPECT_TRUE(LoadPlainTextFile(edit_, Write("umowapol.txt", bytes), kJezykPolski));
  EXPECT_EQ(OnlyCr(Text()), u"Umowa:\rzażółć gęślą jaźń ĄŁŻ");
}

TEST_F(TLicencja, RussianWindows1251ShowsCyrillic) {
  // "Лицензия ёЁ" in Windows-1251.
  const std::string bytes = "\xCB\xE8\xF6\xE5\xED\xE7\xE8\xFF \xB8\xA8";
  EXPECT_TRUE(LoadPlainTextFile(edit_, Write("umowarus.txt", bytes), kJezykRosyjski));
  EXPECT_EQ(Text(), u"Лицензия ёЁ");
}

TEST_F(TLicencja, Utf16WithByteOrderMarkIsShownAsStored) {
  const std::u16string text = u"Zażółć\r\nЛицензия ←";
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  // Interface language Russian: the file's own characters, whatever the language.
  EXPECT_TRUE(LoadPlainTextFile(edit_, Write("u16.txt", bytes), kJezykRosyjski));
  EXPECT_EQ(OnlyCr(Text()), u"Zażółć\rЛицензия ←");
}

TEST_F(TLicencja, Utf16StartingAboveU2100IsReadAsEightBit) {
  // FF FE, then U+2190 (bytes 90 21): the fourth byte is above 0x20.
  const std::string bytes = "\xFF\xFE\x90\x21";
  EXPECT_TRUE(LoadPlainTextFile(edit_, Write("arrow.txt", bytes), kJezykPolski));
  EXPECT_EQ(Text(), WidenText(bytes, kJezykPolski, false));
  EXPECT_EQ(Text().size(), 4u);  // one unit per byte
}

TEST_F(TLicencja, Utf8AndBigEndianAreReadByteByByte) {
  const std::string utf8 = "\xEF\xBB\xBFza\xC5\xBC";  // BOM + "zaż"
  EXPECT_TRUE(LoadPlainTextFile(edit_, Write("utf8.txt", utf8), kJezykPolski));
  EXPECT_EQ(Text(), WidenText(utf8, kJezykPolski, false));
  EXPECT_EQ(Text().size(), utf8.size());

  const std::string bigEndian = std::string(
      "\xFE\xFF\x00"
      "A",
      4);
  EXPECT_TRUE(LoadPlainTextFile(edit_, Write("be.txt", bigEndian), kJezykPolski));
  // The NUL unit ends what the control shows; the two mark bytes come first.
  const std::u16string shown = Text();
  ASSERT_GE(shown.size(), 2u);
  EXPECT_EQ(shown.substr(0, 2), WidenText("\xFE\xFF", kJezykPolski, false));
}

TEST_F(TLicencja, ThreeByteFileIsEightBit) {
  const std::string bytes =
      "\xFF\xFE"
      "A";
  EXPECT_TRUE(LoadPlainTextFile(edit_, Write("short.txt", bytes), kJezykPolski));
  EXPECT_EQ(Text(), u"\u02D9\u0163A");  // 1250: FF is the dot above, FE t with cedilla
}

TEST_F(TLicencja, EmptyFileEmptiesTheControl) {
  ::SetWindowTextW(edit_, L"poprzednia");
  EXPECT_TRUE(LoadPlainTextFile(edit_, Write("empty.txt", ""), kJezykPolski));
  EXPECT_EQ(Text(), u"");
}

TEST_F(TLicencja, MissingFileLeavesTheControlAlone) {
  ::SetWindowTextW(edit_, L"poprzednia");
  EXPECT_FALSE(LoadPlainTextFile(edit_, "X:\\brak.txt", kJezykPolski));
  EXPECT_EQ(Text(), u"poprzednia");
}

TEST_F(TLicencja, ReadOrOpenErrorKeepsTheContent) {
  const std::string path = Write("umowapol.txt", "tekst umowy");
  platform::TPlatformaAwarie faults(host_);
  platform::TZasiegPlatformy scope(faults);
  ::SetWindowTextW(edit_, L"poprzednia");
  faults.FailNth(platform::TOperacja::Read, 1);
  EXPECT_FALSE(LoadPlainTextFile(edit_, path, kJezykPolski));
  EXPECT_EQ(Text(), u"poprzednia");
  faults.FailNth(platform::TOperacja::OpenRead, faults.Calls(platform::TOperacja::OpenRead) + 1);
  EXPECT_FALSE(LoadPlainTextFile(edit_, path, kJezykPolski));
  EXPECT_EQ(Text(), u"poprzednia");
  // The next load works again.
  EXPECT_TRUE(LoadPlainTextFile(edit_, path, kJezykPolski));
  EXPECT_EQ(Text(), u"tekst umowy");
}

TEST_F(TLicencja, RichTextIsNeverInterpreted) {
  const std::string bytes = "{\\rtf1 {\\b gruby}}";
  EXPECT_TRUE(LoadPlainTextFile(edit_, Write("rtf.txt", bytes), kJezykPolski));
  EXPECT_EQ(Text(), WidenText(bytes, kJezykPolski, false));
}

TEST_F(TLicencja, ReloadingReplacesTheText) {
  EXPECT_TRUE(LoadPlainTextFile(edit_, Write("a.txt", "pierwszy"), kJezykPolski));
  EXPECT_TRUE(LoadPlainTextFile(edit_, Write("b.txt", "drugi"), kJezykPolski));
  EXPECT_EQ(Text(), u"drugi");
}

TEST_F(TLicencja, RichEditFontTakesFaceAndCharset) {
  SetInterfaceFontFace(kCzcionkaTahoma);
  ApplyLanguageFontToRichEdit(edit_, kJezykRosyjski);
  SetInterfaceFontFace(kCzcionkaArial);
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  ::SendMessageW(edit_, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  EXPECT_EQ(std::wstring(format.szFaceName), L"Tahoma");
  EXPECT_EQ(format.bCharSet, 204);
  // The selection (an empty control: the insertion point) has them too.
  CHARFORMAT2W selection{};
  selection.cbSize = sizeof selection;
  ::SendMessageW(edit_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&selection));
  EXPECT_EQ(std::wstring(selection.szFaceName), L"Tahoma");
  EXPECT_EQ(selection.bCharSet, 204);
}

TEST(LanguageFont, KeepsHeightAndWeightAndIsShared) {
  LOGFONTW bold{};
  bold.lfHeight = -12;
  bold.lfWeight = FW_BOLD;
  ::lstrcpyW(bold.lfFaceName, L"Arial");
  HFONT base = ::CreateFontIndirectW(&bold);
  ASSERT_NE(base, nullptr);
  HFONT polish = LanguageFont(base, kJezykPolski);
  HFONT russian = LanguageFont(base, kJezykRosyjski);
  EXPECT_NE(polish, russian);
  EXPECT_EQ(LanguageFont(base, kJezykPolski), polish);     // one font per distinct result
  EXPECT_EQ(LanguageFont(russian, kJezykPolski), polish);  // switching back reuses it
  LOGFONTW got{};
  ASSERT_NE(::GetObjectW(russian, sizeof got, &got), 0);
  EXPECT_EQ(got.lfHeight, -12);
  EXPECT_EQ(got.lfWeight, FW_BOLD);
  EXPECT_EQ(got.lfCharSet, 204);
  EXPECT_EQ(std::wstring(got.lfFaceName), L"Arial");
  ::DeleteObject(base);
}

}  // namespace
}  // namespace orvala
