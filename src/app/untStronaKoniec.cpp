// TStronaKoniec: the end page's outcome text.
#include "app/untStronaKoniec.h"

#include "app/untKreator.h"
#include "config/untInstalTeksty.h"
#include "textutil/untUtilsEdytor.h"
#include "untIdentyfikatory.h"

namespace orvala {

TStronaKoniec::TStronaKoniec(TRamaKreatora& frame, const TStanInstalacji& run)
    : TStronaKreatora(L"TPNLKONIEC", IDC_pnlKoniec, frame), run_(run) {}

void TStronaKoniec::ShowOutcome() const {
  SetItemText(IDC_lblKoniec,
              GetText(Language(), EndPageTextId(run_.success, run_.cancelled), false));
}

void TStronaKoniec::OnEnter() {
  ShowOutcome();
  Frame().FocusControl(Frame().FrameButton(IDC_btnZamknij));
}

void TStronaKoniec::ApplyLanguage(LanguageId language, bool current) {
  TStronaKreatora::ApplyLanguage(language, current);
  ApplyLanguageFont(Item(IDC_lblKoniec), language);
  if (current) {
    ShowOutcome();
  }
}

}  // namespace orvala
