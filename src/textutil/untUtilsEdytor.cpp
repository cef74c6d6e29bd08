// Interface fonts on windows (one cached copy per font and language) and plain-text files in
// the licence's rich-text view.
#include "textutil/untUtilsEdytor.h"

#include <richedit.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/untCzcionki.h"
#include "config/untInstalTeksty.h"
#include "platform/untPlatforma.h"
#include "platform/win32/untBibliotekiSystemowe.h"
#include "platform/win32/untUchwyty.h"

namespace orvala {

namespace {

// --- Font cache ------------------------------------------------------------------------------

void DeleteFontObject(HFONT font) {
  ::DeleteObject(font);
}
using TCzcionka = std::unique_ptr<std::remove_pointer_t<HFONT>, decltype(&DeleteFontObject)>;

bool SameFont(const LOGFONTW& a, const LOGFONTW& b) {
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
         a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight &&
         a.lfItalic == b.lfItalic && a.lfUnderline == b.lfUnderline &&
         a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
         a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
         a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
         std::wcscmp(a.lfFaceName, b.lfFaceName) == 0;
}

struct TWpisCzcionki {
  LOGFONTW description;
  platform::win32::TUchwytCzcionki font;
};

std::vector<TWpisCzcionki>& FontCache() {
  static std::vector<TWpisCzcionki> cache;
  return cache;
}

// The interface face as a LOGFONT face name (ASCII names; at most 31 characters).
void SetFace(LOGFONTW& description) {
  const std::string& face = InterfaceFontFace();
  const std::size_t length = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
  for (std::size_t i = 0; i < length; ++i) {
    description.lfFaceName[i] = static_cast<wchar_t>(static_cast<unsigned char>(face[i]));
  }
  description.lfFaceName[length] = L'\0';
}

// --- Rich text -------------------------------------------------------------------------------

// Larger licence files are refused rather than allocated.
constexpr std::uint64_t kMaksRozmiarPliku = 16u * 1024u * 1024u;

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::unique_ptr<platform::TPlikPlatformy> file = platform::Platform().OpenRead(path);
  if (!file) {
    return false;
  }
  const std::optional<std::uint64_t> size = file->Size();
  if (!size || *size > kMaksRozmiarPliku) {
    return false;
  }
  bytes.assign(static_cast<std::size_t>(*size), '\0');
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    std::size_t got = 0;
    if (!file->Read(bytes.data() + filled, bytes.size() - filled, got)) {
      return false;
    }
    if (got == 0) {
      break;  // the file shrank while being read: keep what is there
    }
    filled += got;
  }
  bytes.resize(filled);
  return true;
}

// A UTF-16LE file with its byte-order mark: FF FE, and the fourth byte at most 0x20 (the first
// character below U+2100). A file shorter than four bytes is 8-bit text.
bool IsUtf16WithMark(const std::string& bytes) {
  return bytes.size() >= 4 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
         static_cast<unsigned char>(bytes[1]) == 0xFE &&
         static_cast<unsigned char>(bytes[3]) <= 0x20;
}

struct TStrumienTekstu {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t position;
};

DWORD CALLBACK StreamInCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* got) {
  auto* stream = reinterpret_cast<TStrumienTekstu*>(cookie);
  const std::size_t left = stream->size - stream->position;
  const std::size_t take =
      std::min<std::size_t>(left, static_cast<std::size_t>(std::max(count, 0L)));
  std::memcpy(buffer, stream->data + stream->position, take);
  stream->position += take;
  *got = static_cast<LONG>(take);
  return 0;
}

