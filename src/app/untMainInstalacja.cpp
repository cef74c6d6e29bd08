// TfrmMain: the installation page. The wizard starts the run and is its observer (stage and
// file labels, gauge, Close button, pending messages, the cancel question).
#include "app/untMain.h"

#include <commctrl.h>

#include "app/untKoniecSesji.h"
#include "app/untKreator.h"
#include "config/untInstalTeksty.h"
#include "dialogs/untFormyDialogowe.h"
#include "untIdentyfikatory.h"

namespace orvala {

void TfrmMain::RunInstallationPage() {
  TOpcjeInstalacji options;
  options.sourceDirectory = sourceDirectory_;
  options.targetDirectory = targetDirectory_;
  options.updateDirectory = updateDirectory_;
  options.language = language_;
  options.installDictionaries = IsChecked(IDC_chbInstalujSlowniki);
  options.createGroup = IsChecked(IDC_chbUtworzGrupe);
  options.desktopTranslators = IsChecked(IDC_chbUtworzSkrotyTranslatorow);
  options.desktopDictionaries = IsChecked(IDC_chbUtworzSkrotySlownikow);
  options.allUsers = allUsers_;
  options.installWordAddIn = IsChecked(IDC_chbInstalujMSWord);
  options.installBrowserAddIn = IsChecked(IDC_chbInstalujMSIE);
  options.requiredBytes = requiredBytes_;
  SetText(IDC_lblPlikZ, TWideString());
  SetText(IDC_lblPlikDo, TWideString());
  TWynikInstalacji result = TWynikInstalacji::Failed;
  {
    // No logoff or restart cuts the run in half: the session's end waits until it is over.
    const TBlokadaKoncaSesji block(Handle(), GetText(language_, 142, false), sessionEndRefused_);
    result = RunInstallation(options, stan_, *this);
  }
  stan_.success = result == TWynikInstalacji::Success;
  stan_.cancelled = result == TWynikInstalacji::Cancelled;
  ProcessMessages();
  busy_ = false;
  ShowPage(+1);
}

void TfrmMain::ShowStage(const TWideString& text) {
  SetText(IDC_lblInstalacjaOpis, text);
  SetText(IDC_lblPostep, text);  // the gauge's name for a screen reader
}

void TfrmMain::ShowFiles(const TWideString& from, const TWideString& to) {
  SetText(IDC_lblPlikZ, from);
  SetText(IDC_lblPlikDo, to);
}

void TfrmMain::SetGauge(std::uint32_t maximum, std::uint32_t position) {
  HWND gauge = Control(IDC_GaugePostep);
  // The gauge's range is a signed 32-bit pair: larger byte counts are scaled down alike.
  unsigned shift = 0;
  while ((maximum >> shift) > 0x7FFFFFFFu) {
    ++shift;
  }
  ::SendMessageW(gauge, PBM_SETRANGE32, 0, static_cast<LPARAM>(maximum >> shift));
  ::SendMessageW(gauge, PBM_SETPOS, static_cast<WPARAM>(position >> shift), 0);
}

void TfrmMain::EnableClose(bool enabled) {
  EnableControl(IDC_btnZamknij, enabled);
}

void TfrmMain::ProcessMessages() {
  ProcessPendingMessages();
}

std::uint32_t TfrmMain::Milliseconds() {
  return ::GetTickCount();
}

bool TfrmMain::AskYesNo(const TWideString& text) {
  return frmPytanie().Ask(Handle(), text, kPytanieTakNie) == kWynikTak;
}

}  // namespace orvala
