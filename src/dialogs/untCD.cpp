// TfrmCD: the CD-drive question, its captions, and the list of candidate drives.
#include "dialogs/untCD.h"

#include "config/untInstalStale.h"
#include "config/untInstalTeksty.h"
#include "config/untInstalTekstyId.h"
#include "config/untStaleApp.h"
#include "dialogs/untNapedyCD.h"
#include "platform/untPlatforma.h"
#include "textutil/untUtilsEdytor.h"
#include "untIdentyfikatory.h"

namespace orvala {

namespace {

// The product title of `language`: the home title for the home language, the edition title
// (storage form) for any other, made readable for the language.
TWideString Title(LanguageId language, bool languageCodePage) {
  const TOpisEdycji& edition = ActiveEditionDescriptor();
  const std::string_view title =
      language == HomeLanguage() ? edition.homeTitle : edition.editionTitle;
  return ConvertStoredText(title, language, languageCodePage);
}

}  // namespace

TfrmCD::TfrmCD() : TOkno(L"TFRMCD") {
  SetLanguage(0);
}

void TfrmCD::SetLanguage(LanguageId language) {
  language_ = language;
  caption_ = FormatText(GetText(language, kTekstInstalator, false), {Title(language, true)}, true,
                        language);
  text_ = FormatText(GetText(language, kTekstWlozPlyte, false), {Title(language, false)}, false,
                     language);
  captionOK_ = GetText(language, kTekstOK, false);
  captionAnuluj_ = GetText(language, kTekstAnuluj, false);
  if (Handle() != nullptr) {
    ApplyLanguageFontToDialog(Handle(), language_);
    SetCaption(caption_);
    SetItemText(IDC_lblCD, text_);
    SetItemText(IDC_btnOK, captionOK_);
    SetItemText(IDC_btnAnuluj, captionAnuluj_);
  }
}

std::string TfrmCD::ChooseSourceDrive(HWND owner) {
  for (;;) {
    roots_ = SourceCandidates();  // read anew at every showing
    chosenIndex_ = -1;
    if (ShowModal(owner) != IDOK) {
      return {};
    }
    const std::string root =
        chosenIndex_ >= 0 && static_cast<std::size_t>(chosenIndex_) < roots_.size()
            ? roots_[static_cast<std::size_t>(chosenIndex_)]
            : std::string();
    if (HoldsPackage(root)) {
      return root;
    }
  }
}

void TfrmCD::OnInitDialog() {
  ShowOnTaskbarWhileOwnerHidden();
  icon_.Apply(Handle());
  ApplyLanguageFontToDialog(Handle(), language_);
  SetCaption(caption_);
  SetItemText(IDC_lblCD, text_);
  SetItemText(IDC_btnOK, captionOK_);
  SetItemText(IDC_btnAnuluj, captionAnuluj_);
  HWND combo = Item(IDC_cmbDrive);
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& root : roots_) {
    const TWideString text = platform::Platform().WidenPath(root);
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  if (!roots_.empty()) {
    ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
  }
  CentreOnScreen();
  FocusItem(IDC_cmbDrive);
}

bool TfrmCD::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) {
    return false;
  }
  switch (id) {
    case IDC_btnOK:
    case IDOK: {
      const LRESULT selected = ::SendMessageW(Item(IDC_cmbDrive), CB_GETCURSEL, 0, 0);
      chosenIndex_ = selected == CB_ERR ? -1 : static_cast<int>(selected);
      EndModal(IDOK);
      return true;
    }
    case IDC_btnAnuluj:
    case IDCANCEL:
      EndModal(IDCANCEL);
      return true;
    default:
      return false;
  }
}

}  // namespace orvala
