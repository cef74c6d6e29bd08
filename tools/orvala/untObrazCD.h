// The CD image of a release: what `orvala cd-image` checks in a CD tree before it masters it,
// and the xorriso command line that masters it.
//
// The image is ISO 9660 level 3 with a Joliet tree, which is what Windows reads: names as they
// are (case kept, Polish and Cyrillic included), no Rock Ridge. The tree goes in as it is, less
// the names the image supplies itself at its root (the setup program as "Instalator.exe", an
// "autorun.inf" that starts it) and the folder-as-drive label files (".windows-label",
// ".windows-serial"), whose label the image carries as its volume label. Every time in the
// image is one fixed time and xorriso orders files itself, so the same input gives the same
// bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orvala::narzedzie {

// The most UTF-16 units a Joliet name carries (with xorriso's long-names compliance).
inline constexpr std::size_t kMaksJednostekNazwyJoliet = 103;
// The most characters of a volume label that Windows shows (the Joliet volume identifier).
inline constexpr std::size_t kMaksZnakowEtykiety = 16;
// The label of an image whose tree names none.
inline constexpr std::string_view kEtykietaDomyslna = "ORVALA";

// Why a name cannot go into the Joliet tree: empty when it can. The name is one path component
// in UTF-8; it must be valid UTF-8, carry at most 103 UTF-16 units, and hold no control
// character nor any of * / : ; ? \ (which Joliet does not allow).
std::string JolietNameProblem(std::string_view name);

// The volume label from `text` (the first line of the tree's ".windows-label" or --label):
// surrounding blanks and line breaks removed, ASCII letters upper-cased. Empty when the result
// is not 1 to 16 characters of A-Z, 0-9 and "_".
std::string VolumeLabel(std::string_view text);

// The autorun.inf of the image: starts Instalator.exe at the root, with its icon and the label.
std::string AutorunText(std::string_view label);

// A checked CD tree: the root entries the image replaces or leaves out, by their names on disk.
struct TDrzewoCD {
  std::vector<std::string> rootNamesLeftOut;
  std::string labelFileText;  // ".windows-label" of the root, empty when there is none
};

// Walks the tree. Empty when every entry can go into the image (`tree` filled); otherwise the
// one-line reason, naming the entry: a name Joliet cannot carry, a link, or something that is
// neither a file nor a folder.
std::string CheckCdTree(const std::filesystem::path& root, TDrzewoCD& tree);

// The fixed time of every date in the image: SOURCE_DATE_EPOCH when it holds a decimal number of
// seconds, else 2026-01-01 00:00:00 UTC.
std::int64_t ImageTime(const char* sourceDateEpoch);

// The xorriso arguments (without the program name) that write `out` from the tree, with `setup`
// as /Instalator.exe and `autorun` as /autorun.inf.
std::vector<std::string> XorrisoArguments(const std::filesystem::path& root, const TDrzewoCD& tree,
                                          const std::filesystem::path& setup,
                                          const std::filesystem::path& autorun,
                                          const std::filesystem::path& out,
                                          const std::string& label, std::int64_t time);

}  // namespace orvala::narzedzie
