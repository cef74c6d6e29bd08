// Windows paths on the host: case folding of names, parsing of 8-bit and wide paths, and host
// names for Windows ones.
#include "platform/host/untSciezkaHost.h"

#include <array>
#include <system_error>

#include "platform/untPlatforma.h"
#include "textutil/untKodowanie.h"
#include "textutil/untUtils.h"

namespace orvala::platform::host {

namespace fs = std::filesystem;

// --- Case folding ------------------------------------------------------------------------------

char16_t FoldChar(char16_t c) {
  return static_cast<char16_t>(FoldCase(c));
}

bool EqualFolded(const TWideString& a, const TWideString& b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && FoldChar(a[i]) != FoldChar(b[i])) {
      return false;
    }
  }
  return true;
}

// --- Parsing -----------------------------------------------------------------------------------

namespace {

bool IsSeparator(char16_t c) {
  return c == u'\\' || c == u'/';
}

bool IsForbiddenInName(char16_t c) {
  return c < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || c == u'?' ||
         c == u'*';
}

std::optional<TSciezkaWin> ParseUtf16(const TWideString& p) {
  if (p.size() > kMaxPath || p.size() < 2 || p[1] != u':') {
    return std::nullopt;
  }
  const char16_t letter = FoldChar(p[0]);
  if (letter < u'a' || letter > u'z') {
    return std::nullopt;
  }
  TSciezkaWin out;
  out.drive = static_cast<char>('A' + (letter - u'a'));
  if (p.size() == 2) {
    return out;
  }
  if (!IsSeparator(p[2])) {
    return std::nullopt;  // "C:dir" is relative to the drive's current directory
  }
  TWideString name;
  const auto flush = [&]() -> bool {
    if (name.empty() || name == u".") {
    } else if (name == u"..") {
      if (!out.names.empty()) {
        out.names.pop_back();
      }
    } else {
      for (const char16_t c : name) {
        if (IsForbiddenInName(c)) {
          return false;
        }
      }
      out.names.push_back(name);
    }
    name.clear();
    return true;
  };
  for (std::size_t i = 3; i < p.size(); ++i) {
    if (IsSeparator(p[i])) {
      if (!flush()) {
        return std::nullopt;
      }
    } else {
      name += p[i];
    }
  }
  if (!flush()) {
    return std::nullopt;
  }
  out.trailingSeparator = !out.names.empty() && IsSeparator(p.back());
  return out;
}

}  // namespace

std::optional<TSciezkaWin> ParsePath(const std::string& path, TStronaKodowa cp, bool nt) {
  bool held = true;
  Utf8ToCodePage(path, nt ? TStronaKodowa::Utf8 : cp, &held);
  if (!held) {
    return std::nullopt;  // malformed, or beyond the code page of a non-NT system
  }
  return ParseUtf16(Utf8ToUtf16(path));
}

std::optional<TSciezkaWin> ParseWidePath(const TWideString& path) {
  return ParseUtf16(path);
}

// --- Host names ----------------------------------------------------------------------------------

fs::path PathFromUtf8(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const fs::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

std::string ListedName(const std::string& utf8, TStronaKodowa cp, bool nt) {
  return nt ? utf8 : CodePageToUtf8(Utf8ToCodePage(utf8, cp), cp);
}

// --- Resolution ----------------------------------------------------------------------------------

TRozwiazanie Resolve(const fs::path& root, const std::vector<TWideString>& names) {
  TRozwiazanie out{root, true};
  std::error_code ec;
  for (const TWideString& name : names) {
    const fs::path written = PathFromUtf8(Utf16ToUtf8(name));
    if (out.complete) {
      // The whole folder is scanned even when the name exists as written: on a host whose
      // file system ignores case itself, only the listing tells the name's real spelling.
      std::optional<fs::path> match;
      for (fs::directory_iterator it(out.path, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path candidate = it->path().filename();
        if (candidate == written) {
          match = candidate;
          break;
        }
        if (!match && EqualFolded(Utf8ToUtf16(Utf8FromPath(candidate)), name)) {
          match = candidate;
        }
      }
      ec.clear();
      if (match) {
        out.path /= *match;
        continue;
      }
      out.complete = false;
    }
    out.path /= written;
  }
  return out;
}

}  // namespace orvala::platform::host
