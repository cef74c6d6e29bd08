// The interface font face and the character sets the system offers for a face.
//
// The face ("Arial" or "Tahoma") is chosen once at start, before any window exists, by
// ChooseInterfaceFont: Arial, unless Arial lacks the East European character set and Tahoma
// has it. The character sets of a face come from Platform().FontCharsets (on Windows, font
// family enumeration on the desktop's device context).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace orvala {

inline constexpr const char* kCzcionkaArial = "Arial";
inline constexpr const char* kCzcionkaTahoma = "Tahoma";
// A face name holds at most this many bytes (LOGFONT's 32-byte field with its terminator).
inline constexpr std::size_t kMaksDlugoscNazwyCzcionki = 31;

// The process-wide interface font face ("Arial" until ChooseInterfaceFont runs).
const std::string& InterfaceFontFace();
// Sets the face (tests; the program uses ChooseInterfaceFont).
void SetInterfaceFontFace(const std::string& face);
// Chooses the interface font face as described above.
void ChooseInterfaceFont();

// The name of a Windows font character-set number ("EASTEUROPE_CHARSET"), or
// "Unknown charset <number>" for a number outside the table.
std::string CharsetName(int charset);
// Appends one name per character set the system offers for `face` (cut to 31 bytes), in the
// system's order, duplicates included; nothing for a face that is not installed.
void ListFontCharsets(const std::string& face, std::vector<std::string>& list);
// True when ListFontCharsets of `face` yields `charsetName` (compared without regard to case).
bool FontHasCharset(const std::string& face, const std::string& charsetName);

}  // namespace orvala
