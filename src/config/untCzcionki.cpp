// The interface font face (chosen once at start) and the character sets the system offers for
// a face, by name.
#include "config/untCzcionki.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "platform/untPlatforma.h"
#include "textutil/untUtils.h"

namespace orvala {

namespace {

std::string& Face() {
  static std::string face = kCzcionkaArial;
  return face;
}

struct TNazwaZestawu {
  int number;
  std::string_view name;
};

// Searched in this order; the first match names the number.
constexpr std::array<TNazwaZestawu, 19> kNazwyZestawow{{
    {0, "ANSI_CHARSET"},          {1, "DEFAULT_CHARSET"},      {2, "SYMBOL_CHARSET"},
    {128, "SHIFTJIS_CHARSET"},    {129, "HANGEUL_CHARSET"},    {134, "GB2312_CHARSET"},
    {136, "CHINESEBIG5_CHARSET"}, {255, "OEM_CHARSET"},        {130, "JOHAB_CHARSET"},
    {177, "HEBREW_CHARSET"},      {178, "ARABIC_CHARSET"},     {161, "GREEK_CHARSET"},
    {162, "TURKISH_CHARSET"},     {163, "VIETNAMESE_CHARSET"}, {222, "THAI_CHARSET"},
    {238, "EASTEUROPE_CHARSET"},  {204, "RUSSIAN_CHARSET"},    {77, "MAC_CHARSET"},
    {186, "BALTIC_CHARSET"},
}};

constexpr const char* kEastEurope = "EASTEUROPE_CHARSET";

}  // namespace

const std::string& InterfaceFontFace() {
  return Face();
}

void SetInterfaceFontFace(const std::string& face) {
  Face() = face;
}

void ChooseInterfaceFont() {
  Face() = kCzcionkaArial;
  if (!FontHasCharset(kCzcionkaArial, kEastEurope) &&
      FontHasCharset(kCzcionkaTahoma, kEastEurope)) {
    Face() = kCzcionkaTahoma;
  }
}

std::string CharsetName(int charset) {
  for (const TNazwaZestawu& entry : kNazwyZestawow) {
    if (entry.number == charset) {
      return std::string(entry.name);
    }
  }
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "Unknown charset %d", charset);
  return buffer;
}

void ListFontCharsets(const std::string& face, std::vector<std::string>& list) {
  const std::string name = face.substr(0, kMaksDlugoscNazwyCzcionki);
  for (int charset : platform::Platform().FontCharsets(name)) {
    list.push_back(CharsetName(charset));
  }
}

bool FontHasCharset(const std::string& face, const std::string& charsetName) {
  std::vector<std::string> list;
  ListFontCharsets(face, list);
  const std::string wanted = LowerText1250(charsetName);
  for (const std::string& name : list) {
    if (LowerText1250(name) == wanted) {
      return true;
    }
  }
  return false;
}

}  // namespace orvala
