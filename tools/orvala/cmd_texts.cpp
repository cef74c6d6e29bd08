// orvala texts LANG: every non-empty message of a language as the installer shows it on an
// NT-family system, one line each: ID<TAB>TEXT, TEXT in UTF-8 with CR, LF, TAB and backslash
// written \r, \n, \t and \\.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "config/untInstalTeksty.h"
#include "textutil/untKodowanie.h"
#include "untPolecenia.h"

namespace orvala::narzedzie {

namespace {

std::string Escape(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    switch (c) {
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}

int RunTexts(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    return UsageError("texts takes one language number");
  }
  unsigned language = 0;
  const std::string& arg = args[0];
  const auto [end, error] = std::from_chars(arg.data(), arg.data() + arg.size(), language);
  if (error != std::errc() || end != arg.data() + arg.size() || language > 255) {
    return UsageError("bad language number: " + arg);
  }
  SetTextProcessState(true, kJezykPolski);
  for (int id = 1; id <= kLiczbaTekstow; ++id) {
    const TWideString text = GetText(static_cast<LanguageId>(language), id, false);
    if (!text.empty()) {
      std::printf("%d\t%s\n", id, Escape(Utf16ToUtf8(text)).c_str());
    }
  }
  return kWynikOk;
}

const TRejestracjaPolecenia kTexts({"texts", "texts LANG", RunTexts});

}  // namespace

}  // namespace orvala::narzedzie
