// Build constants and build switches of the setup program.
//
// The program entry fixes the active edition and the two interface languages before any window
// exists, and the build switches after the forms are created; neither changes afterwards. Tests
// may set them to exercise other editions' rows through the same lookups.
#pragma once

#include <cstdint>

#include "textutil/untTekst.h"

namespace orvala {

// The values of this build.
inline constexpr int kEdycjaBudowy = 10;
inline constexpr LanguageId kJezykDomowyBudowy = kJezykPolski;
inline constexpr LanguageId kJezykEdycjiBudowy = kJezykRosyjski;
inline constexpr int kLiczbaEdycji = 12;

struct TStaleBudowy {
  int activeEdition = kEdycjaBudowy;                // 1..12, row of every per-edition table
  LanguageId homeLanguage = kJezykDomowyBudowy;     // first interface language
  LanguageId editionLanguage = kJezykEdycjiBudowy;  // second interface language
};

const TStaleBudowy& BuildConstants();
void SetBuildConstants(const TStaleBudowy& constants);

inline int ActiveEdition() {
  return BuildConstants().activeEdition;
}
inline LanguageId HomeLanguage() {
  return BuildConstants().homeLanguage;
}
inline LanguageId EditionLanguage() {
  return BuildConstants().editionLanguage;
}

// Per-build variants of the same wizard, set by the program entry.
struct TPrzelacznikiBudowy {
  bool sourceFromDialog = true;        // ask the CD dialog for the source directory
  bool skipCopy = false;               // the run does not copy the source tree
  bool specialVersions = true;         // the run writes the edition's special versions
  bool clearInProgressAtExit = true;   // closing the window resets InstallationInProgress
  bool preferEditionLanguage = false;  // start-language fallback is the edition language
};

inline constexpr TPrzelacznikiBudowy kPrzelacznikiBudowy{};

}  // namespace orvala
