// 8-bit text operations shared by the wizard, the engine, the text table and the dialogs.
//
// Case is mapped by a fixed Windows-1250 table, never by the running system's locale, so that
// file names, paths and drive letters compare alike on every Windows installation. Russian texts
// are kept in a Latin storage form of Windows-1250 letters; ConvertFromStorageForm turns them
// into Windows-1251 just before they are widened for display. Positions are 1-based.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "textutil/untTekst.h"

namespace orvala {

// A set of byte values 0..255 naming a class of characters.
class ByteSet {
 public:
  constexpr ByteSet() = default;
  constexpr ByteSet(std::initializer_list<std::uint8_t> members) {
    for (const std::uint8_t b : members) {
      Add(b);
    }
  }
  constexpr ByteSet& Add(std::uint8_t b) {
    bits_[b >> 6] |= std::uint64_t{1} << (b & 63);
    return *this;
  }
  constexpr ByteSet& AddRange(std::uint8_t low, std::uint8_t high) {
    for (unsigned b = low; b <= high; ++b) {
      Add(static_cast<std::uint8_t>(b));
    }
    return *this;
  }
  constexpr bool Contains(std::uint8_t b) const { return (bits_[b >> 6] >> (b & 63)) & 1; }

 private:
  std::array<std::uint64_t, 4> bits_{};
};

namespace detail {

constexpr std::array<std::uint8_t, 256> MakeUpperTable() {
  std::array<std::uint8_t, 256> t{};
  for (unsigned b = 0; b < 256; ++b) {
    t[b] = static_cast<std::uint8_t>(b);
  }
  for (unsigned b = 'a'; b <= 'z'; ++b) {
    t[b] = static_cast<std::uint8_t>(b - 0x20);
  }
  constexpr std::uint8_t pairs[][2] = {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D},
                                       {0x9E, 0x8E}, {0x9F, 0x8F}, {0xB3, 0xA3},
                                       {0xB9, 0xA5}, {0xBA, 0xAA}, {0xBF, 0xAF}};
  for (const auto& p : pairs) {
    t[p[0]] = p[1];
  }
  for (unsigned b = 0xE0; b <= 0xFE; ++b) {
    if (b != 0xF7) {
      t[b] = static_cast<std::uint8_t>(b - 0x20);
    }
  }
  return t;
}

constexpr std::array<std::uint8_t, 256> MakeLowerTable() {
  const auto upper = MakeUpperTable();
  std::array<std::uint8_t, 256> t{};
  for (unsigned b = 0; b < 256; ++b) {
    t[b] = static_cast<std::uint8_t>(b);
  }
  for (unsigned b = 0; b < 256; ++b) {
    if (upper[b] != b) {
      t[upper[b]] = static_cast<std::uint8_t>(b);
    }
  }
  return t;
}

inline constexpr std::array<std::uint8_t, 256> kUpper1250 = MakeUpperTable();
inline constexpr std::array<std::uint8_t, 256> kLower1250 = MakeLowerTable();

// The Russian storage map: Windows-1250 storage bytes → Windows-1251 bytes.
constexpr std::array<std::uint8_t, 256> MakeRussianStorageMap() {
  std::array<std::uint8_t, 256> t{};
  for (unsigned b = 0; b < 256; ++b) {
    t[b] = static_cast<std::uint8_t>(b);
  }
  constexpr char latin[] = "ABVGDEZIJKLMNOPRSTUFHCY";
  constexpr std::uint8_t cyrillic[] = {0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC7, 0xC8,
                                       0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xD0,
                                       0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xDB};
  for (unsigned i = 0; i < 23; ++i) {
    const auto upper = static_cast<std::uint8_t>(latin[i]);
    t[upper] = cyrillic[i];
    t[upper + 0x20] = static_cast<std::uint8_t>(cyrillic[i] + 0x20);
  }
  constexpr std::uint8_t pairs[][2] = {
      {0x8E, 0xC6}, {0x9E, 0xE6},                              // Ž ž → Ж ж
      {0xC8, 0xD7}, {0xE8, 0xF7},                              // Č č → Ч ч
      {0x8A, 0xD8}, {0x9A, 0xF8},                              // Š š → Ш ш
      {0xAA, 0xD9}, {0xBA, 0xF9},                              // Ş ş → Щ щ
      {0xCC, 0xDD}, {0xCA, 0xDD}, {0xEC, 0xFD}, {0xEA, 0xFD},  // Ě Ę ě ę → Э э
      {0xDB, 0xDE}, {0xDC, 0xDE}, {0xFB, 0xFE}, {0xFC, 0xFE},  // Ű Ü ű ü → Ю ю
      {0xC2, 0xDF}, {0xC4, 0xDF}, {0xE2, 0xFF}, {0xE4, 0xFF},  // Â Ä â ä → Я я
      {0xCB, 0xA8}, {0xEB, 0xB8},                              // Ë ë → Ё ё
      {0xC1, 0xC0}, {0xC9, 0xC5}, {0xCD, 0xC8}, {0xD3, 0xCE}, {0xDA, 0xD3},
      {0xDD, 0xDB}, {0xE1, 0xE0}, {0xE9, 0xE5}, {0xED, 0xE8}, {0xF3, 0xEE},
      {0xFA, 0xF3}, {0xFD, 0xFB}, {0x24, 0xFA},  // $ → ъ
      {0x27, 0xFC},                              // ' → ь
  };
  for (const auto& p : pairs) {
    t[p[0]] = p[1];
  }
  return t;
}

// The French (second = false) or Italian (second = true) storage map.
constexpr std::array<std::uint8_t, 256> MakeRomanceStorageMap(bool italian) {
  std::array<std::uint8_t, 256> t{};
  for (unsigned b = 0; b < 256; ++b) {
    t[b] = static_cast<std::uint8_t>(b);
  }
  t[0xC1] = 0xC0;
  t[0xE1] = 0xE0;
  t[0xCC] = 0xC8;
  t[0xEC] = 0xE8;
  t[0xCD] = italian ? 0xCC : 0xCF;
  t[0xED] = italian ? 0xEC : 0xEF;
  t[0xD5] = 0xD2;
  t[0xF5] = 0xF2;
  t[0xDA] = 0xD9;
  t[0xFA] = 0xF9;
  return t;
}

inline constexpr std::array<std::uint8_t, 256> kRussianStorage = MakeRussianStorageMap();
inline constexpr std::array<std::uint8_t, 256> kFrenchStorage = MakeRomanceStorageMap(false);
inline constexpr std::array<std::uint8_t, 256> kItalianStorage = MakeRomanceStorageMap(true);

}  // namespace detail

