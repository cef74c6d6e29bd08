// The text table's lookup: the widening tables of the code pages, the interface and locale
// languages, GetText, the %-formatting of texts, and the narrowing of UTF-16 texts back.
#include "config/untInstalTeksty.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "config/untInstalTekstyTabela.h"
#include "platform/untPlatforma.h"
#include "textutil/untKodowanie.h"
#include "textutil/untUtils.h"

namespace orvala {

namespace {

using TTablica = TTablicaPoszerzania;

constexpr std::array<TJezykInfo, 8> kJezyki = {{
    {0, TTablica::Srodkowoeuropejska, 238, 0},  // Polish
    {1, TTablica::Zachodnia, 238, 1},           // English
    {2, TTablica::Zachodnia, 0, 3},             // French
    {3, TTablica::Zachodnia, 238, 2},           // German
    {4, TTablica::Zachodnia, 0, 4},             // Italian
    {5, TTablica::Zachodnia, 0, 5},             // Spanish
    {6, TTablica::Cyrylica, 204, 6},            // Russian
    {0, TTablica::Srodkowoeuropejska, 238, 7},  // Hungarian (Polish texts)
}};

// The four widening tables: each byte becomes exactly one UTF-16 unit.
constexpr std::array<char16_t, 256> MakeCommonTable() {
  std::array<char16_t, 256> t{};
  for (unsigned b = 0; b < 256; ++b) {
    t[b] = static_cast<char16_t>(b);
  }
  constexpr std::pair<std::uint8_t, char16_t> special[] = {
      {0x27, 0x2032}, {0x5E, 0x2038}, {0x60, 0x2035}, {0x80, 0x20AC}, {0x82, 0x201A},
      {0x84, 0x201E}, {0x85, 0x2026}, {0x86, 0x2020}, {0x87, 0x2021}, {0x89, 0x2030},
      {0x8A, 0x0160}, {0x8B, 0x2039}, {0x8E, 0x017D}, {0x91, 0x2018}, {0x92, 0x2019},
      {0x93, 0x201C}, {0x94, 0x201D}, {0x95, 0x2022}, {0x96, 0x2013}, {0x97, 0x2014},
      {0x99, 0x2122}, {0x9A, 0x0161}, {0x9B, 0x203A}, {0x9E, 0x017E}, {0xA1, 0x00A1},
      {0xAA, 0x015E}, {0xB4, 0x00B4}, {0xBA, 0x015F}, {0xD0, 0x0110}, {0xF0, 0x0111},
      {0xFF, 0x02D9},
  };
  for (const auto& [b, u] : special) {
    t[b] = u;
  }
  return t;
}

constexpr std::array<char16_t, 256> MakeLanguageTable(TStronaKodowa cp,
                                                      std::initializer_list<std::uint8_t> own) {
  auto t = MakeCommonTable();
  for (const std::uint8_t b : own) {
    t[b] = CodePageToUnicode(cp, b);
  }
  for (unsigned b = 0xC0; b < 0x100; ++b) {
    t[b] = CodePageToUnicode(cp, static_cast<std::uint8_t>(b));
  }
  return t;
}

constexpr auto kWspolna = MakeCommonTable();
constexpr auto kZachodnia = MakeLanguageTable(TStronaKodowa::Cp1252, {0x8C, 0x9C, 0x9F});
constexpr auto kSrodkowoeuropejska =
    MakeLanguageTable(TStronaKodowa::Cp1250, {0x8A, 0x8C, 0x8E, 0x8F, 0x9A, 0x9C, 0x9E, 0x9F, 0xA1,
                                              0xA3, 0xA5, 0xAA, 0xAF, 0xB3, 0xB9, 0xBA, 0xBF});
constexpr auto kCyrylica = MakeLanguageTable(
    TStronaKodowa::Cp1251,
    {0x8C, 0x8F, 0x9C, 0x9F, 0xA3, 0xA5, 0xA8, 0xAF, 0xB3, 0xB4, 0xB8, 0xB9, 0xBF});

const std::array<char16_t, 256>& TableForSelector(LanguageId selector) {
  if (selector >= 1 && selector <= 5) {
    return kZachodnia;
  }
  if (selector == 0 || selector == 7) {
    return kSrodkowoeuropejska;
  }
  if (selector == 6) {
    return kCyrylica;
  }
  return kWspolna;
}

// The table WidenText uses: the language's own when `languageCodePage` is set or on an NT
// platform, else the start locale's.
LanguageId WideningSelector(LanguageId language, bool languageCodePage) {
  return (languageCodePage || IsNtPlatform()) ? language : StartLocaleLanguage();
}

using TTabelaTekstow = std::array<std::array<std::string_view, kLiczbaKolumn>, kLiczbaTekstow>;

const TTabelaTekstow& Table() {
  static const TTabelaTekstow table = [] {
    TTabelaTekstow t{};
    for (std::size_t i = 0; i < detail::kLiczbaWpisowTekstow; ++i) {
      const auto& entry = detail::kWpisyTekstow[i];
      t[static_cast<std::size_t>(entry.id - 1)] = entry.columns;
    }
    return t;
  }();
  return table;
}

struct TStanProcesu {
  bool isNt = true;
  LanguageId startLocale = kJezykPolski;
};
TStanProcesu gStan;

}  // namespace

const TJezykInfo& LanguageInfo(LanguageId language) {
  return language < kJezyki.size() ? kJezyki[language] : kJezyki[0];
}

std::string_view TextCell(int id, int column) {
  if (id < 1 || id > kLiczbaTekstow || column < 0 || column >= kLiczbaKolumn) {
    return {};
  }
  return Table()[static_cast<std::size_t>(id - 1)][static_cast<std::size_t>(column)];
}

bool IsNtPlatform() {
  return gStan.isNt;
}
LanguageId StartLocaleLanguage() {
  return gStan.startLocale;
}
void SetTextProcessState(bool isNtPlatform, LanguageId startLocaleLanguage) {
  gStan = {isNtPlatform, startLocaleLanguage};
}

LanguageId LocaleLanguageFromLcid(std::uint32_t lcid) {
  switch (lcid) {
    case 1031:
    case 2055:
    case 3079:
    case 4103:
    case 5127:
      return kJezykNiemiecki;
    case 1034:
    case 2058:
    case 3082:
      return kJezykHiszpanski;
    case 1036:
    case 2060:
    case 3084:
      return kJezykFrancuski;
    case 1040:
    case 2064:
      return kJezykWloski;
    case 1049:
      return kJezykRosyjski;
    default:
      return kJezykPolski;
  }
}

LanguageId LocaleLanguage() {
  return LocaleLanguageFromLcid(platform::Platform().ThreadLocale());
}

TWideString WidenText(std::string_view text, LanguageId language, bool languageCodePage) {
  const auto& table = TableForSelector(WideningSelector(language, languageCodePage));
  TWideString out;
  out.reserve(text.size());
  for (const char c : text) {
    out += table[static_cast<std::uint8_t>(c)];
  }
  return out;
}

TWideString ConvertStoredText(std::string_view text, LanguageId language, bool languageCodePage) {
  return WidenText(ConvertFromStorageForm(text, language), language, languageCodePage);
}

TWideString GetText(LanguageId language, int id, bool languageCodePage) {
  const unsigned low = language & 0x7F;
  const int column = (low >= 1 && low <= 6) ? static_cast<int>(low) : 0;
  std::string text(TextCell(id, column));
  if (language == kJezykRosyjski) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      const bool placeholder = i > 0 && text[i - 1] == '%' && (text[i] == 'd' || text[i] == 's');
      if (!placeholder) {
        text[i] = static_cast<char>(
            ConvertStorageByte(static_cast<std::uint8_t>(text[i]), kJezykRosyjski));
      }
    }
  }
  return WidenText(text, language, languageCodePage);
}

