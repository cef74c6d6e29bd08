// TStronaUmowa: the licence page's text, margins and the accept choice.
#include "app/untStronaUmowa.h"

#include <richedit.h>

#include <string>
#include <utility>

#include "app/untKreator.h"
#include "config/untInstalStale.h"
#include "config/untInstalTekstyId.h"
#include "config/untStaleApp.h"
#include "platform/untPlatforma.h"
#include "textutil/untUtilsEdytor.h"
#include "untIdentyfikatory.h"

namespace orvala {

namespace {

constexpr std::pair<int, int> kNapisy[] = {
    {IDC_rdbUmowaAkceptuje, kTekstAkceptujeUmowe},
    {IDC_rdbUmowaNieAkceptuje, kTekstNieAkceptujeUmowy},
};

// Inner margins of the licence view, pixels at 96 dpi: without them the first letter of every
// line touches the view's border and reads as clipped.
constexpr int kMarginesUmowy = 5;

}  // namespace

TStronaUmowa::TStronaUmowa(TRamaKreatora& frame)
    : TStronaKreatora(L"TPNLUMOWA", IDC_pnlUmowa, frame) {}

bool TStronaUmowa::Accepted() const {
  return IsItemChecked(IDC_rdbUmowaAkceptuje);
}

void TStronaUmowa::OnEnter() {
  LoadLicence();
  Frame().FocusControl(Item(IDC_redUmowa));
  // The dialog manager selects an edit's whole text when it takes the focus: caret to the
  // start again, nothing selected.
  ::SendMessageW(Item(IDC_redUmowa), EM_SETSEL, 0, 0);
}

void TStronaUmowa::ApplyLanguage(LanguageId language, bool current) {
  TStronaKreatora::ApplyLanguage(language, current);
  ApplyLanguageFontToRichEdit(Item(IDC_redUmowa), language);
  SetItemTexts(kNapisy);
  SetItemText(IDC_lblUmowa, StepCaption(language, kStronaUmowa));  // the licence view's name
  LoadLicence();
}

// The text of the licence view kept a few pixels off its border on every side: the formatting
// rectangle inside the client area (EM_SETMARGINS alone is not honoured by every rich-text
// view, and sets no top margin). Set after the font and the text, either of which may lay the
// view out anew.
void TStronaUmowa::SetLicenceMargins(HWND red) const {
  RECT client{};
  if (!::GetClientRect(red, &client)) {
    return;
  }
  const int margin = Scale(kMarginesUmowy);
  ::InflateRect(&client, -margin, -margin / 2);
  ::SendMessageW(red, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&client));
}

void TStronaUmowa::LoadLicence() {
  HWND red = Item(IDC_redUmowa);
  if (red == nullptr) {
    return;
  }
  ::SetWindowTextW(red, L"");
  // Without a source directory there is nothing to read (never the current directory).
  const std::string& source = Frame().SourceDirectory();
  if (source.empty()) {
    ApplyLanguageFontToRichEdit(red, Language());
    return;
  }
  LanguageId language = Language();
  if (!platform::Platform().FileExists(source + std::string(LicenceFile(language)))) {
    language = kJezykPolski;
  }
  ApplyLanguageFontToRichEdit(red, language);
  LoadPlainTextFile(red, source + std::string(LicenceFile(language)), language);
  SetLicenceMargins(red);
  ::SendMessageW(red, EM_SETSEL, 0, 0);
  ::SendMessageW(red, EM_SCROLLCARET, 0, 0);
}

void TStronaUmowa::rdbUmowaAkceptujeClick() {
  Frame().EnableNext(Accepted());
}

bool TStronaUmowa::OnClick(int id) {
  if (id != IDC_rdbUmowaAkceptuje && id != IDC_rdbUmowaNieAkceptuje) {
    return false;
  }
  rdbUmowaAkceptujeClick();
  return true;
}

}  // namespace orvala