// Replaces the control's text by `text` (UTF-16LE units, no byte-order mark) in plain-text mode.
bool StreamPlainText(HWND richEdit, const TWideString& text) {
  ::SendMessageW(richEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  // Plain-text mode: the text is never read as rich text. The control accepts a mode change
  // only while it is empty.
  ::SendMessageW(richEdit, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE, 0);
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  TStrumienTekstu stream{bytes.data(), bytes.size(), 0};
  EDITSTREAM edit{};
  edit.dwCookie = reinterpret_cast<DWORD_PTR>(&stream);
  edit.pfnCallback = &StreamInCallback;
  ::SendMessageW(richEdit, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&edit));
  const bool ok = edit.dwError == 0;
  // Back to rich-text mode; the control takes it now only when the loaded text is empty, and
  // otherwise at the next load, which empties it first.
  ::SendMessageW(richEdit, EM_SETTEXTMODE, TM_RICHTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE, 0);
  return ok;
}

}  // namespace

HFONT LanguageFont(HFONT base, LanguageId language) {
  LOGFONTW description{};
  HGDIOBJ source =
      base != nullptr ? static_cast<HGDIOBJ>(base) : ::GetStockObject(DEFAULT_GUI_FONT);
  if (source == nullptr || ::GetObjectW(source, sizeof description, &description) == 0) {
    description = LOGFONTW{};
    description.lfHeight = -11;
    description.lfWeight = FW_NORMAL;
  }
  SetFace(description);
  description.lfCharSet = FontCharset(language);
  std::vector<TWpisCzcionki>& cache = FontCache();
  for (const TWpisCzcionki& entry : cache) {
    if (SameFont(entry.description, description)) {
      return entry.font.Get();
    }
  }
  HFONT font = ::CreateFontIndirectW(&description);
  if (font == nullptr) {
    return base;
  }
  cache.push_back({description, platform::win32::TUchwytCzcionki(font)});
  return font;
}

void ApplyLanguageFont(HWND window, LanguageId language) {
  if (window == nullptr) {
    return;
  }
  auto current = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
  HFONT font = LanguageFont(current, language);
  if (font != nullptr && font != current) {
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

void ApplyLanguageFontToDialog(HWND dialog, LanguageId language) {
  if (dialog == nullptr) {
    return;
  }
  auto dialogFont = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
  HFONT font = LanguageFont(dialogFont, language);
  if (font == nullptr) {
    return;
  }
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    auto childFont = reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0));
    if (childFont == dialogFont || childFont == nullptr) {
      ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
  }
  ::SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void ApplyLanguageFontToRichEdit(HWND richEdit, LanguageId language) {
  if (richEdit == nullptr) {
    return;
  }
  ApplyLanguageFont(richEdit, language);
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_FACE | CFM_CHARSET;
  format.bCharSet = FontCharset(language);
  const std::string& face = InterfaceFontFace();
  const std::size_t length = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
  for (std::size_t i = 0; i < length; ++i) {
    format.szFaceName[i] = static_cast<wchar_t>(static_cast<unsigned char>(face[i]));
  }
  ::SendMessageW(richEdit, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  ::SendMessageW(richEdit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

void ReleaseLanguageFonts() {
  FontCache().clear();
}

bool LoadRichEditLibrary() {
  // Loaded once; freed at exit, after every window is gone.
  static const platform::win32::TUchwytModulu module =
      platform::win32::LoadSystemLibrary(L"msftedit.dll");
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  return module && ::GetClassInfoExW(module.Get(), kKlasaRichEdit, &info) != FALSE;
}

bool LoadPlainTextFile(HWND richEdit, const std::string& path, LanguageId language) {
  if (!platform::Platform().FileExists(path)) {
    return false;
  }
  std::string bytes;
  const bool read = ReadWholeFile(path, bytes);
  if (read && IsUtf16WithMark(bytes)) {
    TWideString text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    StreamPlainText(richEdit, text);
    return true;  // a UTF-16 file counts as loaded, as the licence page expects
  }
  if (!read) {
    return false;  // the control keeps its content
  }
  // 8-bit text of the language: every byte becomes exactly one UTF-16 unit.
  return StreamPlainText(richEdit, WidenText(bytes, language, false));
}

}  // namespace orvala