constexpr std::uint8_t UpperChar1250(std::uint8_t b) {
  return detail::kUpper1250[b];
}
constexpr std::uint8_t LowerChar1250(std::uint8_t b) {
  return detail::kLower1250[b];
}
std::string UpperText1250(std::string_view text);
std::string LowerText1250(std::string_view text);

// A decimal number of ASCII digits that fills `text` whole and fits 64 bits: true and `value`
// set; false otherwise (empty, a sign, a space, any other character, too large).
bool ParseDecimal(std::string_view text, std::uint64_t& value);

// The storage byte `b` of a text in language `language`, in that language's own 8-bit letters.
constexpr std::uint8_t ConvertStorageByte(std::uint8_t b, LanguageId language) {
  switch (language) {
    case kJezykRosyjski:
      return detail::kRussianStorage[b];
    case kJezykFrancuski:
      return detail::kFrenchStorage[b];
    case kJezykWloski:
      return detail::kItalianStorage[b];
    default:
      return b;
  }
}
std::string ConvertFromStorageForm(std::string_view text, LanguageId language);

// From `position` (1-based) forwards, stops on the first byte that is in `set`. A position of
// 0 or less yields false and stays. When nothing is found the position ends at length + 1.
bool FindCharInSet(std::string_view text, int& position, const ByteSet& set);
bool IsCharInSetAt(const ByteSet& set, std::string_view text, int position);

constexpr bool InRange64(std::int64_t value, std::int64_t low, std::int64_t high) {
  return low <= value && value <= high;
}

}  // namespace orvala
