// TfrmKatalogDodaj: the new folder's name.
#include "dialogs/untKatalogDodaj.h"

#include "config/untInstalTeksty.h"
#include "config/untInstalTekstyId.h"
#include "textutil/untUtilsEdytor.h"
#include "untIdentyfikatory.h"

namespace orvala {

TfrmKatalogDodaj::TfrmKatalogDodaj() : TOkno(L"TFRMKATALOGDODAJ") {
  SetLanguage(0);
}

void TfrmKatalogDodaj::SetLanguage(LanguageId language) {
  language_ = language;
  caption_ = GetText(language, kTekstNowyKatalog, true);
  captionDodaj_ = GetText(language, kTekstOK, false);
  captionAnuluj_ = GetText(language, kTekstAnuluj, false);
  if (Handle() != nullptr) {
    ApplyLanguageFontToDialog(Handle(), language_);
    SetCaption(caption_);
    SetItemText(IDC_btnDodaj, captionDodaj_);
    SetItemText(IDC_btnAnuluj, captionAnuluj_);
  }
}

std::optional<TWideString> TfrmKatalogDodaj::AskFolderName(HWND owner) {
  owner_ = owner;
  name_.clear();
  const INT_PTR result = ShowModal(owner);
  owner_ = nullptr;
  if (result != IDOK) {
    return std::nullopt;
  }
  return name_;
}

void TfrmKatalogDodaj::OnInitDialog() {
  ApplyLanguageFontToDialog(Handle(), language_);
  SetCaption(caption_);
  SetItemText(IDC_btnDodaj, captionDodaj_);
  SetItemText(IDC_btnAnuluj, captionAnuluj_);
  SetItemText(IDC_edtDodaj, {});
  EnableItem(IDC_btnDodaj, false);
  CentreOver(owner_);
  FocusItem(IDC_edtDodaj);
}

bool TfrmKatalogDodaj::OnCommand(int id, int code, HWND) {
  if (id == IDC_edtDodaj && code == EN_CHANGE) {
    EnableItem(IDC_btnDodaj, !ItemText(IDC_edtDodaj).empty());
    return true;
  }
  if (code != BN_CLICKED) {
    return false;
  }
  switch (id) {
    case IDC_btnDodaj:
    case IDOK: {
      // Enter reaches here even while btnDodaj is disabled: an empty name is not accepted.
      const TWideString text = ItemText(IDC_edtDodaj);
      if (text.empty()) {
        return true;
      }
      name_ = text;
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
