// The wizard's decisions that need no window: the start language, the effective 8-bit
// language, the page model with its button states, the product title, the megabyte figures of
// the options page, the default target directory and the target checks that Next performs on
// the options page. TfrmMain (untMain) and its pages (untStrona*) call these and only move their
// results into controls.
//
// Everything that touches files goes through the process-wide platform (Platform()), so the
// whole unit runs natively against the host platform in the unit tests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/untDziennikPrzebiegu.h"
#include "engine/untSciezki.h"
#include "textutil/untTekst.h"

namespace orvala {

// Pages of the wizard, 1-based as the step caption counts them.
inline constexpr int kStronaWstep = 1;
inline constexpr int kStronaUmowa = 2;
inline constexpr int kStronaOpcje = 3;
inline constexpr int kStronaInstalacja = 4;
inline constexpr int kStronaKoniec = 5;
inline constexpr int kLiczbaStron = 5;

// Start language: the locale's language when it is the edition language; otherwise the edition
// language when the build prefers it, else the home language.
LanguageId ChooseStartLanguage(LanguageId localeLanguage, LanguageId homeLanguage,
                               LanguageId editionLanguage, bool preferEditionLanguage);

// The language used where only an 8-bit string is possible (task-bar title, uninstall name):
// `language` itself when it is the start locale's language; otherwise the edition language when
// the start locale's language is the edition language, else the home language. For an edition
// whose language is not Russian it is always `language`.
LanguageId EffectiveEightBitLanguage(LanguageId language, LanguageId startLocaleLanguage,
                                     LanguageId homeLanguage, LanguageId editionLanguage);

// Text id of a page's step name (22, 23, 25, 26, 27); 0 outside 1..5.
int StepNameTextId(int page);

// The page that ShowPage(delta) moves to, or nothing when the switch has no effect (busy, or
// the target outside 1..5).
std::optional<int> PageSwitchTarget(int currentPage, int delta, bool busy);

// Button states of a page as ShowPage leaves them.
struct TStanPrzyciskow {
  bool nextEnabled;
  bool backEnabled;
  int closeTextId;  // 5 "Zamknij", 8 "Przerwij" (page 4), 7 "Zakończ" (page 5)
};
TStanPrzyciskow PageButtons(int page, bool licenceAccepted);

// The step caption of a page: text 21 filled with the page, the page count and the step name.
TWideString StepCaption(LanguageId language, int page);

// Text id of the end page: 161 success, 163 cancelled, 162 failure.
int EndPageTextId(bool success, bool cancelled);

// The product title in a language: the home title for the home language, the edition title
// (storage form) for every other language, made readable for that language.
TWideString ProductTitle(LanguageId language, bool languageCodePage);

// Bytes as megabytes with the pattern "#,##0.0 MB": floating-point division by 1,048,576, one
// decimal rounded half away from zero, the integer part grouped by three with `thousands`.
TWideString FormatMegabytes(std::int64_t bytes, const TWideString& thousands,
                            const TWideString& decimal);

// Program Files + "\" + the program folder; "C:" when the Program Files value is empty.
std::string DefaultTargetDirectory(const std::string& programFiles, std::string_view programFolder);

// The free-space figures of the options page.
struct TMiejsceNaDysku {
  std::int64_t freeBytes = 0;      // 0 when the query fails
  std::int64_t requiredBytes = 0;  // tree size less excluded names + kRezerwaProgramuGlownego
  bool enough = false;
};
// Required space of the source tree (without trailing backslash) for the dictionaries choice,
// and the free space of the volume that holds the target (NearestExistingFolder).
TMiejsceNaDysku MeasureSpace(const std::string& sourceWithoutBackslash,
                             const std::string& targetDirectory, bool installDictionaries);

// The artwork drawn for a system DPI: the side picture and the flags exist at 96 dpi, 1.5 times
// and twice as large. Above 96 dpi the next larger set is taken and shrunk to fit (a picture
// shrunk a little stays sharper than one enlarged): up to 144 dpi the 1.5 set, above it the
// double one.
enum class TSkalaGrafiki { Pojedyncza, Poltorej, Podwojna };
TSkalaGrafiki ArtworkForDpi(int dpi);

// Creates `path` and every missing parent directory. True when it exists as a directory after.
bool CreateDirectoryWithParents(const std::string& path);

// The questions SprawdzOpcje may ask.
enum class TPytanieOpcji {
  ZaMaloMiejsca,     // text 129, yes/no; the answer is the result
  NieMoznaUtworzyc,  // text 130, information; the result is ignored
  NiepelnaSciezka,   // text 317, information: not a full folder path Windows keeps as written
  ZaDlugaSciezka,    // text 318, information: the package's files would not fit below it
};

// The target checks of Next on the options page: the directory must exist or be creatable (with
// its parents), and too little space needs a Yes. On success a directory that did not exist
// before is journalled as created (only the directory itself, not its parents): the run's
// first entry.
// `enoughSpace` re-runs the free-space check; `ask` shows a question and returns true for Yes.
bool CheckTargetDirectory(const std::string& targetDirectory,
                          const std::function<bool()>& enoughSpace,
                          const std::function<bool(TPytanieOpcji)>& ask,
                          TDziennikPrzebiegu& journal);
// The same checks for the target the options page holds (its 8-bit form, which the page refuses
// by itself when the chosen name has none). Before anything is created: a target that is not a
// full folder path as Windows keeps it (IsFullFolderPath) is refused with text 317; one below
// which the medium's files (`longest`, LongestRelativePaths) would pass the lengths Windows' path
// functions take, with text 318; one with a character the system's ANSI code page lacks (the
// package's 8-bit programs are told the target) like one that cannot be created (text 130).
// Nothing is created, nothing recorded.
bool CheckChosenTarget(const std::string& targetDirectory, const TNajdluzszeSciezki& longest,
                       const std::function<bool()>& enoughSpace,
                       const std::function<bool(TPytanieOpcji)>& ask, TDziennikPrzebiegu& journal);

}  // namespace orvala
