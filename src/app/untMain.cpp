// TfrmMain: creation and destruction, the frame's controls as the pages use them, the start,
// languages, the page switch and the buttons.
#include "app/untMain.h"

#include <optional>
#include <utility>

#include "app/untJednaKopia.h"
#include "app/untKoniecSesji.h"
#include "app/untKreator.h"
#include "config/untInstalTeksty.h"
#include "config/untInstalTekstyId.h"
#include "config/untRejestr.h"
#include "config/untStaleApp.h"
#include "dialogs/untFormyDialogowe.h"
#include "engine/untDziennikPrzebiegu.h"
#include "engine/untInstalOdswiezanie.h"
#include "engine/untSciezki.h"
#include "textutil/untUtilsEdytor.h"
#include "untIdentyfikatory.h"

namespace orvala {

namespace {

// The busy flag set for one scope: cleared on every way out of it.
class TZajetosc {
 public:
  explicit TZajetosc(bool& busy) : busy_(busy) { busy_ = true; }
  ~TZajetosc() { busy_ = false; }
  TZajetosc(const TZajetosc&) = delete;
  TZajetosc& operator=(const TZajetosc&) = delete;

 private:
  bool& busy_;
};

// The frame's buttons and their text ids.
constexpr std::pair<int, int> kNapisyPrzyciskow[] = {
    {IDC_btnWstecz, kTekstWstecz},
    {IDC_btnDalej, kTekstDalej},
};

}  // namespace

// --- Creation and destruction --------------------------------------------------------------

TfrmMain::TfrmMain() : TOkno(L"TFRMMAIN") {}

// The pages go before the frame's window (members before the base).
TfrmMain::~TfrmMain() = default;

bool TfrmMain::CreateForm() {
  LoadRichEditLibrary();
  return Create(nullptr);
}

void TfrmMain::OnInitDialog() {
  icon_.Apply(Handle());
  MarkWizardWindow(Handle());  // a later start of the program finds this wizard
  for (TStronaKreatora* page : pages_) {
    page->CreatePanel(Handle());
  }
  LayOut();
  FormCreate();
}

void TfrmMain::FormCreate() {
  const TZajetosc busy(busy_);
  sourceDirectory_.clear();
  page_ = kStronaWstep;
  SetInstallationInProgress(ActiveEdition(), true);
}

void TfrmMain::OnDestroy() {
  UnmarkWizardWindow(Handle());
  FormDestroy();
  ::PostQuitMessage(0);
}

void TfrmMain::FormDestroy() {
  ClearInProgressMark();
  instalacja_.State().journal.Clear();
}

void TfrmMain::ClearInProgressMark() const {
  if (kPrzelacznikiBudowy.clearInProgressAtExit) {
    SetInstallationInProgress(ActiveEdition(), false);
  }
}

void TfrmMain::Close() {
  if (Handle() != nullptr) {
    ::DestroyWindow(Handle());
  }
}

// --- The frame's controls for the pages ----------------------------------------------------

void TfrmMain::EnableNext(bool enabled) {
  EnableItem(IDC_btnDalej, enabled);
}

void TfrmMain::EnableClose(bool enabled) {
  EnableItem(IDC_btnZamknij, enabled);
}

void TfrmMain::FocusControl(HWND control) {
  if (control != nullptr && Handle() != nullptr) {
    ::SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  }
}

void TfrmMain::FrameCommand(int id) {
  OnCommand(id, BN_CLICKED, nullptr);
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
  wstep_.UstawWyborJezyka();
  opcje_.UstawOpcjeEdycji();
  opcje_.UstawKatalogDocelowy();
  ApplyLanguage(ChooseStartLanguage(LocaleLanguage(), HomeLanguage(), EditionLanguage(),
                                    kPrzelacznikiBudowy.preferEditionLanguage));
  // A run cut off (a power cut, a killed process) gets the files it replaced back first; what
  // cannot go back yet is said, and tried again at the next start.
  const TOdzyskanie recovered =
      RecoverInterruptedRun(ActiveEdition(), [this](const std::string& path) {
        return instalacja_.AskYesNo(FileLabel(language_, kTekstPlikUzywany, path));
      });
  if (recovered == TOdzyskanie::Restored) {
    instalacja_.Inform(GetText(language_, kTekstPrzywrocono, false));
  } else if (recovered == TOdzyskanie::Incomplete) {
    instalacja_.Inform(GetText(language_, kTekstNiePrzywrocono, false));
  }
  // The CD question, before the first page is shown; without a CD the program ends.
  bool sourceFixed = false;
  {
    const TZajetosc busy(busy_);
    sourceFixed = UstawKatalogZrodlowy();
  }
  if (!sourceFixed) {
    Close();
    return;
  }
  ShowPage(0);
}

bool TfrmMain::UstawKatalogZrodlowy() {
  if (!kPrzelacznikiBudowy.sourceFromDialog) {
    sourceDirectory_ = InstallerDriveRoot();
    return true;
  }
  if (sourceDirectory_.empty()) {
    sourceDirectory_ = frmCD().ChooseSourceDrive(Handle());
  }
  return !sourceDirectory_.empty();
}

// --- Language ------------------------------------------------------------------------------

void TfrmMain::ApplyLanguage(LanguageId language) {
  language_ = language;
  if (Handle() == nullptr) {
    return;
  }
  // The dialogs re-caption themselves.
  frmPytanie().SetLanguage(language);
  frmKatalog().SetLanguage(language);
  frmKatalogDodaj().SetLanguage(language);
  frmCD().SetLanguage(language);
  // The frame's fonts: the dialog's own, and the title band's two.
  ApplyLanguageFontToDialog(Handle(), language);
  ::SendMessageW(Item(IDC_lblTytul), WM_SETFONT,
                 reinterpret_cast<WPARAM>(LanguageFont(titleFont_.Get(), language)), TRUE);
  ::SendMessageW(Item(IDC_lblKrok), WM_SETFONT,
                 reinterpret_cast<WPARAM>(LanguageFont(stepFont_.Get(), language)), TRUE);
  // The window caption (the task bar shows it too) and the title band.
  SetCaption(FormatText(GetText(language, kTekstTytulOkna, false), {ProductTitle(language, true)},
                        true, language));
  SetItemText(IDC_lblTytul, FormatText(GetText(language, kTekstTytulKreatora, false),
                                       {ProductTitle(language, false)}, false, language));
  // The buttons.
  for (const auto& [id, textId] : kNapisyPrzyciskow) {
    SetItemText(id, GetText(language, textId, false));
  }
  SetItemText(IDC_btnZamknij,
              GetText(language, PageButtons(page_, umowa_.Accepted()).closeTextId, false));
  // Every page's fonts and captions (the options page measures again while in front).
  for (int page = 1; page <= kLiczbaStron; ++page) {
    Page(page).ApplyLanguage(language, page == page_);
  }
  UpdateStepCaption();
}

void TfrmMain::UpdateStepCaption() {
  SetItemText(IDC_lblKrok, StepCaption(language_, page_));
}

// --- Pages ---------------------------------------------------------------------------------

void TfrmMain::ShowPage(int delta) {
  const std::optional<int> target = PageSwitchTarget(page_, delta, busy_);
  if (!target) {
    return;
  }
  const TZajetosc busy(busy_);
  EnterPage(*target);
  if (page_ == kStronaInstalacja) {
    RunInstallationPage();
    EnterPage(kStronaKoniec);  // the run over, whatever its outcome
  }
}

void TfrmMain::EnterPage(int page) {
  page_ = page;
  UpdateStepCaption();
  for (int i = 1; i <= kLiczbaStron; ++i) {
    Page(i).Present(i == page_);
  }
  const TStanPrzyciskow buttons = PageButtons(page_, umowa_.Accepted());
  EnableItem(IDC_btnDalej, buttons.nextEnabled);
  EnableItem(IDC_btnWstecz, buttons.backEnabled);
  EnableItem(IDC_btnZamknij, true);
  SetItemText(IDC_btnZamknij, GetText(language_, buttons.closeTextId, false));
  Page(page_).OnEnter();
}

void TfrmMain::RunInstallationPage() {
  const TOpcjeInstalacji options = opcje_.RunOptions();
  {
    // No logoff or restart cuts the run in half: the session's end waits until it is over.
    const TBlokadaKoncaSesji block(Handle(), GetText(language_, kTekstKopiowaniePlikow, false),
                                   sessionEndRefused_);
    instalacja_.Run(options);
  }
  instalacja_.ProcessMessages();
}

// --- Buttons -------------------------------------------------------------------------------

void TfrmMain::btnDalejClick() {
  if (!Page(page_).CanLeave()) {
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
      instalacja_.RequestCancel();  // the run asks at its next check point
      break;
    case kStronaKoniec:
      Close();
      break;
    default:
      if (frmPytanie().Ask(Handle(), GetText(language_, kTekstCzyPrzerwac, false),
                           kPytanieTakNie) == kWynikTak) {
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
      if (::IsWindowEnabled(Item(IDC_btnDalej))) {
        btnDalejClick();
      }
      return true;
    case IDCANCEL:  // Escape, Alt+F4: the Close button, when it may be pressed
      if (::IsWindowEnabled(Item(IDC_btnZamknij))) {
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

}  // namespace orvala