namespace {

// The inverse of a widening table: the byte of each UTF-16 unit the table yields (the lowest
// byte when two yield the same unit), sorted by unit for a binary search.
using TOdwrotna = std::array<std::pair<char16_t, std::uint8_t>, 256>;

TOdwrotna MakeInverse(const std::array<char16_t, 256>& table) {
  TOdwrotna inverse{};
  for (unsigned b = 0; b < 256; ++b) {
    inverse[b] = {table[b], static_cast<std::uint8_t>(b)};
  }
  std::sort(inverse.begin(), inverse.end());
  return inverse;
}

const TOdwrotna& InverseForSelector(LanguageId selector) {
  static const TOdwrotna zachodnia = MakeInverse(kZachodnia);
  static const TOdwrotna srodkowoeuropejska = MakeInverse(kSrodkowoeuropejska);
  static const TOdwrotna cyrylica = MakeInverse(kCyrylica);
  static const TOdwrotna wspolna = MakeInverse(kWspolna);
  const auto& table = TableForSelector(selector);
  return &table == &kZachodnia            ? zachodnia
         : &table == &kSrodkowoeuropejska ? srodkowoeuropejska
         : &table == &kCyrylica           ? cyrylica
                                          : wspolna;
}

// The longest width or precision the 8-bit path formats; a larger one is refused, so that no
// specifier can ask for an unbounded amount of padding.
constexpr long kNajwiekszaSzerokosc = 4096;

// A specifier of the 8-bit path after its '*' have been replaced: '%', an optional '-', an
// optional width, an optional '.' with a precision, and the conversion letter. Nothing else
// (no other flag, length modifier or conversion) is accepted.
struct TSpecyfikator {
  bool left = false;
  long width = -1;      // -1: none
  long precision = -1;  // -1: none
  char kind = 0;
};

std::optional<TSpecyfikator> ParseSpecifier(std::string_view spec) {
  if (spec.size() < 2 || spec.front() != '%') {
    return std::nullopt;
  }
  TSpecyfikator out;
  out.kind = spec.back();
  std::string_view body = spec.substr(1, spec.size() - 2);
  if (!body.empty() && body.front() == '-') {
    out.left = true;
    body.remove_prefix(1);
  }
  const auto number = [&](long& value) {
    if (body.empty() || body.front() < '0' || body.front() > '9') {
      return false;
    }
    value = 0;
    while (!body.empty() && body.front() >= '0' && body.front() <= '9') {
      value = value * 10 + (body.front() - '0');
      body.remove_prefix(1);
      if (value > kNajwiekszaSzerokosc) {
        return false;
      }
    }
    return true;
  };
  if (!body.empty() && body.front() != '.' && !number(out.width)) {
    return std::nullopt;
  }
  if (!body.empty() && body.front() == '.') {
    body.remove_prefix(1);
    out.precision = 0;
    if (!body.empty() && !number(out.precision)) {
      return std::nullopt;
    }
  }
  if (!body.empty()) {
    return std::nullopt;
  }
  return out;
}

// Pads `text` with blanks to the specifier's width.
std::string Padded(std::string text, const TSpecyfikator& spec) {
  if (spec.width > 0 && text.size() < static_cast<std::size_t>(spec.width)) {
    const std::string blanks(static_cast<std::size_t>(spec.width) - text.size(), ' ');
    text = spec.left ? text + blanks : blanks + text;
  }
  return text;
}

// Formats a number by a C format built from a checked specifier only.
template <typename T>
std::string Printed(const TSpecyfikator& spec, const char* conversion, T value) {
  std::string format = spec.left ? "%-" : "%";
  if (spec.width >= 0) {
    format += std::to_string(spec.width);
  }
  if (spec.precision >= 0) {
    format += '.';
    format += std::to_string(spec.precision);
  }
  format += conversion;
  const int n = std::snprintf(nullptr, 0, format.c_str(), value);
  if (n <= 0) {
    return {};
  }
  std::string out(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(out.data(), out.size(), format.c_str(), value);
  out.resize(static_cast<std::size_t>(n));
  return out;
}

// Formats one checked specifier with one argument, in 8 bits: integers (d, u, x), reals
// (e, f, g, n, m; an integer argument is taken as a real), pointers (p) and strings (s; a
// UTF-16 string is narrowed with the inverse of the widening table, so that WidenText gives
// its characters back). A missing argument, or one of another kind, formats as nothing.
std::string FormatOne(const TSpecyfikator& spec, const TArgument* argument, LanguageId language,
                      bool languageCodePage) {
  if (argument == nullptr) {
    return {};
  }
  const auto* integer = std::get_if<std::int64_t>(argument);
  const auto* real = std::get_if<double>(argument);
  switch (spec.kind) {
    case 'd':
      return integer != nullptr ? Printed(spec, "lld", static_cast<long long>(*integer))
                                : std::string{};
    case 'u':
      return integer != nullptr ? Printed(spec, "llu", static_cast<unsigned long long>(*integer))
                                : std::string{};
    case 'x':
      return integer != nullptr ? Printed(spec, "llX", static_cast<unsigned long long>(*integer))
                                : std::string{};
    case 'p':
      // A 32-bit address as eight hexadecimal digits, whatever the width.
      return integer != nullptr ? Printed(TSpecyfikator{}, "08llX",
                                          static_cast<unsigned long long>(*integer) & 0xFFFFFFFFull)
                                : std::string{};
    case 'e':
    case 'f':
    case 'g':
    case 'n':
    case 'm': {
      if (real == nullptr && integer == nullptr) {
        return {};
      }
      const double value = real != nullptr ? *real : static_cast<double>(*integer);
      TSpecyfikator c = spec;
      if (spec.kind == 'm' && spec.precision < 0) {
        c.precision = 2;
      }
      const char* conversion = spec.kind == 'e' ? "e" : spec.kind == 'g' ? "g" : "f";
      return Printed(c, conversion, value);
    }
    case 's': {
      std::string text;
      if (const auto* narrow = std::get_if<std::string>(argument)) {
        text = *narrow;
      } else if (const auto* wide = std::get_if<TWideString>(argument)) {
        text = NarrowText(*wide, language, languageCodePage);
      } else {
        return {};
      }
      if (spec.precision >= 0 && text.size() > static_cast<std::size_t>(spec.precision)) {
        text.resize(static_cast<std::size_t>(spec.precision));
      }
      return Padded(std::move(text), spec);
    }
    default:
      return {};
  }
}

bool IsSpecifierEnd(char16_t c) {
  switch (c) {
    case u'd':
    case u'e':
    case u'f':
    case u'g':
    case u'm':
    case u'n':
    case u'p':
    case u's':
    case u'u':
    case u'x':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string NarrowText(const TWideString& text, LanguageId language, bool languageCodePage) {
  const TOdwrotna& inverse = InverseForSelector(WideningSelector(language, languageCodePage));
  std::string out;
  out.reserve(text.size());
  for (const char16_t u : text) {
    const auto it =
        std::lower_bound(inverse.begin(), inverse.end(), std::pair<char16_t, std::uint8_t>{u, 0});
    out += (it != inverse.end() && it->first == u) ? static_cast<char>(it->second) : '?';
  }
  return out;
}

TWideString FormatText(const TWideString& format, std::initializer_list<TArgument> arguments,
                       bool languageCodePage, LanguageId language) {
  TWideString out;
  const TArgument* next = arguments.begin();
  const auto take = [&]() -> const TArgument* {
    return next != arguments.end() ? next++ : nullptr;
  };
  std::size_t pos = 0;
  while (pos < format.size()) {
    const std::size_t percent = format.find(u'%', pos);
    if (percent == TWideString::npos) {
      out.append(format, pos, TWideString::npos);
      break;
    }
    if (percent + 1 < format.size() && format[percent + 1] == u'%') {
      out.append(format, pos, percent + 1 - pos);
      pos = percent + 2;
      continue;
    }
    out.append(format, pos, percent - pos);
    std::size_t end = percent + 1;
    while (end < format.size() && !IsSpecifierEnd(format[end])) {
      ++end;
    }
    if (end == format.size()) {
      // A specifier that never closes is no specifier: the rest is plain text.
      out.append(format, percent, TWideString::npos);
      break;
    }
    const std::size_t specEnd = end + 1;
    const TWideString spec = format.substr(percent, specEnd - percent);
    if (spec == u"%s" && next != arguments.end() && std::holds_alternative<TWideString>(*next)) {
      out += std::get<TWideString>(*take());
    } else {
      // Each '*' takes the decimal value of an argument; a character the 8-bit path cannot
      // hold makes the specifier unusable.
      std::string spec8;
      for (const char16_t u : spec) {
        if (u == u'*') {
          const TArgument* star = take();
          const auto* value = star != nullptr ? std::get_if<std::int64_t>(star) : nullptr;
          spec8 += std::to_string(value != nullptr ? *value : 0);
        } else {
          spec8 += u < 0x80 ? static_cast<char>(u) : '\x01';
        }
      }
      const TArgument* argument = take();
      if (const std::optional<TSpecyfikator> checked = ParseSpecifier(spec8)) {
        out += WidenText(FormatOne(*checked, argument, language, languageCodePage), language,
                         languageCodePage);
      } else {
        // A specifier the 8-bit path cannot format safely stays in the text as written.
        out += spec;
      }
    }
    pos = specEnd;
  }
  return out;
}

}  // namespace orvala
