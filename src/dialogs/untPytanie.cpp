// TfrmPytanie: the question's text measured, its buttons captioned and arranged, the answer.
#include "dialogs/untPytanie.h"

#include <algorithm>

#include "config/untInstalTeksty.h"
#include "config/untInstalTekstyId.h"
#include "dialogs/untUchwytyDialogow.h"
#include "dialogs/untUkladPytania.h"
#include "textutil/untUtilsEdytor.h"
#include "untIdentyfikatory.h"

namespace orvala {

namespace {

constexpr int kMaksSzerokoscEtykiety = 400;  // lblPytanie, pixels at 96 dpi
constexpr int kOdstep = 8;                   // between buttons and below the label

const TWideString kNapisOK = u"OK";

struct TRozmiar {
  int width;
  int height;
};

// The text's size in the label's font: DT_CALCRECT, word wrap at `wrapWidth` when it is > 0.
TRozmiar MeasureText(HWND label, const TWideString& text, int wrapWidth) {
  const platform::win32::TUchwytDC dc = platform::win32::PobierzDC(label);
  if (!dc) {
    return {0, 0};
  }
  auto font = reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0));
  HGDIOBJ previous = font != nullptr ? ::SelectObject(dc.Get().dc, font) : nullptr;
  // An empty label keeps the height of one line.
  const TWideString measured = text.empty() ? TWideString(u" ") : text;
  RECT rect{0, 0, wrapWidth > 0 ? wrapWidth : 0x7FFF, 0};
  UINT flags = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | DT_CENTER;
  if (wrapWidth > 0) {
    flags |= DT_WORDBREAK;
  }
  ::DrawTextW(dc.Get().dc, WideChars(measured), static_cast<int>(measured.size()), &rect, flags);
  if (previous != nullptr) {
    ::SelectObject(dc.Get().dc, previous);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

TfrmPytanie::TfrmPytanie() : TOkno(L"TFRMPYTANIE") {
  SetLanguage(0);
}

void TfrmPytanie::SetLanguage(LanguageId language) {
  language_ = language;
  caption_ = GetText(language, kTekstUwaga, true);
  captionTak_ = GetText(language, kTekstTak, false);
  captionNie_ = GetText(language, kTekstNie, false);
  captionAnuluj_ = GetText(language, kTekstAnuluj, false);
  if (Handle() != nullptr) {
    ApplyLanguageFontToDialog(Handle(), language_);
    ApplyCaptions();
    Arrange();
  }
}

int TfrmPytanie::Ask(HWND owner, const TWideString& text, std::uint8_t mode) {
  owner_ = owner;
  text_ = text;
  mode_ = mode > kPytanieTakNieAnuluj ? kPytanieOK : mode;
  const INT_PTR result = ShowModal(owner);
  owner_ = nullptr;
  text_.clear();
  if (result == kWynikTak || result == kWynikNie) {
    return static_cast<int>(result);
  }
  return kWynikAnuluj;  // cancelled, or the window could not be shown: never Yes
}

void TfrmPytanie::OnInitDialog() {
  ShowOnTaskbarWhileOwnerHidden();  // a question at start, before the wizard is shown
  ApplyLanguageFontToDialog(Handle(), language_);
  ApplyCaptions();
  Arrange();
  FocusItem(IDC_btnTak);
}

// The language captions with the mode's exceptions: "OK" on btnTak in modes 0 and 2, the cancel
// caption on btnNie in mode 2. The members keep the language captions for the next question.
void TfrmPytanie::ApplyCaptions() const {
  SetCaption(caption_);
  const bool ok = mode_ == kPytanieOK || mode_ == kPytanieOKAnuluj;
  SetItemText(IDC_btnTak, ok ? kNapisOK : captionTak_);
  SetItemText(IDC_btnNie, mode_ == kPytanieOKAnuluj ? captionAnuluj_ : captionNie_);
  SetItemText(IDC_btnAnuluj, captionAnuluj_);
}

void TfrmPytanie::Arrange() {
  HWND label = Item(IDC_lblPytanie);
  if (label == nullptr) {
    return;
  }
  SetItemText(IDC_lblPytanie, text_);

  // Automatic size without word wrap (longest line, at most the maximum), then word wrap at
  // that width with the height following.
  const RECT labelRect = ItemRect(IDC_lblPytanie);
  const int maxWidth = Scale(kMaksSzerokoscEtykiety);
  const int width = std::min(MeasureText(label, text_, 0).width, maxWidth);
  const TRozmiar wrapped = MeasureText(label, text_, std::max(width, 1));

  const RECT tak = ItemRect(IDC_btnTak);
  const RECT nie = ItemRect(IDC_btnNie);
  const RECT anuluj = ItemRect(IDC_btnAnuluj);
  TWymiaryPytania in;
  in.mode = mode_;
  in.labelLeft = labelRect.left;
  in.labelTop = labelRect.top;
  in.labelWidth = width;
  in.labelHeight = wrapped.height;
  in.widthTak = tak.right - tak.left;
  in.widthNie = nie.right - nie.left;
  in.widthAnuluj = anuluj.right - anuluj.left;
  in.heightTak = tak.bottom - tak.top;
  in.gap = Scale(kOdstep);
  const TUkladPytania out = ComputeAskLayout(in);

  ::MoveWindow(label, in.labelLeft, in.labelTop, out.labelWidth, in.labelHeight, TRUE);
  ::MoveWindow(Item(IDC_btnTak), out.xTak, out.buttonsTop, in.widthTak, in.heightTak, TRUE);
  ::MoveWindow(Item(IDC_btnNie), out.xNie, out.buttonsTop, in.widthNie, nie.bottom - nie.top, TRUE);
  ::MoveWindow(Item(IDC_btnAnuluj), out.xAnuluj, out.buttonsTop, in.widthAnuluj,
               anuluj.bottom - anuluj.top, TRUE);

  const bool nieShown = mode_ != kPytanieOK;
  const bool anulujShown = mode_ == kPytanieTakNieAnuluj;
  ShowItem(IDC_btnNie, nieShown);
  EnableItem(IDC_btnNie, nieShown);
  ShowItem(IDC_btnAnuluj, anulujShown);
  EnableItem(IDC_btnAnuluj, anulujShown);

  SetClientSize(out.clientWidth, out.clientHeight);
  CentreOver(owner_);
}

bool TfrmPytanie::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) {
    return false;
  }
  switch (id) {
    case IDC_btnTak:
    case IDOK:  // Enter with no button focused
      EndModal(kWynikTak);
      return true;
    case IDC_btnNie:
      if (mode_ != kPytanieOK) {
        EndModal(kWynikNie);
      }
      return true;
    case IDC_btnAnuluj:
      if (mode_ == kPytanieTakNieAnuluj) {
        EndModal(kWynikAnuluj);
      }
      return true;
    case IDCANCEL:  // Escape (and Alt+F4): per mode
      if (mode_ == kPytanieTakNie || mode_ == kPytanieOKAnuluj) {
        EndModal(kWynikNie);
      } else if (mode_ == kPytanieTakNieAnuluj) {
        EndModal(kWynikAnuluj);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace orvala
