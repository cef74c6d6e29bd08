// TfrmKatalogDodaj: asks for the name of a new folder (for TfrmKatalog).
//
// On show the edit is emptied and focused; btnDodaj is enabled exactly when the edit is not
// empty. The name undergoes no test of its own: an impossible name fails when the directory
// is created.
#pragma once

#include <optional>
#include <string>

#include "dialogs/untOkno.h"
#include "textutil/untTekst.h"

namespace orvala {

class TfrmKatalogDodaj : public TOkno {
 public:
  TfrmKatalogDodaj();

  // Caption text 224 (languageCodePage true), btnDodaj 222, btnAnuluj 6; the window font.
  void SetLanguage(LanguageId language);
  LanguageId Language() const { return language_; }

  // Shows the dialog centred over `owner`. The typed name as typed, or nullopt when the user
  // cancelled.
  std::optional<TWideString> AskFolderName(HWND owner);

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  LanguageId language_ = 0;
  TWideString caption_;
  TWideString captionDodaj_;
  TWideString captionAnuluj_;
  HWND owner_ = nullptr;
  TWideString name_;
};

}  // namespace orvala
