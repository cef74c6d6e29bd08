// The edition descriptor: every edition-specific name, file, key and list of the setup program.
//
// One source serves twelve editions. Per-edition tables hold one entry per edition in edition
// order 1..12 (edition e at index e - 1); language-keyed tables one entry per LanguageId 0..7;
// row tables carry a set of the editions each row applies to. Strings are Windows-1250 unless a
// field says "storage form" (Russian texts, turned into Cyrillic by ConvertStoredText). An empty
// string means "none". This build fills the row of edition 10; the rows of the other editions
// are not part of it and stay empty.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

#include "textutil/untTekst.h"

namespace orvala {

// A set of edition numbers 0..255: bit n, counted from the lowest bit of the first byte,
// stands for edition n.
class TZbiorEdycji {
 public:
  constexpr TZbiorEdycji() = default;
  constexpr TZbiorEdycji(std::initializer_list<int> editions) {
    for (const int e : editions) {
      bytes_[static_cast<std::size_t>(e) >> 3] |= static_cast<std::uint8_t>(1u << (e & 7));
    }
  }
  constexpr bool Contains(int edition) const {
    return edition >= 0 && edition < 256 &&
           ((bytes_[static_cast<std::size_t>(edition) >> 3] >> (edition & 7)) & 1) != 0;
  }
  constexpr const std::array<std::uint8_t, 32>& Bytes() const { return bytes_; }

 private:
  std::array<std::uint8_t, 32> bytes_{};
};

// Shortcut placement flags of TSkrotData.
inline constexpr std::uint8_t kSkrotPulpitTranslatory = 0x01;  // desktop, translators option
inline constexpr std::uint8_t kSkrotPulpitSlowniki = 0x02;     // desktop, dictionaries option
inline constexpr std::uint8_t kSkrotGrupa = 0x04;              // Start-menu group

struct TSkrotData {
  std::uint8_t flags;  // kSkrot* bits
  TZbiorEdycji editions;
  std::uint8_t languages;  // bit n: the row serves interface language n
  std::string_view file;   // relative to the target directory
  std::string_view title;  // shortcut name, storage form of the row's language
};

struct TDLLData {  // COM component to register
  TZbiorEdycji editions;
  std::string_view file;
};

struct TPluginData {  // word-processor add-in
  TZbiorEdycji editions;
  std::uint8_t disabled;   // the row applies only when it is 0
  std::uint8_t languages;  // bit n = LanguageId n
  std::string_view templateFile;
};

struct TPatchData {  // edition patch list
  TZbiorEdycji editions;
  std::string_view listFile;
  std::string_view patchedFile;
};

struct TWersjaSpecjalna {  // a later build of a program file, from one or two resources
  std::string_view file;
  std::string_view resourceA;
  std::string_view resourceB;  // may be empty
};

inline constexpr int kLiczbaKluczyKomponentow = 8;
inline constexpr int kLiczbaWersjiSpecjalnych = 27;

struct TOpisEdycji {
  std::string_view productKey;
  std::string_view uninstallKeyName;
  std::array<std::string_view, kLiczbaKluczyKomponentow> componentKeys;
  std::string_view homeTitle;                  // Windows-1250
  std::string_view editionTitle;               // storage form of the edition language
  std::array<std::string_view, 8> groupNames;  // per LanguageId; 6 in storage form
  std::string_view programFolder;
  std::string_view mainProgramFile;
  std::array<std::string_view, 3> mainProgramResources;  // parts A, B, C
  std::string_view uninstallerFile;
  std::string_view versionString;
  std::string_view ownExclusions;
  std::string_view dictionaryFiles;
  bool fontFlag;
  std::string_view homeDisplayName;       // uninstall entry, Windows-1250
  std::string_view editionDisplayName;    // uninstall entry, storage form
  std::string_view publisher;             // uninstall entry: the maker, as the product key names it
  bool noModify;                          // uninstall entry: no change of the installation
  bool noRepair;                          // uninstall entry: no repair offered
  int conversionKind;                     // 0: no conversion of a previous version's data
  std::array<int, 4> specialVersionRows;  // 1-based rows of the special-versions table; 0 = none
};

// The descriptor of edition `edition` (1..12); an all-empty one for any other number.
const TOpisEdycji& EditionDescriptor(int edition);
// The descriptor of the active edition.
const TOpisEdycji& ActiveEditionDescriptor();

// Licence file of a language, looked up in the source directory ("umowapol.txt", ...).
std::string_view LicenceFile(LanguageId language);
// Start-menu group name of the active edition for a language (storage form for Russian).
std::string_view GroupName(LanguageId language);

// Row `row` (1..27) of the special-versions table; an empty row outside that range.
const TWersjaSpecjalna& SpecialVersion(int row);

// The row tables, whole, and the rows that hold `edition`, in table order.
std::span<const TSkrotData> ShortcutTable();
std::span<const TDLLData> ComComponentTable();
std::span<const TPluginData> WordAddInTable();
std::span<const TPatchData> PatchListTable();

template <typename Row>
std::vector<const Row*> RowsForEdition(std::span<const Row> table, int edition) {
  std::vector<const Row*> rows;
  for (const Row& row : table) {
    if (row.editions.Contains(edition)) {
      rows.push_back(&row);
    }
  }
  return rows;
}

}  // namespace orvala
