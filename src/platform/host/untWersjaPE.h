// File versions for the host stand-in: the VS_VERSIONINFO resource of a PE file, read the way
// GetFileVersionInfo and VerQueryValue present it, so that one file answers alike natively and on
// Windows.
//
// Divisions: locating the RT_VERSION resource in a PE image (headers, sections, the three-level
// resource directory); walking the version block tree; the FileVersion of the first translation.
// Every offset is checked against the image before it is used: any malformed file yields
// nullopt, never a read outside the buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvala::platform::host {

// The bytes of the first RT_VERSION resource of a PE image (as GetFileVersionInfo copies them).
std::optional<std::vector<std::uint8_t>> VersionResource(const std::vector<std::uint8_t>& image);

// The value of the block at `subBlock` ("\VarFileInfo\Translation", "\StringFileInfo\...\X")
// of a version resource, keys compared without regard to case, as VerQueryValue does. Text
// values come back as their UTF-16 bytes without the terminating NUL.
std::optional<std::vector<std::uint8_t>> QueryVersionValue(const std::vector<std::uint8_t>& info,
                                                           const std::string& subBlock);

// The "FileVersion" string of the first translation: "\VarFileInfo\Translation", then
// "\StringFileInfo\" + language and code page as "%.2x%.2x%.2x%.2x" (high byte first) +
// "\FileVersion". The text in Windows-1250.
std::optional<std::string> FirstTranslationFileVersion(const std::vector<std::uint8_t>& info);

// The "FileVersion" string of a whole PE image: its version resource read as above.
std::optional<std::string> ImageFileVersion(const std::vector<std::uint8_t>& image);

}  // namespace orvala::platform::host
