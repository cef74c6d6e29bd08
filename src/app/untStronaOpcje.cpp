// TStronaOpcje: the options page's edition options, target directory, free space and the
// checks of Next that give the run its options.
#include "app/untStronaOpcje.h"

#include <utility>

#include "app/untKreator.h"
#include "config/untInstalStale.h"
#include "config/untInstalTeksty.h"
#include "config/untInstalTekstyId.h"
#include "config/untStaleApp.h"
#include "dialogs/untFormyDialogowe.h"
#include "engine/untSciezki.h"
#include "platform/untPlatforma.h"
#include "untIdentyfikatory.h"

namespace orvala {

namespace {

constexpr std::pair<int, int> kNapisy[] = {
    {IDC_gbxKatalog, kTekstZainstalujWKatalogu},
    {IDC_btnKatalog, kTekstZmien},
    {IDC_chbInstalujSlowniki, kTekstZainstalujSlowniki},
    {IDC_chbUtworzGrupe, kTekstUtworzGrupe},
    {IDC_chbUtworzSkrotyTranslatorow, kTekstSkrotyTranslatorow},
    {IDC_chbUtworzSkrotySlownikow, kTekstSkrotySlownikow},
    {IDC_chbSkrotyAllUsers, kTekstSkrotyWszystkim},
    {IDC_lblSkrotyAllUsers, kTekstUprawnieniaAdmina},
    {IDC_chbInstalujMSWord, kTekstModulWord},
    {IDC_chbInstalujMSIE, kTekstModulPrzegladarki},
};

// The full folder path that text 317 gives as an example.
const TWideString kPrzykladKatalogu = u"C:\\Orvala";

// A separator of the user's locale (LOCALE_STHOUSAND, LOCALE_SDECIMAL), or `fallback`.
TWideString LocaleSeparator(LCTYPE type, const char16_t* fallback) {
  wchar_t buffer[8] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 8) > 1) {
    return FromWideChars(buffer);
  }
  return fallback;
}

TWideString Megabytes(std::int64_t bytes) {
  return FormatMegabytes(bytes, LocaleSeparator(LOCALE_STHOUSAND, u","),
                         LocaleSeparator(LOCALE_SDECIMAL, u"."));
}

}  // namespace

TStronaOpcje::TStronaOpcje(TRamaKreatora& frame, TDziennikPrzebiegu& journal)
    : TStronaKreatora(L"TPNLOPCJE", IDC_pnlOpcje, frame), journal_(journal) {}

void TStronaOpcje::UstawOpcjeEdycji() {
  // The all-users option when the two Programs folders differ.
  const int e = ActiveEdition();
  const bool allUsers =
      e >= 6 && e <= 12 && ProgramsFolderFromRegistry(true) != ProgramsFolderFromRegistry(false);
  for (int id : {IDC_chbSkrotyAllUsers, IDC_lblSkrotyAllUsers}) {
    EnableItem(id, allUsers);
    ShowItem(id, allUsers);
  }
  // The add-in options of edition 12.
  const bool addIns = e == 12;
  for (int id : {IDC_chbInstalujMSWord, IDC_chbInstalujMSIE}) {
    EnableItem(id, addIns);
    CheckItem(id, addIns);
    ShowItem(id, addIns);
  }
  for (int id : {IDC_chbInstalujSlowniki, IDC_chbUtworzGrupe, IDC_chbUtworzSkrotyTranslatorow,
                 IDC_chbUtworzSkrotySlownikow}) {
    CheckItem(id, true);
  }
}

void TStronaOpcje::UstawKatalogDocelowy() {
  targetDirectory_ =
      DefaultTargetDirectory(ProgramFilesDirectory(), ActiveEditionDescriptor().programFolder);
  targetNameable_ = true;
  ShowTarget();
}

void TStronaOpcje::ShowTarget() const {
  SetItemText(IDC_lblKatalog, platform::Platform().WidenPath(targetDirectory_));
}

void TStronaOpcje::btnKatalogClick() {
  const TWideString chosen =
      frmKatalog().ChooseDirectory(ItemText(IDC_lblKatalog), std::string(), Frame().FrameHandle());
  SetItemText(IDC_lblKatalog, chosen);
  // A name without an 8-bit form keeps the nearest one for the free space (only the drive
  // counts there) and is refused by Next.
  targetNameable_ = platform::Platform().NarrowPath(chosen, targetDirectory_);
  SprawdzWolneMiejsce();
}

void TStronaOpcje::chbInstalujSlownikiClick() {
  SprawdzWolneMiejsce();
}

bool TStronaOpcje::OnClick(int id) {
  switch (id) {
    case IDC_btnKatalog:
      btnKatalogClick();
      return true;
    case IDC_chbInstalujSlowniki:
      chbInstalujSlownikiClick();
      return true;
    default:
      return false;
  }
}

