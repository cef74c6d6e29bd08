// Fuzzes the host layer's Windows path parser and its case folding. Properties:
//  - a parsed path has a drive A-Z and names that are neither empty, "." nor "..", and hold no
//    character Windows refuses in names; a path longer than 260 characters is refused;
//  - the 8-bit parser and the UTF-16 parser agree on the same path (widened from Windows-1250);
//  - writing a parsed path out again ("X:\name\name") and parsing that gives the same parts;
//  - folding is idempotent, EqualFolded is reflexive and symmetric, and a name equals its
//    folded form.
//
// Input: a mode byte (bit 0: the rest is UTF-16 LE units; otherwise 8-bit Windows-1250), then
// the path; after a 0xFF 0xFE pair, a second name to compare with the first path's text.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/host/untSciezkaHost.h"
#include "platform/untPlatforma.h"
#include "textutil/untKodowanie.h"
#include "untFuzzWspolne.h"

namespace {

using orvala::TWideString;
using orvala::fuzz::Check;
using orvala::platform::host::EqualFolded;
using orvala::platform::host::FoldChar;
using orvala::platform::host::ParsePath;
using orvala::platform::host::ParseWidePath;
using orvala::platform::host::TSciezkaWin;

bool Forbidden(char16_t c) {
  return c < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || c == u'?' ||
         c == u'*' || c == u'\\' || c == u'/';
}

bool Same(const TSciezkaWin& a, const TSciezkaWin& b) {
  return a.drive == b.drive && a.names == b.names && a.trailingSeparator == b.trailingSeparator;
}

void CheckParsed(const TWideString& text, const std::optional<TSciezkaWin>& parsed) {
  if (!parsed) {
    return;
  }
  Check(text.size() <= orvala::platform::kMaxPath, "a path longer than the limit was parsed");
  Check(parsed->drive >= 'A' && parsed->drive <= 'Z', "a drive outside A-Z");
  Check(!parsed->trailingSeparator || !parsed->names.empty(), "a root with a trailing separator");
  TWideString again(1, static_cast<char16_t>(parsed->drive));
  again += u":\\";
  for (std::size_t i = 0; i < parsed->names.size(); ++i) {
    const TWideString& name = parsed->names[i];
    Check(!name.empty() && name != u"." && name != u"..", "an empty, '.' or '..' name");
    for (const char16_t c : name) {
      Check(!Forbidden(c), "a name with a character Windows refuses");
    }
    again += name;
    if (i + 1 < parsed->names.size() || parsed->trailingSeparator) {
      again += u'\\';
    }
  }
  const std::optional<TSciezkaWin> reparsed = ParseWidePath(again);
  Check(reparsed && Same(*reparsed, *parsed), "a path written out again parses differently");
}

void CheckFolding(const TWideString& a, const TWideString& b) {
  TWideString folded;
  for (const char16_t c : a) {
    const char16_t f = FoldChar(c);
    Check(FoldChar(f) == f, "folding is not idempotent");
    folded += f;
  }
  Check(EqualFolded(a, a), "EqualFolded is not reflexive");
  Check(EqualFolded(a, folded), "a name differs from its folded form");
  Check(EqualFolded(a, b) == EqualFolded(b, a), "EqualFolded is not symmetric");
}

orvala::fuzz::TZiarna Seeds() {
  using orvala::fuzz::Bytes;
  auto wide = [](const std::u16string& text) {
    orvala::fuzz::TBajty out{1};
    for (const char16_t u : text) {
      orvala::fuzz::PutLe(out, u, 2);
    }
    return out;
  };
  return {
      {"zwykla", Bytes(std::string("\x00", 1) + "C:\\Program Files\\Orvala\\Orvatr.exe")},
      {"kropki", Bytes(std::string("\x00", 1) + "d:\\a\\.\\b\\..\\..\\..\\c\\\\d\\")},
      {"polskie", Bytes(std::string("\x00", 1) + "C:\\Za\xBF\xF3\xB3\xE6\\\xA3\xA5\xAF\xFF\xFE"
                                                 "\xB3\xB9\xBF")},
      {"wzgledna", Bytes(std::string("\x00", 1) + "C:dir\\plik")},
      {"unc", Bytes(std::string("\x00", 1) + "\\\\serwer\\udzial")},
      {"zakazane", Bytes(std::string("\x00", 1) + "C:\\a<b>\\c?*|\"")},
      {"rdzen", Bytes(std::string("\x00", 1) + "z:")},
      {"dluga", Bytes(std::string("\x00", 1) + "C:\\" + std::string(300, 'x'))},
      {"cyrylica", wide(u"C:\\Программы\\Орвала\\Ёлка\\ЀЏѐџ")},
      {"ukosniki", wide(u"E:/a/b\\c/")},
  };
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  orvala::fuzz::WriteSeedsIfAsked(Seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 2048) {
    return 0;
  }
  orvala::fuzz::TCzytnik r(std::span(data + 1, size - 1));
  const orvala::fuzz::TBajty first = r.Until(0xFF);
  const orvala::fuzz::TBajty second = r.Rest();
  TWideString text;
  TWideString other;
  if ((data[0] & 1) != 0) {
    for (std::size_t i = 0; i + 1 < first.size(); i += 2) {
      text += static_cast<char16_t>(first[i] | first[i + 1] << 8);
    }
    for (std::size_t i = 0; i + 1 < second.size(); i += 2) {
      other += static_cast<char16_t>(second[i] | second[i + 1] << 8);
    }
    CheckParsed(text, ParseWidePath(text));
  } else {
    // The bytes read as Windows-1250, handed to the 8-bit parser in UTF-8 as the seam holds
    // paths.
    const std::string path = orvala::CodePageToUtf8(std::string(first.begin(), first.end()),
                                                    orvala::TStronaKodowa::Cp1250);
    for (const std::uint8_t b : first) {
      text += orvala::CodePageToUnicode(orvala::TStronaKodowa::Cp1250, b);
    }
    for (const std::uint8_t b : second) {
      other += orvala::CodePageToUnicode(orvala::TStronaKodowa::Cp1250, b);
    }
    const std::optional<TSciezkaWin> narrow = ParsePath(path, orvala::TStronaKodowa::Cp1250, true);
    const std::optional<TSciezkaWin> wide = ParseWidePath(text);
    Check(narrow.has_value() == wide.has_value() && (!narrow || Same(*narrow, *wide)),
          "the 8-bit and the UTF-16 parser disagree");
    CheckParsed(text, narrow);
  }
  CheckFolding(text, other);
  return 0;
}
