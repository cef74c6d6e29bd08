// The multilingual text table and its lookup, widening and formatting.
//
// Every visible text of the installer is a message id (1..320) of one constant table with one
// column per language group. GetText turns (language, id) into UTF-16: the Russian column goes
// through ConvertFromStorageForm first, and every byte becomes one UTF-16 unit through the
// language's widening table. FormatText fills "%s", "%d" and friends into a looked-up text.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

#include "textutil/untTekst.h"

namespace orvala {

inline constexpr int kLiczbaTekstow = 320;
inline constexpr int kLiczbaKolumn = 7;
inline constexpr unsigned char kZnacznikNieprzetlumaczony = 0xD7;  // "×" before a Polish text

// Widening table of a language.
enum class TTablicaPoszerzania : std::uint8_t { Wspolna, Zachodnia, Srodkowoeuropejska, Cyrylica };

struct TJezykInfo {
  std::uint8_t column;           // text-table column
  TTablicaPoszerzania widening;  // widening table
  std::uint8_t fontCharset;      // Windows font character set
  std::uint8_t flagImage;        // index into the flag image list
};

// Constants of `language` (0..7); languages above 7 get Polish column and tables.
const TJezykInfo& LanguageInfo(LanguageId language);
inline std::uint8_t FontCharset(LanguageId language) {
  return LanguageInfo(language).fontCharset;
}
inline int FlagImageIndex(LanguageId language) {
  return LanguageInfo(language).flagImage;
}

// The stored 8-bit cell (id 1..320, column 0..6); empty outside the table.
std::string_view TextCell(int id, int column);

// Process-wide state, set once at start (SetTextProcessState) and settable by tests.
bool IsNtPlatform();
LanguageId StartLocaleLanguage();
void SetTextProcessState(bool isNtPlatform, LanguageId startLocaleLanguage);

// The interface language of a thread locale identifier (German, Spanish, French, Italian and
// Russian locales give their own language; every other locale gives Polish).
LanguageId LocaleLanguageFromLcid(std::uint32_t lcid);
// The language of the calling thread's locale (asks the platform).
LanguageId LocaleLanguage();

TWideString WidenText(std::string_view text, LanguageId language, bool languageCodePage);
// The inverse of WidenText with the same table: each UTF-16 unit becomes the byte that widens
// to it, '?' when no byte does. WidenText(NarrowText(w)) == w for every w the table can yield.
std::string NarrowText(const TWideString& text, LanguageId language, bool languageCodePage);
TWideString ConvertStoredText(std::string_view text, LanguageId language, bool languageCodePage);
TWideString GetText(LanguageId language, int id, bool languageCodePage);

// A tagged argument of FormatText: an integer, an 8-bit string, a UTF-16 string or a real.
using TArgument = std::variant<std::int64_t, std::string, TWideString, double>;

// Fills the arguments into `format`: "%%" is one '%'; a specifier runs from '%' to the next of
// d e f g m n p s u x (the rest is plain text when none follows). A bare "%s" with a UTF-16
// argument takes it unchanged; every other specifier is formatted in 8 bits (each '*' taking an
// integer argument as its value) and widened. Only '-', a width and a precision (each at most
// 4096) may stand between '%' and the letter: any other specifier ("%c%s", "%S...", "%ld")
// stays in the text as written. A missing argument, or one of another kind, gives nothing.
TWideString FormatText(const TWideString& format, std::initializer_list<TArgument> arguments,
                       bool languageCodePage, LanguageId language);

}  // namespace orvala
