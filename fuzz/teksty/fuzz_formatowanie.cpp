// Fuzzes FormatText (and GetText feeding it). Properties:
//  - no crash, no access outside a buffer (ASan, UBSan), whatever the specifiers;
//  - the same input gives the same text (nothing depends on memory left by an earlier call);
//  - a text without '%' comes back unchanged, and the output stays within what the format, the
//    arguments and the largest width allow;
//  - a UTF-16 argument meeting "%<width>s", "%-<width>s" or "%.<precision>s" keeps every
//    character that the widening table can yield, padded or cut as the specifier says.
//
// Input: a settings byte (bits 0-2 language, 3 languageCodePage, 4 NT platform, 5-7 start
// locale), a mode byte, then by mode:
//   0: a format (16-bit LE count, then that many UTF-16 LE units) and up to six arguments,
//      each a tag byte (0 integer: 8 bytes, 1 8-bit string and 2 UTF-16 string: a count byte
//      and the units, 3 real: 8 bytes);
//   1: a width/precision byte, a form byte (0 "%Ns", 1 "%-Ns", 2 "%.Ns") and 8-bit text that
//      is widened into the argument;
//   2: a language byte and a 16-bit text id: GetText's text formatted with mode 0's arguments.
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "config/untInstalTeksty.h"
#include "untFuzzWspolne.h"

