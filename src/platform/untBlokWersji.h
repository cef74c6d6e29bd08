// The sub-block names of a version resource that both platform implementations query.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace orvala::platform {

inline constexpr const char* kBlokTlumaczen = "\\VarFileInfo\\Translation";

// "\StringFileInfo\" + language (4 hex digits) + code page (4 hex digits) + "\FileVersion", each
// byte written with "%.2x", high byte first.
inline std::string FileVersionSubBlock(std::uint16_t language, std::uint16_t codePage) {
  char hex[9];
  std::snprintf(hex, sizeof hex, "%.2x%.2x%.2x%.2x", (language >> 8) & 0xFF, language & 0xFF,
                (codePage >> 8) & 0xFF, codePage & 0xFF);
  return std::string("\\StringFileInfo\\") + hex + "\\FileVersion";
}

}  // namespace orvala::platform
