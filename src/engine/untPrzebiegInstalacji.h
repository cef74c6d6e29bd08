// The installation run: everything that happens while the wizard shows its installation page.
//
// The run is portable: it talks to the window only through TObserwatorInstalacji, which the
// wizard implements (labels, gauge, Close button, pending messages, the cancel question) and
// tests implement to script a cancel at any check point. The wizard owns one TStanInstalacji
// for its whole life: SprawdzOpcje journals the target directory it created before the run
// starts, and the run journals everything else it does to the target (untDziennikPrzebiegu.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/untDziennikPrzebiegu.h"
#include "textutil/untTekst.h"

namespace orvala {

// The options of the options page and the directories the run works with.
struct TOpcjeInstalacji {
  std::string sourceDirectory;       // the CD root, with trailing backslash ("D:\")
  std::string targetDirectory;       // without trailing backslash
  std::string updateDirectory;       // where patch lists are looked for; empty in the wizard
  LanguageId language = 0;           // interface language
  bool installDictionaries = true;   // chbInstalujSlowniki
  bool createGroup = true;           // chbUtworzGrupe
  bool desktopTranslators = true;    // chbUtworzSkrotyTranslatorow
  bool desktopDictionaries = true;   // chbUtworzSkrotySlownikow
  bool allUsers = false;             // chbSkrotyAllUsers, as remembered by SprawdzOpcje
  bool installWordAddIn = false;     // chbInstalujMSWord
  bool installBrowserAddIn = false;  // chbInstalujMSIE
  std::int64_t requiredBytes = 0;    // from the free-space check
};

// The run's part of the wizard state.
struct TStanInstalacji {
  TDziennikPrzebiegu journal;  // what the run did to the target, and how it goes back
  std::uint64_t bytesDone = 0;
  bool success = false;
  bool running = false;
  bool cancelRequested = false;  // set by the Close button during the run
  bool cancelled = false;        // set by a confirmed rollback
};

// What the run needs from the window. Every call happens on the thread that runs the
// installation; ProcessMessages lets the window repaint and the Close button be pressed (which
// sets cancelRequested in the state).
class TObserwatorInstalacji {
 public:
  virtual ~TObserwatorInstalacji() = default;
  virtual void ShowStage(const TWideString& text) = 0;  // lblInstalacjaOpis
  virtual void ShowFiles(const TWideString& from,
                         const TWideString& to) = 0;  // lblPlikZ, lblPlikDo
  // Both values lie in 0..0x7FFFFFFF (byte counts are scaled to fit, untInstalPostep.h).
  virtual void SetGauge(std::uint32_t maximum, std::uint32_t position) = 0;  // GaugePostep
  virtual void EnableClose(bool enabled) = 0;                                // btnZamknij
  virtual void ProcessMessages() = 0;
  // A steady clock in milliseconds (any origin, it may wrap): the run redraws the page by it
  // at a human rate instead of after every file and block.
  virtual std::uint32_t Milliseconds() = 0;
  // Asks a yes/no question in the question dialog; true for Yes.
  virtual bool AskYesNo(const TWideString& text) = 0;
  // Tells something in the question dialog with its OK button alone.
  virtual void Inform(const TWideString& text) = 0;
};

enum class TWynikInstalacji { Success, Cancelled, Failed };

// Runs the whole installation (copy, main program, shared components, special versions,
// shortcuts, registry, patch lists) and returns the outcome the end page shows.
TWynikInstalacji RunInstallation(const TOpcjeInstalacji& options, TStanInstalacji& state,
                                 TObserwatorInstalacji& observer);

}  // namespace orvala
