// Basic text types shared by every layer.
//
// 8-bit texts are std::string (Windows-1250 unless said otherwise; paths are in the system's
// ANSI code page); texts for display are UTF-16 in TWideString, on every toolchain (wchar_t is
// 32-bit natively, so it is not used).
#pragma once

#include <cstdint>
#include <string>

namespace orvala {

using TWideString = std::u16string;

// Interface language identifier; per-language constants live in config/untInstalTeksty.h.
using LanguageId = std::uint8_t;

inline constexpr LanguageId kJezykPolski = 0;
inline constexpr LanguageId kJezykAngielski = 1;
inline constexpr LanguageId kJezykFrancuski = 2;
inline constexpr LanguageId kJezykNiemiecki = 3;
inline constexpr LanguageId kJezykWloski = 4;
inline constexpr LanguageId kJezykHiszpanski = 5;
inline constexpr LanguageId kJezykRosyjski = 6;
inline constexpr LanguageId kJezykWegierski = 7;

}  // namespace orvala
