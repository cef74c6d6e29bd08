// The one wrapper around <windows.h>: every Win32 source includes this instead. It also holds the
// one bridge between the program's UTF-16 texts and the wide-character functions.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif

#include <windows.h>

#include <cstddef>
#include <string>

#include "textutil/untTekst.h"

// The platform seam has methods of these names; the A/W-selecting macros would rename them in
// the files that see <windows.h>. Call the A or W function by its full name instead.
#undef CreateDirectory
#undef RemoveDirectory
#undef DeleteFile
#undef ReplaceFile
#undef SetFileAttributes

namespace orvala {

// The program's UTF-16 text as the wide-character functions take it, and back: TWideString and
// wchar_t text are the same 16-bit units on Windows.
inline const wchar_t* WideChars(const TWideString& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline TWideString FromWideChars(const wchar_t* text, std::size_t length) {
  const auto* units = reinterpret_cast<const char16_t*>(text);
  return TWideString(units, units + length);
}
inline TWideString FromWideChars(const wchar_t* text) {
  return TWideString(reinterpret_cast<const char16_t*>(text));
}
inline TWideString FromWideChars(const std::wstring& text) {
  return FromWideChars(text.data(), text.size());
}

}  // namespace orvala