namespace {

using orvala::TArgument;
using orvala::TWideString;
using orvala::fuzz::Check;
using orvala::fuzz::TBajty;
using orvala::fuzz::TCzytnik;

TWideString Units(TCzytnik& r, std::size_t count) {
  TWideString out;
  for (std::size_t i = 0; i < count && !r.AtEnd(); ++i) {
    out += static_cast<char16_t>(r.U16());
  }
  return out;
}

std::vector<TArgument> Arguments(TCzytnik& r) {
  std::vector<TArgument> out;
  while (!r.AtEnd() && out.size() < 6) {
    switch (r.U8() % 4) {
      case 0: {
        const std::uint64_t v = r.U32() | static_cast<std::uint64_t>(r.U32()) << 32;
        out.emplace_back(static_cast<std::int64_t>(v));
        break;
      }
      case 1: {
        const TBajty b = r.Take(r.U8());
        out.emplace_back(std::string(b.begin(), b.end()));
        break;
      }
      case 2:
        out.emplace_back(Units(r, r.U8()));
        break;
      default: {
        const std::uint64_t v = r.U32() | static_cast<std::uint64_t>(r.U32()) << 32;
        double d = 0;
        std::memcpy(&d, &v, sizeof d);
        out.emplace_back(d);
        break;
      }
    }
  }
  out.resize(6, TArgument(std::int64_t{0}));
  return out;
}

TWideString Format(const TWideString& format, const std::vector<TArgument>& a, bool codePage,
                   orvala::LanguageId language) {
  return orvala::FormatText(format, {a[0], a[1], a[2], a[3], a[4], a[5]}, codePage, language);
}

std::size_t Length(const TArgument& a) {
  if (const auto* s = std::get_if<std::string>(&a)) {
    return s->size();
  }
  if (const auto* w = std::get_if<TWideString>(&a)) {
    return w->size();
  }
  return 0;
}

void CheckFormat(const TWideString& format, const std::vector<TArgument>& arguments, bool codePage,
                 orvala::LanguageId language) {
  const TWideString first = Format(format, arguments, codePage, language);
  const TWideString second = Format(format, arguments, codePage, language);
  Check(first == second, "the same input formatted twice differs");
  if (format.find(u'%') == TWideString::npos) {
    Check(first == format, "a text without '%' changed");
  }
  // Each specifier yields at most its width or precision (4096) plus what a number or an
  // argument brings (a real with 4096 decimals has at most 310 digits before the point).
  std::size_t argumentUnits = 0;
  for (const TArgument& a : arguments) {
    argumentUnits += Length(a);
  }
  const std::size_t percents =
      static_cast<std::size_t>(std::count(format.begin(), format.end(), u'%'));
  Check(first.size() <= format.size() + percents * (2 * 4096 + 400 + argumentUnits),
        "the output is longer than the format and its arguments allow");
}

void CheckWideArgument(TCzytnik& r, bool codePage, orvala::LanguageId language) {
  const unsigned n = r.U8();
  const unsigned form = r.U8() % 3;
  const TBajty bytes = r.Rest();
  const TWideString argument =
      orvala::WidenText(std::string(bytes.begin(), bytes.end()), language, codePage);
  const std::u16string number(u"%" + std::u16string(form == 1 ? u"-" : form == 2 ? u"." : u""));
  TWideString format = number;
  for (const char c : std::to_string(n)) {
    format += static_cast<char16_t>(c);
  }
  format += u's';
  TWideString expected = argument;
  if (form == 2 && expected.size() > n) {
    expected.resize(n);
  }
  if (form != 2 && expected.size() < n) {
    const TWideString blanks(n - expected.size(), u' ');
    expected = form == 1 ? expected + blanks : blanks + expected;
  }
  Check(orvala::FormatText(format, {argument}, codePage, language) == expected,
        "a UTF-16 argument lost characters through a width or precision");
}

orvala::fuzz::TZiarna Seeds() {
  auto format = [](std::uint8_t settings, const std::u16string& text, const TBajty& arguments) {
    TBajty out{settings, 0};
    orvala::fuzz::PutLe(out, static_cast<std::uint32_t>(text.size()), 2);
    for (const char16_t u : text) {
      orvala::fuzz::PutLe(out, u, 2);
    }
    out.insert(out.end(), arguments.begin(), arguments.end());
    return out;
  };
  const TBajty integer = {0, 42, 0, 0, 0, 0, 0, 0, 0};
  const TBajty minus = {0, 0xFC, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  const TBajty text8 = {1, 3, 'a', 0xB3, 'c'};
  const TBajty text16 = {2, 2, 0x2F, 0x04, 0x37, 0x04};
  const TBajty real = {3, 0, 0, 0, 0, 0, 0, 0x04, 0x40};
  const auto join = orvala::fuzz::Concat;
  return {
      {"krok", format(0x10, u"Krok %d z %d: %s", join({integer, integer, text16}))},
      {"procenty", format(0x10, u"100%% %s", text8)},
      {"szerokosc", format(0x10, u"[%5d|%-3d|%x|%u]", join({integer, minus, integer, minus}))},
      {"gwiazdka", format(0x10, u"[%*d|%-*d|%.*s]", join({integer, integer, minus, integer}))},
      {"rzeczywiste", format(0x10, u"%.1f %e %g %n %m", join({real, real, real, real, real}))},
      {"wskaznik", format(0x10, u"%p", integer)},
      {"szeroki-8bit", format(0x16, u"[%-8s]", text16)},
      {"zly-c", format(0x10, u"[%c%s]", text8)},
      {"zly-S", format(0x10, u"[%Ss]", text16)},
      {"zly-l", format(0x10, u"[%ld|%#x|%5000d]", join({integer, integer, integer}))},
      {"bez-konca", format(0x10, u"tail %5", {})},
      {"bez-argumentow", format(0x10, u"%d and %s", {})},
      {"strona-kodowa", format(0x08 | 0x06, u"%s", text8)},
      {"nie-nt", format(0xC0 | 0x00, u"%s %3s", join({text8, text8}))},
      {"poszerzony", {0x16, 1, 8, 1, 0xDF, 0xE7, 0xFB, 0x27}},
      {"przyciety", {0x10, 1, 2, 2, 0xB3, 0xB9, 0xBF}},
      {"tekst", {0x10, 2, 6, 21, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0}},
  };
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  orvala::fuzz::WriteSeedsIfAsked(Seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 4096) {
    return 0;
  }
  TCzytnik r(std::span(data, size));
  const std::uint8_t settings = r.U8();
  const auto language = static_cast<orvala::LanguageId>(settings & 7);
  const bool codePage = (settings & 8) != 0;
  orvala::SetTextProcessState((settings & 16) != 0, static_cast<orvala::LanguageId>(settings >> 5));
  switch (r.U8() % 3) {
    case 0: {
      const TWideString format = Units(r, r.U16());
      CheckFormat(format, Arguments(r), codePage, language);
      break;
    }
    case 1:
      CheckWideArgument(r, codePage, language);
      break;
    default: {
      const auto textLanguage = static_cast<orvala::LanguageId>(r.U8());
      const int id = static_cast<std::int16_t>(r.U16());
      CheckFormat(orvala::GetText(textLanguage, id, codePage), Arguments(r), codePage, language);
      break;
    }
  }
  return 0;
}
