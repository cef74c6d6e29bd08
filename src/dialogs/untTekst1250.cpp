#include "dialogs/untTekst1250.h"

#include "textutil/untKodowanie.h"

namespace orvala {

TWideString Text1250ToWide(std::string_view text) {
  TWideString wide;
  wide.reserve(text.size());
  for (char c : text) {
    wide.push_back(CodePageToUnicode(TStronaKodowa::Cp1250, static_cast<std::uint8_t>(c)));
  }
  return wide;
}

std::string WideToText1250(const TWideString& text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (char16_t u : text) {
    const int b = UnicodeToCodePage(TStronaKodowa::Cp1250, u);
    narrow.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return narrow;
}

}  // namespace orvala
