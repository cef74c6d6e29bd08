#include "app/untMain.h"

#include <commctrl.h>
#include <richedit.h>

#include <optional>
#include <string_view>
#include <vector>

#include "app/untDmInstal.h"
#include "app/untJednaKopia.h"
#include "app/untKreator.h"
#include "config/untInstalStale.h"
#include "config/untInstalTeksty.h"
#include "config/untRejestr.h"
#include "config/untStaleApp.h"
#include "dialogs/untFormyDialogowe.h"
#include "engine/untDziennikPrzebiegu.h"
#include "engine/untInstalOdswiezanie.h"
#include "engine/untSciezki.h"
#include "platform/untPlatforma.h"
#include "textutil/untUtilsEdytor.h"
#include "untIdentyfikatory.h"

namespace orvala {

namespace {

struct TStronaOpis {
  const wchar_t* templateName;
  int panelId;
};
constexpr TStronaOpis kStrony[kLiczbaStron] = {
    {L"TPNLINTRO", IDC_pnlIntro},   {L"TPNLUMOWA", IDC_pnlUmowa},
    {L"TPNLOPCJE", IDC_pnlOpcje},   {L"TPNLINSTALACJA", IDC_pnlInstalacja},
    {L"TPNLKONIEC", IDC_pnlKoniec},
};

// Fixed captions of the pages: control and text id.
constexpr std::pair<int, int> kNapisyStron[] = {
    {IDC_rdbUmowaAkceptuje, 81},
    {IDC_rdbUmowaNieAkceptuje, 82},
    {IDC_gbxKatalog, 121},
    {IDC_btnKatalog, 122},
    {IDC_chbInstalujSlowniki, 125},
    {IDC_chbUtworzGrupe, 126},
    {IDC_chbUtworzSkrotyTranslatorow, 127},
    {IDC_chbUtworzSkrotySlownikow, 128},
    {IDC_chbSkrotyAllUsers, 131},
    {IDC_lblSkrotyAllUsers, 132},
    {IDC_chbInstalujMSWord, 133},
    {IDC_chbInstalujMSIE, 134},
    {IDC_lblInstalacjaOpis, 142},
    {IDC_btnWstecz, 3},
    {IDC_btnDalej, 4},
};

// The side picture drawn for the window's DPI (the frame stretches it to fit).
int SidePictureResource(int dpi) {
  switch (ArtworkForDpi(dpi)) {
    case TSkalaGrafiki::Poltorej:
      return IDB_Image1_144;
    case TSkalaGrafiki::Podwojna:
      return IDB_Image1_192;
    default:
      return IDB_Image1;
  }
}

const wchar_t* W(const TWideString& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

// --- TStronaKreatora -----------------------------------------------------------------------

TStronaKreatora::TStronaKreatora(const wchar_t* templateName, int panelId, TfrmMain& frame)
    : TOkno(templateName), panelId_(panelId), frame_(frame) {}

bool TStronaKreatora::OnCommand(int id, int code, HWND) {
  return frame_.PageCommand(id, code);
}

bool TStronaKreatora::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  if (message == WM_CTLCOLORSTATIC) {
    return frame_.PageLabelColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                  result);
  }
  return false;
}

// --- TfrmMain: creation and destruction ----------------------------------------------------

TfrmMain::TfrmMain() : TOkno(L"TFRMMAIN") {}

TfrmMain::~TfrmMain() {
  for (auto& page : pages_) {
    page.reset();
  }
}

bool TfrmMain::CreateForm() {
  LoadRichEditLibrary();
  return Create(nullptr);
}

void TfrmMain::OnInitDialog() {
  icon_.Apply(Handle());
  MarkWizardWindow(Handle());  // a later start of the program finds this wizard
  image1_.Reset(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                  MAKEINTRESOURCEW(SidePictureResource(Dpi())),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  for (int i = 0; i < kLiczbaStron; ++i) {
    pages_[i] =
        std::make_unique<TStronaKreatora>(kStrony[i].templateName, kStrony[i].panelId, *this);
    if (pages_[i]->Create(Handle())) {
      ::SetWindowLongPtrW(pages_[i]->Handle(), GWLP_ID, kStrony[i].panelId);
      ::ShowWindow(pages_[i]->Handle(), SW_HIDE);
    }
  }
  LayOut();
  FormCreate();
}

void TfrmMain::FormCreate() {
  busy_ = true;
  stan_ = TStanInstalacji{};  // empty lists, zero bytes, all four flags false
  updateDirectory_.clear();
  sourceDirectory_.clear();
  sourceDirectoryNoBackslash_.clear();
  targetDirectory_.clear();
  page_ = kStronaWstep;
  SetInstallationInProgress(ActiveEdition(), true);
  busy_ = false;
}

void TfrmMain::OnDestroy() {
  UnmarkWizardWindow(Handle());
  FormDestroy();
  ::PostQuitMessage(0);
}

void TfrmMain::FormDestroy() {
  ClearInProgressMark();
  stan_.journal.Clear();
}

void TfrmMain::ClearInProgressMark() const {
  if (kPrzelacznikiBudowy.clearInProgressAtExit) {
    SetInstallationInProgress(ActiveEdition(), false);
  }
}

bool TfrmMain::FormCloseQuery() {
  return true;
}

void TfrmMain::Close() {
  if (Handle() != nullptr && FormCloseQuery()) {
    ::DestroyWindow(Handle());
  }
}

// --- Controls ------------------------------------------------------------------------------

HWND TfrmMain::Control(int id) const {
  if (HWND item = Item(id)) {
    return item;
  }
  for (const auto& page : pages_) {
    if (page && page->Handle() != nullptr) {
      if (HWND item = ::GetDlgItem(page->Handle(), id)) {
        return item;
      }
    }
  }
  return nullptr;
}

void TfrmMain::SetText(int id, const TWideString& text) const {
  SetWindowTextWide(Control(id), text);
}

void TfrmMain::SetTextId(int id, int textId) const {
  SetText(id, GetText(language_, textId, false));
}

bool TfrmMain::IsChecked(int id) const {
  HWND item = Control(id);
  return item != nullptr && ::SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfrmMain::SetChecked(int id, bool checked) const {
  if (HWND item = Control(id)) {
    ::SendMessageW(item, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void TfrmMain::EnableControl(int id, bool enabled) const {
  if (HWND item = Control(id)) {
    ::EnableWindow(item, enabled ? TRUE : FALSE);
  }
}

void TfrmMain::ShowControl(int id, bool visible) const {
  if (HWND item = Control(id)) {
    ::ShowWindow(item, visible ? SW_SHOW : SW_HIDE);
  }
}

void TfrmMain::FocusControl(int id) const {
  HWND item = Control(id);
  if (item != nullptr && Handle() != nullptr) {
    ::SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
  }
}

// --- Showing -------------------------------------------------------------------------------

void TfrmMain::Show() {
  FormShow();
  if (Handle() != nullptr) {
    CentreOnScreen();  // on the monitor where the CD dialog was
    ::ShowWindow(Handle(), SW_SHOW);
    ::UpdateWindow(Handle());
  }
}

void TfrmMain::FormShow() {
  const LanguageId home = HomeLanguage();
  const LanguageId edition = EditionLanguage();
  // 1. Flags: btnPolski carries the home flag, btnAngielski the edition language's.
  if (TdmInstal* dm = dmInstal()) {
    polishFlag_.Reset(dm->FlagIcon(FlagImageIndex(home)));
    editionFlag_.Reset(dm->FlagIcon(FlagImageIndex(edition)));
    ::SendMessageW(Control(IDC_btnPolski), BM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(polishFlag_.Get()));
    ::SendMessageW(Control(IDC_btnAngielski), BM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(editionFlag_.Get()));
  }
  // 2. The language selector exists only in the editions other than this one.
  const bool selector = ActiveEdition() != 10;
  for (int id : {IDC_pnlJezyk, IDC_lblJezyk, IDC_btnPolski, IDC_btnAngielski}) {
    ShowControl(id, selector);
  }
  EnableControl(IDC_btnAngielski, selector);
  // 3. lblJezyk: "Język / <edition word>:" in the home language's character set.
  SetText(IDC_lblJezyk,
          FormatText(GetText(home, 9, false),
                     {GetText(home, 10, false), GetText(edition, 10, false)}, false, home));
  ApplyLanguageFont(Control(IDC_lblJezyk), kJezykPolski);
  PlaceLanguageRow();
  // 4. The all-users option when the two Programs folders differ.
  const int e = ActiveEdition();
  const bool allUsers =
      e >= 6 && e <= 12 && ProgramsFolderFromRegistry(true) != ProgramsFolderFromRegistry(false);
  for (int id : {IDC_chbSkrotyAllUsers, IDC_lblSkrotyAllUsers}) {
    EnableControl(id, allUsers);
    ShowControl(id, allUsers);
  }
  // 5. The add-in options of edition 12.
  const bool addIns = e == 12;
  for (int id : {IDC_chbInstalujMSWord, IDC_chbInstalujMSIE}) {
    EnableControl(id, addIns);
    SetChecked(id, addIns);
    ShowControl(id, addIns);
  }
  for (int id : {IDC_chbInstalujSlowniki, IDC_chbUtworzGrupe, IDC_chbUtworzSkrotyTranslatorow,
                 IDC_chbUtworzSkrotySlownikow}) {
    SetChecked(id, true);
  }
  // 6. Default target; 7.–8. start language; 9. page 1 (asks for the CD first).
  UstawKatalogDocelowy();
  ApplyLanguage(ChooseStartLanguage(LocaleLanguage(), home, edition,
                                    kPrzelacznikiBudowy.preferEditionLanguage));
  // A run cut off (a power cut, a killed process) gets the files it replaced back first; what
  // cannot go back yet is said, and tried again at the next start.
  const TOdzyskanie recovered = RecoverInterruptedRun(
      ActiveEdition(),
      [this](const std::string& path) { return AskYesNo(FileLabel(language_, 314, path)); });
  if (recovered == TOdzyskanie::Restored) {
    Inform(GetText(language_, 315, false));
  } else if (recovered == TOdzyskanie::Incomplete) {
    Inform(GetText(language_, 316, false));
  }
  ShowPage(0);
}

void TfrmMain::Inform(const TWideString& text) {
  frmPytanie().Ask(Handle(), text, kPytanieOK);
}

void TfrmMain::PlaceLanguageRow() {
  HWND label = Control(IDC_lblJezyk);
  HWND row = Control(IDC_pnlJezyk);
  if (label == nullptr || row == nullptr) {
    return;
  }
  // The label takes the width of its text; the flags follow it, 4 px apart.
  const TWideString text = WindowTextWide(label);
  SIZE size{};
  if (platform::win32::TUchwytDC dc = platform::win32::PobierzDC(label); dc.Get().dc != nullptr) {
    HGDIOBJ old = ::SelectObject(
        dc.Get().dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    ::GetTextExtentPoint32W(dc.Get().dc, W(text), static_cast<int>(text.size()), &size);
    ::SelectObject(dc.Get().dc, old);
  }
  HWND parent = ::GetParent(label);
  RECT r{};
  ::GetWindowRect(label, &r);
  ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  ::MoveWindow(label, r.left, r.top, size.cx, r.bottom - r.top, TRUE);
  int x = r.left + size.cx + Scale(4);
  for (int id : {IDC_btnPolski, IDC_btnAngielski}) {
    HWND button = Control(id);
    RECT b{};
    ::GetWindowRect(button, &b);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&b), 2);
    ::MoveWindow(button, x, b.top, b.right - b.left, b.bottom - b.top, TRUE);
    x += b.right - b.left;
  }
}

// --- Language ------------------------------------------------------------------------------

void TfrmMain::ApplyFonts() {
  ApplyLanguageFontToDialog(Handle(), language_);
  for (const auto& page : pages_) {
    if (page && page->Handle() != nullptr) {
      ApplyLanguageFontToDialog(page->Handle(), language_);
    }
  }
  ::SendMessageW(Control(IDC_lblTytul), WM_SETFONT,
                 reinterpret_cast<WPARAM>(LanguageFont(titleFont_.Get(), language_)), TRUE);
  ::SendMessageW(Control(IDC_lblKrok), WM_SETFONT,
                 reinterpret_cast<WPARAM>(LanguageFont(stepFont_.Get(), language_)), TRUE);
  for (int id : {IDC_lblIntro, IDC_lblKoniec}) {
    ApplyLanguageFont(Control(id), language_);
  }
  ApplyLanguageFont(Control(IDC_lblJezyk), kJezykPolski);
  ApplyLanguageFontToRichEdit(Control(IDC_redUmowa), language_);
}

void TfrmMain::ApplyPageTexts() {
  const TWideString title = ProductTitle(language_, false);
  for (const auto& [id, textId] : kNapisyStron) {
    SetTextId(id, textId);
  }
  SetText(IDC_lblIntro,
          FormatText(GetText(language_, 61, false), {title, title}, false, language_));
  SetText(IDC_lblWersjaSpecjalna, TWideString());
  SetText(IDC_lblInstalacja, FormatText(GetText(language_, 141, false), {title}, false, language_));
  SetTextId(IDC_btnZamknij, PageButtons(page_, IsChecked(IDC_rdbUmowaAkceptuje)).closeTextId);
  if (page_ == kStronaKoniec) {
    SetTextId(IDC_lblKoniec, EndPageTextId(stan_.success, stan_.cancelled));
  }
}

void TfrmMain::ApplyLanguage(LanguageId language) {
  language_ = language;
  if (Handle() == nullptr) {
    return;
  }
  // 2. The dialogs re-caption themselves.
  frmPytanie().SetLanguage(language);
  frmKatalog().SetLanguage(language);
  frmKatalogDodaj().SetLanguage(language);
  frmCD().SetLanguage(language);
  // 3. Fonts.
  ApplyFonts();
  // 4. Window caption (the task bar shows it too); 6. title band.
  SetCaption(
      FormatText(GetText(language, 1, false), {ProductTitle(language, true)}, true, language));
  SetText(IDC_lblTytul, FormatText(GetText(language, 2, false), {ProductTitle(language, false)},
                                   false, language));
  // 7.–8. Buttons and pages.
  ApplyPageTexts();
  // 9.–11.
  UpdateStepCaption();
  if (page_ == kStronaOpcje) {
    SprawdzWolneMiejsce();
  }
  LoadLicence();
  // 12. The flag of the interface language is down.
  SetChecked(IDC_btnPolski, language == HomeLanguage());
  SetChecked(IDC_btnAngielski, language == EditionLanguage());
}

void TfrmMain::btnPolskiClick(int clickedId) {
  // The two flags form one group that may be all up: the pressed one selects its language,
  // pressing the one that is down releases it and selects the other.
  const bool polishDown =
      clickedId == IDC_btnPolski ? IsChecked(IDC_btnPolski) : !IsChecked(IDC_btnAngielski);
  ApplyLanguage(polishDown ? HomeLanguage() : EditionLanguage());
}

void TfrmMain::UpdateStepCaption() {
  SetText(IDC_lblKrok, StepCaption(language_, page_));
  SetText(IDC_lblUmowa, StepCaption(language_, kStronaUmowa));  // the licence view's name
}

// --- Pages ---------------------------------------------------------------------------------

bool TfrmMain::UstawKatalogZrodlowy() {
  if (kPrzelacznikiBudowy.sourceFromDialog) {
    if (sourceDirectory_.empty()) {
      sourceDirectory_ = frmCD().ChooseSourceDrive(Handle());
      if (sourceDirectory_.empty()) {
        return false;
      }
    }
  } else {
    sourceDirectory_ = InstallerDriveRoot();
  }
  sourceDirectoryNoBackslash_ = WithoutTrailingBackslash(sourceDirectory_);
  return true;
}

void TfrmMain::ShowPage(int delta) {
  const std::optional<int> target = PageSwitchTarget(page_, delta, busy_);
  if (!target) {
    return;
  }
  busy_ = true;
  if (!UstawKatalogZrodlowy()) {
    busy_ = false;
    Close();  // no CD: the program ends
    return;
  }
  page_ = *target;
  UpdateStepCaption();
  if (page_ == kStronaKoniec) {
    SetTextId(IDC_lblKoniec, EndPageTextId(stan_.success, stan_.cancelled));
  } else if (page_ == kStronaUmowa) {
    LoadLicence();
  }
  for (const auto& page : pages_) {
    if (page && page->Handle() != nullptr) {
      const bool current = page->PanelId() == kStrony[page_ - 1].panelId;
      ::EnableWindow(page->Handle(), current ? TRUE : FALSE);
      ::ShowWindow(page->Handle(), current ? SW_SHOW : SW_HIDE);
      if (current) {
        ::SetWindowPos(page->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      }
    }
  }
  const TStanPrzyciskow buttons = PageButtons(page_, IsChecked(IDC_rdbUmowaAkceptuje));
  EnableControl(IDC_btnDalej, buttons.nextEnabled);
  EnableControl(IDC_btnWstecz, buttons.backEnabled);
  EnableControl(IDC_btnZamknij, true);
  SetTextId(IDC_btnZamknij, buttons.closeTextId);
  switch (page_) {
    case kStronaUmowa:
      FocusControl(IDC_redUmowa);
      // The dialog manager selects an edit's whole text when it takes the focus: caret to the
      // start again, nothing selected.
      ::SendMessageW(Control(IDC_redUmowa), EM_SETSEL, 0, 0);
      break;
    case kStronaOpcje:
      SprawdzWolneMiejsce();
      FocusControl(IDC_btnDalej);
      break;
    case kStronaInstalacja:
      FocusControl(IDC_btnZamknij);
      RunInstallationPage();
      return;  // the run has cleared busy and entered page 5
    case kStronaKoniec:
      FocusControl(IDC_btnZamknij);
      break;
    default:
      FocusControl(IDC_btnDalej);
      break;
  }
  busy_ = false;
}

// --- Buttons -------------------------------------------------------------------------------

void TfrmMain::btnDalejClick() {
  if (!SprawdzOpcje()) {
    return;
  }
  ShowPage(+1);
}

void TfrmMain::btnWsteczClick() {
  ShowPage(-1);
}

void TfrmMain::btnZamknijClick() {
  switch (page_) {
    case kStronaInstalacja:
      stan_.cancelRequested = true;  // the run asks at its next check point
      break;
    case kStronaKoniec:
      Close();
      break;
    default:
      if (frmPytanie().Ask(Handle(), GetText(language_, 41, false), kPytanieTakNie) == kWynikTak) {
        Close();
      }
      break;
  }
}

bool TfrmMain::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) {
    return false;
  }
  switch (id) {
    case IDOK:  // Enter: the default button, when it may be pressed
      if (::IsWindowEnabled(Control(IDC_btnDalej))) {
        btnDalejClick();
      }
      return true;
    case IDCANCEL:  // Escape: the Close button, when it may be pressed
      if (::IsWindowEnabled(Control(IDC_btnZamknij))) {
        btnZamknijClick();
      }
      return true;
    case IDC_btnDalej:
      btnDalejClick();
      return true;
    case IDC_btnWstecz:
      btnWsteczClick();
      return true;
    case IDC_btnZamknij:
      btnZamknijClick();
      return true;
    default:
      return false;
  }
}

bool TfrmMain::PageCommand(int id, int code) {
  if (code != BN_CLICKED) {
    return false;
  }
  switch (id) {
    case IDC_rdbUmowaAkceptuje:
    case IDC_rdbUmowaNieAkceptuje:
      rdbUmowaAkceptujeClick();
      return true;
    case IDC_btnKatalog:
      btnKatalogClick();
      return true;
    case IDC_chbInstalujSlowniki:
      chbInstalujSlownikiClick();
      return true;
    case IDC_btnPolski:
    case IDC_btnAngielski:
      btnPolskiClick(id);
      return true;
    case IDOK:
    case IDCANCEL:
      return OnCommand(id, code, nullptr);
    default:
      return false;
  }
}

}  // namespace orvala
