// Conversions between UTF-8, UTF-16 and the 8-bit code pages, and the case folding of names.
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
  if (cp == TStronaKodowa::Utf8) {
    const std::string out = Utf16ToUtf8(Utf8ToUtf16(utf8));
    if (ok != nullptr) {
      *ok = out == utf8;
    }
    return out;
  }
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
  if (cp == TStronaKodowa::Utf8) {
    return Utf16ToUtf8(Utf8ToUtf16(text));
  }
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

namespace {

// In [first, last], every second character from `first` is the upper case of the one after it.
constexpr bool PairFromEven(char32_t c, char32_t first, char32_t last) {
  return c >= first && c <= last && (c - first) % 2 == 0;
}

}  // namespace

char32_t FoldCase(char32_t c) {
  if (c < 0x80) {
    return (c >= U'A' && c <= U'Z') ? c + 0x20 : c;
  }
  if ((c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) || (c >= 0x0391 && c <= 0x03AB && c != 0x03A2) ||
      (c >= 0x0410 && c <= 0x042F) || (c >= 0xFF21 && c <= 0xFF3A)) {
    return c + 0x20;
  }
  if (c >= 0x0400 && c <= 0x040F) {
    return c + 0x50;
  }
  if (c >= 0x0531 && c <= 0x0556) {
    return c + 0x30;
  }
  switch (c) {
    case 0x0130:  // İ
      return U'i';
    case 0x0178:  // Ÿ
      return 0x00FF;
    case 0x01C4:
    case 0x01C5:
      return 0x01C6;
    case 0x01C7:
    case 0x01C8:
      return 0x01C9;
    case 0x01CA:
    case 0x01CB:
      return 0x01CC;
    case 0x01F1:
    case 0x01F2:
      return 0x01F3;
    case 0x0386:
      return 0x03AC;
    case 0x038C:
      return 0x03CC;
    case 0x038E:
    case 0x038F:
      return c + 0x3F;
    case 0x04C0:
      return 0x04CF;
    default:
      break;
  }
  if (c >= 0x0388 && c <= 0x038A) {
    return c + 0x25;
  }
  if (PairFromEven(c, 0x0100, 0x012F) || PairFromEven(c, 0x0132, 0x0137) ||
      PairFromEven(c, 0x014A, 0x0177) || PairFromEven(c, 0x01DE, 0x01EF) ||
      PairFromEven(c, 0x01F4, 0x01F5) || PairFromEven(c, 0x01F8, 0x021F) ||
      PairFromEven(c, 0x0222, 0x0233) || PairFromEven(c, 0x0246, 0x024F) ||
      PairFromEven(c, 0x03D8, 0x03EF) || PairFromEven(c, 0x0460, 0x0481) ||
      PairFromEven(c, 0x048A, 0x04BF) || PairFromEven(c, 0x04D0, 0x052F) ||
      PairFromEven(c, 0x1E00, 0x1E95) || PairFromEven(c, 0x1EA0, 0x1EFF) ||
      PairFromEven(c, 0x0139, 0x0148) || PairFromEven(c, 0x0179, 0x017E) ||
      PairFromEven(c, 0x01CD, 0x01DC) || PairFromEven(c, 0x04C1, 0x04CE)) {
    return c + 1;
  }
  return c;
}

std::string FoldCaseUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::size_t start = pos;
    const char32_t u = DecodeUtf8(utf8, pos);
    if (u > 0x10FFFF) {
      out.append(utf8.substr(start, pos - start));
    } else {
      AppendUtf8(out, FoldCase(u));
    }
  }
  return out;
}

}  // namespace orvala
