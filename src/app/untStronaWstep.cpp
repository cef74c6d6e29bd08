// TStronaWstep: the introduction page's language row and flags.
#include "app/untStronaWstep.h"

#include "app/untDmInstal.h"
#include "app/untKreator.h"
#include "config/untInstalTeksty.h"
#include "config/untInstalTekstyId.h"
#include "config/untStaleApp.h"
#include "textutil/untUtilsEdytor.h"
#include "untIdentyfikatory.h"

namespace orvala {

TStronaWstep::TStronaWstep(TRamaKreatora& frame)
    : TStronaKreatora(L"TPNLINTRO", IDC_pnlIntro, frame) {}

void TStronaWstep::UstawWyborJezyka() {
  const LanguageId home = HomeLanguage();
  const LanguageId edition = EditionLanguage();
  // btnPolski carries the home flag, btnAngielski the edition language's.
  if (TdmInstal* dm = dmInstal()) {
    polishFlag_.Reset(dm->FlagIcon(FlagImageIndex(home)));
    editionFlag_.Reset(dm->FlagIcon(FlagImageIndex(edition)));
    ::SendMessageW(Item(IDC_btnPolski), BM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(polishFlag_.Get()));
    ::SendMessageW(Item(IDC_btnAngielski), BM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(editionFlag_.Get()));
  }
  // The selector exists only in the editions other than this one.
  const bool selector = ActiveEdition() != 10;
  for (int id : {IDC_pnlJezyk, IDC_lblJezyk, IDC_btnPolski, IDC_btnAngielski}) {
    ShowItem(id, selector);
  }
  EnableItem(IDC_btnAngielski, selector);
  // "Język / <edition word>:" in the home language's character set.
  SetItemText(IDC_lblJezyk,
              FormatText(GetText(home, kTekstJezykWzor, false),
                         {GetText(home, kTekstJezyk, false), GetText(edition, kTekstJezyk, false)},
                         false, home));
  ApplyLanguageFont(Item(IDC_lblJezyk), kJezykPolski);
  PlaceLanguageRow();
}

void TStronaWstep::PlaceLanguageRow() {
  HWND label = Item(IDC_lblJezyk);
  if (label == nullptr || Item(IDC_pnlJezyk) == nullptr) {
    return;
  }
  // The label takes the width of its text; the flags follow it, 4 px apart.
  const TWideString text = WindowTextWide(label);
  SIZE size{};
  if (platform::win32::TUchwytDC dc = platform::win32::PobierzDC(label); dc.Get().dc != nullptr) {
    HGDIOBJ old = ::SelectObject(
        dc.Get().dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    ::GetTextExtentPoint32W(dc.Get().dc, WideChars(text), static_cast<int>(text.size()), &size);
    ::SelectObject(dc.Get().dc, old);
  }
  const RECT r = ItemRect(IDC_lblJezyk);
  ::MoveWindow(label, r.left, r.top, size.cx, r.bottom - r.top, TRUE);
  int x = r.left + size.cx + Scale(4);
  for (int id : {IDC_btnPolski, IDC_btnAngielski}) {
    const RECT b = ItemRect(id);
    ::MoveWindow(Item(id), x, b.top, b.right - b.left, b.bottom - b.top, TRUE);
    x += b.right - b.left;
  }
}

void TStronaWstep::ApplyLanguage(LanguageId language, bool current) {
  TStronaKreatora::ApplyLanguage(language, current);
  ApplyLanguageFont(Item(IDC_lblIntro), language);
  ApplyLanguageFont(Item(IDC_lblJezyk), kJezykPolski);
  const TWideString title = ProductTitle(language, false);
  SetItemText(IDC_lblIntro,
              FormatText(GetText(language, kTekstWitamy, false), {title, title}, false, language));
  SetItemText(IDC_lblWersjaSpecjalna, TWideString());
  // The flag of the interface language is down.
  CheckItem(IDC_btnPolski, language == HomeLanguage());
  CheckItem(IDC_btnAngielski, language == EditionLanguage());
}

void TStronaWstep::btnPolskiClick(int clickedId) {
  // The two flags form one group that may be all up: the pressed one selects its language,
  // pressing the one that is down releases it and selects the other.
  const bool polishDown =
      clickedId == IDC_btnPolski ? IsItemChecked(IDC_btnPolski) : !IsItemChecked(IDC_btnAngielski);
  Frame().SelectLanguage(polishDown ? HomeLanguage() : EditionLanguage());
}

bool TStronaWstep::OnClick(int id) {
  if (id != IDC_btnPolski && id != IDC_btnAngielski) {
    return false;
  }
  btnPolskiClick(id);
  return true;
}

}  // namespace orvala
