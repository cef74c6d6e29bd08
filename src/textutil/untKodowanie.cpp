#include "textutil/untKodowanie.h"

namespace orvala {

namespace {

void AppendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

}  // namespace

std::string Utf8ToCodePage(std::string_view utf8, TStronaKodowa cp, bool* ok) {
  std::string out;
  out.reserve(utf8.size());
  bool all = true;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const int b = UnicodeToCodePage(cp, DecodeUtf8(utf8, pos));
    if (b < 0) {
      all = false;
      out += '?';
    } else {
      out += static_cast<char>(b);
    }
  }
  if (ok != nullptr) {
    *ok = all;
  }
  return out;
}

std::string CodePageToUtf8(std::string_view text, TStronaKodowa cp) {
  std::string out;
  out.reserve(text.size() * 2);
  for (const char c : text) {
    AppendUtf8(out, CodePageToUnicode(cp, static_cast<std::uint8_t>(c)));
  }
  return out;
}

std::string Utf16ToUtf8(const TWideString& text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      u = 0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      u = 0xFFFD;
    }
    AppendUtf8(out, u);
  }
  return out;
}

TWideString Utf8ToUtf16(std::string_view utf8) {
  TWideString out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t u = DecodeUtf8(utf8, pos);
    if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) {
      u = 0xFFFD;
    }
    if (u >= 0x10000) {
      u -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (u >> 10));
      out += static_cast<char16_t>(0xDC00 + (u & 0x3FF));
    } else {
      out += static_cast<char16_t>(u);
    }
  }
  return out;
}

}  // namespace orvala
