#include "app/untMain.h"

#include <commctrl.h>
#include <richedit.h>

#include <optional>
#include <string_view>
#include <vector>

#include "app/untDmInstal.h"
#include "app/untKreator.h"
#include "config/untInstalStale.h"
#include "config/untInstalTeksty.h"
#include "config/untRejestr.h"
#include "config/untStaleApp.h"
#include "dialogs/untFormyDialogowe.h"
#include "dialogs/untTekst1250.h"
#include "engine/untSciezki.h"
#include "platform/untPlatforma.h"
#include "textutil/untUtilsEdytor.h"
#include "untIdentyfikatory.h"

namespace orvala {

namespace {

// Frame layout, pixels at 96 dpi (scaled by the window's DPI when placed).
constexpr int kKlientSzer = 623;
constexpr int kKlientWys = 353;
constexpr int kLewySzer = 137;  // pnlLeft with the stretched side picture
constexpr int kGoraWys = 53;    // white title band pnlTop
constexpr int kDolWys = 37;     // button bar pnlBottom
constexpr int kDolY = kKlientWys - kDolWys;
constexpr int kPrzyciskY = kDolY + 6;
constexpr int kPrzyciskWys = 25;

struct TPolozenie {
  int id, x, y, width, height;
};
constexpr TPolozenie kRama[] = {
    {IDC_Image1, 0, 0, kLewySzer, kKlientWys},
    {IDC_lblTytul, kLewySzer + 8, 8, 469, 18},
    {IDC_lblKrok, kLewySzer + 20, 28, 449, 18},
    {IDC_btnWstecz, kLewySzer + 4, kPrzyciskY, 81, kPrzyciskWys},
    {IDC_btnDalej, kLewySzer + 85, kPrzyciskY, 81, kPrzyciskWys},
    {IDC_btnZamknij, kLewySzer + 409, kPrzyciskY, 75, kPrzyciskWys},
};

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

const wchar_t* W(const TWideString& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

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

TWideString Megabytes(std::int64_t bytes) {
  return FormatMegabytes(bytes, LocaleSeparator(LOCALE_STHOUSAND, u","),
                         LocaleSeparator(LOCALE_SDECIMAL, u"."));
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
  image1_.Reset(
      static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_Image1),
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
  FormDestroy();
  ::PostQuitMessage(0);
}

void TfrmMain::FormDestroy() {
  if (kPrzelacznikiBudowy.clearInProgressAtExit) {
    SetInstallationInProgress(ActiveEdition(), false);
  }
  stan_.createdDirectories.clear();
  stan_.copiedFiles.clear();
}

bool TfrmMain::FormCloseQuery() {
  return true;
}

void TfrmMain::Close() {
  if (Handle() != nullptr && FormCloseQuery()) {
    ::DestroyWindow(Handle());
  }
}

// --- Layout and painting -------------------------------------------------------------------

namespace {

// Sizes a page to `width` x `height` and stretches its controls alike. The page template is
// laid out in dialog units, whose size follows the font's metrics and therefore not exactly the
// DPI; the page area of the frame is in scaled pixels. Fitting the one onto the other keeps the
// controls inside the page at every DPI.
void FitPage(HWND page, int width, int height) {
  RECT natural{};
  ::GetClientRect(page, &natural);
  const int naturalWidth = natural.right > 0 ? natural.right : width;
  const int naturalHeight = natural.bottom > 0 ? natural.bottom : height;
  for (HWND child = ::GetWindow(page, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(HWND_DESKTOP, page, reinterpret_cast<POINT*>(&r), 2);
    const int left = ::MulDiv(r.left, width, naturalWidth);
    const int top = ::MulDiv(r.top, height, naturalHeight);
    const int right = ::MulDiv(r.right, width, naturalWidth);
    const int bottom = ::MulDiv(r.bottom, height, naturalHeight);
    ::MoveWindow(child, left, top, right - left, bottom - top, FALSE);
  }
  ::SetWindowPos(page, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void TfrmMain::LayOut() {
  SetClientSize(Scale(kKlientSzer), Scale(kKlientWys));
  for (const TPolozenie& p : kRama) {
    MoveItem(p.id, p.x, p.y, p.width, p.height);
  }
  for (const auto& page : pages_) {
    if (page && page->Handle() != nullptr) {
      FitPage(page->Handle(), Scale(kKlientSzer - kLewySzer), Scale(kDolY - kGoraWys));
      ::SetWindowPos(page->Handle(), nullptr, Scale(kLewySzer), Scale(kGoraWys), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  CentreOnScreen();

  const int height = Scale(12);
  titleFont_.Reset(::CreateFontW(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                 DEFAULT_PITCH, L"Arial"));
  stepFont_.Reset(::CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                DEFAULT_PITCH, L"Arial"));
}

void TfrmMain::PaintFrame() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(Handle(), &ps);
  if (dc == nullptr) {
    return;
  }
  RECT band{Scale(kLewySzer), 0, Scale(kKlientSzer), Scale(kGoraWys)};
  ::FillRect(dc, &band, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::DrawEdge(dc, &band, EDGE_ETCHED, BF_BOTTOM);
  RECT bar{Scale(kLewySzer), Scale(kDolY), Scale(kKlientSzer), Scale(kKlientWys)};
  ::DrawEdge(dc, &bar, EDGE_ETCHED, BF_TOP);
  ::EndPaint(Handle(), &ps);
}

void TfrmMain::DrawSidePicture(const DRAWITEMSTRUCT& item) const {
  const RECT& r = item.rcItem;
  BITMAP info{};
  platform::win32::TUchwytPamieciDC memory(::CreateCompatibleDC(item.hDC));
  if (!memory || !image1_ || ::GetObjectW(image1_.Get(), sizeof info, &info) == 0) {
    ::FillRect(item.hDC, &r, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    return;
  }
  HGDIOBJ old = ::SelectObject(memory.Get(), image1_.Get());
  ::SetStretchBltMode(item.hDC, HALFTONE);
  ::SetBrushOrgEx(item.hDC, 0, 0, nullptr);
  ::StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory.Get(), 0, 0,
               info.bmWidth, info.bmHeight, SRCCOPY);
  ::SelectObject(memory.Get(), old);
}

bool TfrmMain::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  switch (message) {
    case WM_PAINT:
      PaintFrame();
      result = TRUE;
      return true;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item != nullptr && item->CtlID == IDC_Image1) {
        DrawSidePicture(*item);
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_CTLCOLORSTATIC: {
      const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if (id == IDC_lblTytul || id == IDC_lblKrok) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkColor(dc, RGB(255, 255, 255));
        result = reinterpret_cast<INT_PTR>(::GetStockObject(WHITE_BRUSH));
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

bool TfrmMain::PageLabelColour(HDC dc, HWND label, INT_PTR& brush) {
  if (::GetDlgCtrlID(label) != IDC_lblMiejsceWolne || !spaceShort_) {
    return false;
  }
  ::SetTextColor(dc, RGB(255, 0, 0));
  ::SetBkMode(dc, TRANSPARENT);
  brush = reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_3DFACE));
  return true;
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
  ShowPage(0);
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
  SetText(IDC_lblKatalog, Text1250ToWide(targetDirectory_));
}

void TfrmMain::btnKatalogClick() {
  targetDirectory_ = frmKatalog().ChooseDirectory(targetDirectory_, std::string(), Handle());
  SetText(IDC_lblKatalog, Text1250ToWide(targetDirectory_));
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
  SetText(IDC_lblMiejsceWolne,
          FormatText(GetText(language_, 123, false), {Megabytes(freeBytes_)}, false, language_));
  SetText(IDC_lblMiejsceWymagane, FormatText(GetText(language_, 124, false),
                                             {Megabytes(requiredBytes_)}, false, language_));
  if (HWND label = Control(IDC_lblMiejsceWolne)) {
    ::InvalidateRect(label, nullptr, TRUE);
  }
  return m.enough;
}

bool TfrmMain::SprawdzOpcje() {
  if (page_ != kStronaOpcje) {
    return true;
  }
  allUsers_ = IsChecked(IDC_chbSkrotyAllUsers);
  const TWideString shown = WindowTextWide(Control(IDC_lblKatalog));
  targetDirectory_ = WideToText1250(shown);
  return CheckTargetDirectory(
      targetDirectory_, [this] { return SprawdzWolneMiejsce(); },
      [this, &shown](TPytanieOpcji question) {
        if (question == TPytanieOpcji::ZaMaloMiejsca) {
          return frmPytanie().Ask(Handle(), GetText(language_, 129, false), kPytanieTakNie) ==
                 kWynikTak;
        }
        frmPytanie().Ask(Handle(),
                         FormatText(GetText(language_, 130, false), {shown}, false, language_),
                         kPytanieOK);
        return false;
      },
      stan_.createdDirectories);
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

// --- The installation run ------------------------------------------------------------------

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
  const TWynikInstalacji result = RunInstallation(options, stan_, *this);
  stan_.success = result == TWynikInstalacji::Success;
  stan_.cancelled = result == TWynikInstalacji::Cancelled;
  ProcessMessages();
  busy_ = false;
  ShowPage(+1);
}

void TfrmMain::ShowStage(const TWideString& text) {
  SetText(IDC_lblInstalacjaOpis, text);
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

bool TfrmMain::AskYesNo(const TWideString& text) {
  return frmPytanie().Ask(Handle(), text, kPytanieTakNie) == kWynikTak;
}

}  // namespace orvala
