// A minimal 32-bit PE image (a resource-only DLL) with a VS_VERSIONINFO resource, made in memory
// so that the same bytes can be given to both platform implementations: the host reads the
// resource itself, Windows through GetFileVersionInfo and VerQueryValue.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvala::platform::testy {

struct TOpisWersji {
  std::string fileVersion = "5.81.4704.1100";  // the FileVersion string, ASCII
  std::uint16_t language = 0x0415;
  std::uint16_t codePage = 0x04E2;
  std::string tableKey;  // the StringTable key; empty: the pair in upper-case hex ("041504E2")
  bool withTranslation = true;  // a \VarFileInfo\Translation block
};

// The VS_VERSIONINFO block alone.
std::vector<std::uint8_t> VersionInfoBlock(const TOpisWersji& opis);
// A resource-only DLL carrying that block as resource 1 of RT_VERSION.
std::vector<std::uint8_t> ResourceOnlyDll(const TOpisWersji& opis);

}  // namespace orvala::platform::testy
