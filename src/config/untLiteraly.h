// Readable UTF-8 text literals turned into the program's 8-bit forms at compile time.
//
//   TXT_1250("Wstęp")      Windows-1250 (Polish texts, names and paths)
//   TXT_1252("Intro")      Windows-1252 (Western columns of the text table)
//   TXT_RU("Введение")     the Latin storage form of Russian texts (Windows-1250 letters that
//                          ConvertFromStorageForm turns back into Windows-1251 Cyrillic)
//
// A character that the target form cannot carry stops the compilation. The storage form has
// no room for Latin letters other than Q, W and X (the others stand for Cyrillic ones), for
// the apostrophe and "$" (soft and hard sign) nor for capital hard and soft signs; "%d" and "%s"
// are kept, since the text lookup restores the letter after a percent sign.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "textutil/untKodowanie.h"
#include "textutil/untUtils.h"

namespace orvala::literaly {

template <std::size_t N>
struct TLiteralUtf8 {
  char8_t text[N]{};
  consteval TLiteralUtf8(const char8_t (&s)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
      text[i] = s[i];
    }
  }
};

template <std::size_t N>
struct TBajty {
  char bytes[N]{};
  std::size_t length = 0;
  constexpr std::string_view View() const { return {bytes, length}; }
};

enum class TForma { Cp1250, Cp1252, Storage };

// Called only when a literal holds a character its form cannot carry: not constexpr, so the
// compiler reports the literal as an error.
void LiteralHoldsACharacterItsFormCannotCarry();

// The storage byte that ConvertFromStorageForm turns into Windows-1251 byte `cyrillic`.
consteval int StorageByteFor(std::uint8_t cyrillic) {
  for (unsigned s = 0; s < 256; ++s) {
    if (s != cyrillic && detail::kRussianStorage[s] == cyrillic) {
      return static_cast<int>(s);
    }
  }
  return -1;
}

template <TForma F, std::size_t N>
consteval TBajty<N> Encode(const TLiteralUtf8<N>& literal) {
  TBajty<N> out;
  const std::basic_string_view<char8_t> s(literal.text, N - 1);
  bool afterPercent = false;
  for (std::size_t pos = 0; pos < s.size();) {
    const char32_t u = DecodeUtf8(s, pos);
    int b = -1;
    if constexpr (F == TForma::Cp1250) {
      b = UnicodeToCodePage(TStronaKodowa::Cp1250, u);
    } else if constexpr (F == TForma::Cp1252) {
      b = UnicodeToCodePage(TStronaKodowa::Cp1252, u);
    } else {
      const int c = UnicodeToCodePage(TStronaKodowa::Cp1251, u);
      const bool cyrillicLetter = (u >= 0x0410 && u <= 0x044F) || u == 0x0401 || u == 0x0451;
      if (cyrillicLetter) {
        b = StorageByteFor(static_cast<std::uint8_t>(c));
      } else if (afterPercent && (u == 'd' || u == 's')) {
        b = static_cast<int>(u);
      } else if (c >= 0 && detail::kRussianStorage[static_cast<std::size_t>(c)] == c) {
        b = c;  // digits, blanks, punctuation: stored as they stand
      }
    }
    if (b < 0) {
      LiteralHoldsACharacterItsFormCannotCarry();
    }
    afterPercent = (u == '%');
    out.bytes[out.length++] = static_cast<char>(b);
  }
  return out;
}

template <TForma F, TLiteralUtf8 S>
inline constexpr auto kZakodowany = Encode<F>(S);

}  // namespace orvala::literaly

#define TXT_1250(s) \
  (::orvala::literaly::kZakodowany<::orvala::literaly::TForma::Cp1250, u8##s>.View())
#define TXT_1252(s) \
  (::orvala::literaly::kZakodowany<::orvala::literaly::TForma::Cp1252, u8##s>.View())
#define TXT_RU(s) \
  (::orvala::literaly::kZakodowany<::orvala::literaly::TForma::Storage, u8##s>.View())
