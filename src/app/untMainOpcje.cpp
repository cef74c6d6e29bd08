// TfrmMain: the licence and options pages (licence view, target directory, free-space check,
// the checks of Next on the options page).
#include "app/untMain.h"

#include <richedit.h>

#include "app/untKreator.h"
#include "config/untInstalStale.h"
#include "config/untInstalTeksty.h"
#include "config/untStaleApp.h"
#include "dialogs/untFormyDialogowe.h"
#include "engine/untSciezki.h"
#include "platform/untPlatforma.h"
#include "textutil/untUtilsEdytor.h"
#include "untIdentyfikatory.h"

namespace orvala {

namespace {

// The full folder path that text 317 gives as an example.
const TWideString kPrzykladKatalogu = u"C:\\Orvala";

TWideString FromW(const wchar_t* text) {
  return TWideString(reinterpret_cast<const char16_t*>(text));
}

// A separator of the user's locale (LOCALE_STHOUSAND, LOCALE_SDECIMAL), or `fallback`.
TWideString LocaleSeparator(LCTYPE type, const char16_t* fallback) {
  wchar_t buffer[8] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 8) > 1) {
    return FromW(buffer);
  }
  return fallback;
}

// Inner margins of the licence view, pixels at 96 dpi: without them the first letter of every
// line touches the view's border and reads as clipped.
constexpr int kMarginesUmowy = 5;

TWideString Megabytes(std::int64_t bytes) {
  return FormatMegabytes(bytes, LocaleSeparator(LOCALE_STHOUSAND, u","),
                         LocaleSeparator(LOCALE_SDECIMAL, u"."));
}
}  // namespace

// The text of the licence view kept a few pixels off its border on every side: the formatting
// rectangle inside the client area (EM_SETMARGINS alone is not honoured by every rich-text
// view, and sets no top margin). Set after the font and the text, either of which may lay the
// view out anew.
void TfrmMain::SetLicenceMargins(HWND red) const {
  RECT client{};
  if (!::GetClientRect(red, &client)) {
    return;
  }
  const int margin = Scale(kMarginesUmowy);
  ::InflateRect(&client, -margin, -margin / 2);
  ::SendMessageW(red, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&client));
}

void TfrmMain::LoadLicence() {
  HWND red = Control(IDC_redUmowa);
  if (red == nullptr) {
    return;
  }
  ::SetWindowTextW(red, L"");
  // Without a source directory there is nothing to read (never the current directory).
  if (sourceDirectory_.empty()) {
    ApplyLanguageFontToRichEdit(red, language_);
    return;
  }
  LanguageId language = language_;
  if (!platform::Platform().FileExists(sourceDirectory_ + std::string(LicenceFile(language)))) {
    language = kJezykPolski;
  }
  ApplyLanguageFontToRichEdit(red, language);
  LoadPlainTextFile(red, sourceDirectory_ + std::string(LicenceFile(language)), language);
  SetLicenceMargins(red);
  ::SendMessageW(red, EM_SETSEL, 0, 0);
  ::SendMessageW(red, EM_SCROLLCARET, 0, 0);
}

void TfrmMain::rdbUmowaAkceptujeClick() {
  if (page_ == kStronaUmowa) {
    EnableControl(IDC_btnDalej, IsChecked(IDC_rdbUmowaAkceptuje));
  }
}

void TfrmMain::UstawKatalogDocelowy() {
  targetDirectory_ =
      DefaultTargetDirectory(ProgramFilesDirectory(), ActiveEditionDescriptor().programFolder);
  SetText(IDC_lblKatalog, platform::Platform().WidenPath(targetDirectory_));
}

void TfrmMain::btnKatalogClick() {
  const TWideString chosen = frmKatalog().ChooseDirectory(WindowTextWide(Control(IDC_lblKatalog)),
                                                          std::string(), Handle());
  SetText(IDC_lblKatalog, chosen);
  // Here only the drive counts (free space); Next takes the path again from the label and
  // refuses a character the code page lacks.
  platform::Platform().NarrowPath(chosen, targetDirectory_);
  SprawdzWolneMiejsce();
}

void TfrmMain::chbInstalujSlownikiClick() {
  SprawdzWolneMiejsce();
}

bool TfrmMain::SprawdzWolneMiejsce() {
  const TMiejsceNaDysku m = MeasureSpace(sourceDirectoryNoBackslash_, targetDirectory_,
                                         IsChecked(IDC_chbInstalujSlowniki));
  freeBytes_ = m.freeBytes;
  requiredBytes_ = m.requiredBytes;
  spaceShort_ = !m.enough;
  MarkSpaceShortage();
  SetText(IDC_lblMiejsceWolne,
          FormatText(GetText(language_, 123, false), {Megabytes(freeBytes_)}, false, language_));
  SetText(IDC_lblMiejsceWymagane, FormatText(GetText(language_, 124, false),
                                             {Megabytes(requiredBytes_)}, false, language_));
  if (HWND label = Control(IDC_lblMiejsceWolne)) {
    ::InvalidateRect(label, nullptr, TRUE);
  }
  return m.enough;
}

void TfrmMain::MarkSpaceShortage() {
  HWND label = Control(IDC_lblMiejsceWolne);
  HWND sibling = Control(IDC_lblMiejsceWymagane);  // keeps the page's font
  if (label == nullptr || sibling == nullptr) {
    return;
  }
  auto normal = reinterpret_cast<HFONT>(::SendMessageW(sibling, WM_GETFONT, 0, 0));
  LOGFONTW bold{};
  if (!spaceShort_ || !HighContrastOn() || normal == nullptr ||
      ::GetObjectW(normal, sizeof bold, &bold) != sizeof bold) {
    ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(normal), TRUE);
    return;
  }
  bold.lfWeight = FW_BOLD;
  platform::win32::TUchwytCzcionki font(::CreateFontIndirectW(&bold));
  if (font) {
    ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    shortageFont_ = std::move(font);  // the previous bold font is no longer the label's
  }
}

bool TfrmMain::SprawdzOpcje() {
  if (page_ != kStronaOpcje) {
    return true;
  }
  allUsers_ = IsChecked(IDC_chbSkrotyAllUsers);
  const TWideString shown = WindowTextWide(Control(IDC_lblKatalog));
  const TNajdluzszeSciezki longest =
      LongestRelativePaths(sourceDirectoryNoBackslash_,
                           BuildExclusionList(ActiveEdition(), IsChecked(IDC_chbInstalujSlowniki)));
  return CheckShownTarget(
      shown, longest, targetDirectory_, [this] { return SprawdzWolneMiejsce(); },
      [this, &shown](TPytanieOpcji question) {
        if (question == TPytanieOpcji::ZaMaloMiejsca) {
          return frmPytanie().Ask(Handle(), GetText(language_, 129, false), kPytanieTakNie) ==
                 kWynikTak;
        }
        const int text = question == TPytanieOpcji::NiepelnaSciezka  ? 317
                         : question == TPytanieOpcji::ZaDlugaSciezka ? 318
                                                                     : 130;
        frmPytanie().Ask(Handle(),
                         FormatText(GetText(language_, text, false), {shown, kPrzykladKatalogu},
                                    false, language_),
                         kPytanieOK);
        return false;
      },
      stan_.journal);
}

}  // namespace orvala