void TStronaOpcje::OnEnter() {
  SprawdzWolneMiejsce();
  TStronaKreatora::OnEnter();
}

void TStronaOpcje::ApplyLanguage(LanguageId language, bool current) {
  TStronaKreatora::ApplyLanguage(language, current);
  SetItemTexts(kNapisy);
  if (current) {
    SprawdzWolneMiejsce();
  }
}

bool TStronaOpcje::SprawdzWolneMiejsce() {
  const TMiejsceNaDysku m = MeasureSpace(WithoutTrailingBackslash(Frame().SourceDirectory()),
                                         targetDirectory_, IsItemChecked(IDC_chbInstalujSlowniki));
  requiredBytes_ = m.requiredBytes;
  spaceShort_ = !m.enough;
  MarkSpaceShortage();
  const LanguageId language = Language();
  SetItemText(IDC_lblMiejsceWolne, FormatText(GetText(language, kTekstMiejsceWolne, false),
                                              {Megabytes(m.freeBytes)}, false, language));
  SetItemText(IDC_lblMiejsceWymagane, FormatText(GetText(language, kTekstMiejscePotrzebne, false),
                                                 {Megabytes(requiredBytes_)}, false, language));
  if (HWND label = Item(IDC_lblMiejsceWolne)) {
    ::InvalidateRect(label, nullptr, TRUE);
  }
  return m.enough;
}

void TStronaOpcje::MarkSpaceShortage() {
  HWND label = Item(IDC_lblMiejsceWolne);
  HWND sibling = Item(IDC_lblMiejsceWymagane);  // keeps the page's font
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

bool TStronaOpcje::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  // The shortage in red; a high-contrast scheme keeps its own colours (bold there).
  if (message != WM_CTLCOLORSTATIC ||
      ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_lblMiejsceWolne || !spaceShort_ ||
      HighContrastOn()) {
    return false;
  }
  HDC dc = reinterpret_cast<HDC>(wParam);
  ::SetTextColor(dc, RGB(255, 0, 0));
  ::SetBkMode(dc, TRANSPARENT);
  result = reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_3DFACE));
  return true;
}

bool TStronaOpcje::SprawdzOpcje() {
  const LanguageId language = Language();
  HWND owner = Frame().FrameHandle();
  const TWideString shown = ItemText(IDC_lblKatalog);
  const auto ask = [language, owner, &shown](TPytanieOpcji question) {
    if (question == TPytanieOpcji::ZaMaloMiejsca) {
      return frmPytanie().Ask(owner, GetText(language, kTekstZaMaloMiejsca, false),
                              kPytanieTakNie) == kWynikTak;
    }
    const int text = question == TPytanieOpcji::NiepelnaSciezka  ? kTekstNiepelnaSciezka
                     : question == TPytanieOpcji::ZaDlugaSciezka ? kTekstZaDlugaSciezka
                                                                 : kTekstNieMoznaUtworzyc;
    frmPytanie().Ask(
        owner,
        FormatText(GetText(language, text, false), {shown, kPrzykladKatalogu}, false, language),
        kPytanieOK);
    return false;
  };
  if (!targetNameable_) {
    ask(TPytanieOpcji::NieMoznaUtworzyc);
    return false;
  }
  const TNajdluzszeSciezki longest = LongestRelativePaths(
      WithoutTrailingBackslash(Frame().SourceDirectory()),
      BuildExclusionList(ActiveEdition(), IsItemChecked(IDC_chbInstalujSlowniki)));
  return CheckChosenTarget(
      targetDirectory_, longest, [this] { return SprawdzWolneMiejsce(); }, ask, journal_);
}

TOpcjeInstalacji TStronaOpcje::RunOptions() const {
  TOpcjeInstalacji options;
  options.sourceDirectory = Frame().SourceDirectory();
  options.targetDirectory = targetDirectory_;
  options.language = Language();
  options.installDictionaries = IsItemChecked(IDC_chbInstalujSlowniki);
  options.createGroup = IsItemChecked(IDC_chbUtworzGrupe);
  options.desktopTranslators = IsItemChecked(IDC_chbUtworzSkrotyTranslatorow);
  options.desktopDictionaries = IsItemChecked(IDC_chbUtworzSkrotySlownikow);
  options.allUsers = IsItemChecked(IDC_chbSkrotyAllUsers);
  options.installWordAddIn = IsItemChecked(IDC_chbInstalujMSWord);
  options.installBrowserAddIn = IsItemChecked(IDC_chbInstalujMSIE);
  options.requiredBytes = requiredBytes_;
  return options;
}

}  // namespace orvala
