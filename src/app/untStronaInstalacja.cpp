// TStronaInstalacja: the installation page runs the installation and serves as its observer.
#include "app/untStronaInstalacja.h"

#include <commctrl.h>

#include "app/untKreator.h"
#include "config/untInstalTeksty.h"
#include "config/untInstalTekstyId.h"
#include "dialogs/untFormyDialogowe.h"
#include "untIdentyfikatory.h"

namespace orvala {

TStronaInstalacja::TStronaInstalacja(TRamaKreatora& frame)
    : TStronaKreatora(L"TPNLINSTALACJA", IDC_pnlInstalacja, frame) {}

void TStronaInstalacja::OnEnter() {
  Frame().FocusControl(Frame().FrameButton(IDC_btnZamknij));
}

void TStronaInstalacja::ApplyLanguage(LanguageId language, bool current) {
  TStronaKreatora::ApplyLanguage(language, current);
  SetItemText(IDC_lblInstalacjaOpis, GetText(language, kTekstKopiowaniePlikow, false));
  SetItemText(IDC_lblInstalacja, FormatText(GetText(language, kTekstInstaluje, false),
                                            {ProductTitle(language, false)}, false, language));
}

void TStronaInstalacja::Run(const TOpcjeInstalacji& options) {
  ShowFiles(TWideString(), TWideString());
  RunInstallation(options, stan_, *this);  // the outcome is in the state's flags
}

void TStronaInstalacja::ShowStage(const TWideString& text) {
  SetItemText(IDC_lblInstalacjaOpis, text);
  SetItemText(IDC_lblPostep, text);  // the gauge's name for a screen reader
}

void TStronaInstalacja::ShowFiles(const TWideString& from, const TWideString& to) {
  SetItemText(IDC_lblPlikZ, from);
  SetItemText(IDC_lblPlikDo, to);
}

void TStronaInstalacja::SetGauge(std::uint32_t maximum, std::uint32_t position) {
  // The run scales its byte counts to the gauge's signed 32-bit range (TSkalaPostepu).
  HWND gauge = Item(IDC_GaugePostep);
  ::SendMessageW(gauge, PBM_SETRANGE32, 0, static_cast<LPARAM>(maximum));
  ::SendMessageW(gauge, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void TStronaInstalacja::EnableClose(bool enabled) {
  Frame().EnableClose(enabled);
}

void TStronaInstalacja::ProcessMessages() {
  ProcessPendingMessages();
}

std::uint32_t TStronaInstalacja::Milliseconds() {
  return ::GetTickCount();
}

bool TStronaInstalacja::AskYesNo(const TWideString& text) {
  return frmPytanie().Ask(Frame().FrameHandle(), text, kPytanieTakNie) == kWynikTak;
}

void TStronaInstalacja::Inform(const TWideString& text) {
  frmPytanie().Ask(Frame().FrameHandle(), text, kPytanieOK);
}

}  // namespace orvala
