// Fuzzes the text conversions: widening and its inverse, the storage form, code pages, UTF-8 and
// UTF-16, and the Windows-1250 case mapping. Properties (on any bytes):
//  - WidenText gives one unit per byte, and NarrowText gives back bytes that widen the same;
//  - ConvertFromStorageForm keeps the length, and ConvertStoredText is it followed by WidenText;
//  - every byte string of Windows-1250, -1251 and -1252 survives the way to UTF-8 and back;
//  - UTF-16 survives the way to UTF-8 and back, unpaired surrogates becoming U+FFFD, and any
//    bytes read as UTF-8 turn into UTF-16 that then round-trips unchanged;
//  - upper and lower case of Windows-1250 undo each other and are idempotent.
//
// Input: a settings byte (bits 0-2 language, bit 3 languageCodePage, bit 4 NT platform,
// bits 5-7 start locale), then the text.
#include <cstdint>
#include <span>
#include <string>

#include "config/untInstalTeksty.h"
#include "textutil/untKodowanie.h"
#include "textutil/untUtils.h"
#include "untFuzzWspolne.h"

namespace {

using orvala::TWideString;
using orvala::fuzz::Check;

void Widening(const std::string& text, orvala::LanguageId language, bool codePage) {
  const TWideString wide = orvala::WidenText(text, language, codePage);
  Check(wide.size() == text.size(), "WidenText changed the length");
  Check(orvala::WidenText(orvala::NarrowText(wide, language, codePage), language, codePage) == wide,
        "NarrowText is not the inverse of WidenText");
  const std::string stored = orvala::ConvertFromStorageForm(text, language);
  Check(stored.size() == text.size(), "ConvertFromStorageForm changed the length");
  Check(orvala::ConvertStoredText(text, language, codePage) ==
            orvala::WidenText(stored, language, codePage),
        "ConvertStoredText is not the storage form widened");
}

void CodePages(const std::string& text) {
  for (const auto cp : {orvala::TStronaKodowa::Cp1250, orvala::TStronaKodowa::Cp1251,
                        orvala::TStronaKodowa::Cp1252}) {
    bool ok = true;
    Check(orvala::Utf8ToCodePage(orvala::CodePageToUtf8(text, cp), cp, &ok) == text && ok,
          "an 8-bit text did not survive UTF-8");
  }
}

void Unicode(const std::string& text) {
  // The bytes as UTF-16 units.
  TWideString units;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    units += static_cast<char16_t>(static_cast<std::uint8_t>(text[i]) |
                                   static_cast<std::uint8_t>(text[i + 1]) << 8);
  }
  TWideString expected = units;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const char16_t u = expected[i];
    const bool high = u >= 0xD800 && u < 0xDC00;
    const bool low = u >= 0xDC00 && u < 0xE000;
    if (high && i + 1 < expected.size() && expected[i + 1] >= 0xDC00 && expected[i + 1] < 0xE000) {
      ++i;  // a pair
    } else if (high || low) {
      expected[i] = 0xFFFD;
    }
  }
  Check(orvala::Utf8ToUtf16(orvala::Utf16ToUtf8(units)) == expected,
        "UTF-16 did not survive UTF-8");
  // The bytes as UTF-8: whatever they decode to must then round-trip.
  const TWideString decoded = orvala::Utf8ToUtf16(text);
  const std::string again = orvala::Utf16ToUtf8(decoded);
  Check(orvala::Utf8ToUtf16(again) == decoded, "decoded UTF-8 did not round-trip");
}

void CaseMapping(const std::string& text) {
  const std::string upper = orvala::UpperText1250(text);
  const std::string lower = orvala::LowerText1250(text);
  Check(upper.size() == text.size() && lower.size() == text.size(), "case mapping changed length");
  Check(orvala::UpperText1250(upper) == upper && orvala::LowerText1250(lower) == lower,
        "case mapping is not idempotent");
  Check(orvala::LowerText1250(upper) == lower && orvala::UpperText1250(lower) == upper,
        "upper and lower case do not undo each other");
}

orvala::fuzz::TZiarna Seeds() {
  using orvala::fuzz::Bytes;
  std::string all;
  for (unsigned b = 0; b < 256; ++b) {
    all += static_cast<char>(b);
  }
  return {
      {"polski", Bytes("\x10za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1")},
      {"rosyjski-przechowanie", Bytes("\x16Privet, $'\xC8\xE8\x8A\x9A%d%s")},
      {"strona-kodowa", Bytes("\x0E\xC0\xFF\xA8\xB8")},
      {"nie-nt", Bytes("\xA0\xB3\xD0\xF0\x27\x5E\x60")},
      {"francuski", Bytes("\x12\xC1\xE1\xCC\xEC\xCD\xED")},
      {"wszystkie", Bytes("\x10" + all)},
      {"utf8", Bytes("\x10\xD0\x9F\xC5\x82\xE2\x82\xAC\xF0\x9F\x98\x80\xC3")},
      {"zastepcze", Bytes("\x10\x00\xD8\x41\x00\x00\xDC\x3D\xD8\x00\xDE")},
  };
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  orvala::fuzz::WriteSeedsIfAsked(Seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 4096) {
    return 0;
  }
  const std::uint8_t settings = data[0];
  orvala::SetTextProcessState((settings & 16) != 0, static_cast<orvala::LanguageId>(settings >> 5));
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  Widening(text, static_cast<orvala::LanguageId>(settings & 7), (settings & 8) != 0);
  CodePages(text);
  Unicode(text);
  CaseMapping(text);
  return 0;
}
