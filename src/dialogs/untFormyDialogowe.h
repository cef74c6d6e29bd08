// The four dialogs of the program, created once at start and kept to exit.
//
// The program entry creates one TFormyDialogowe after the wizard window; its constructor creates
// the forms in the order TfrmKatalog, TfrmKatalogDodaj, TfrmPytanie, TfrmCD and installs the set
// as the process-wide one, which frmKatalog(), frmKatalogDodaj(), frmPytanie() and frmCD()
// return (the way Delphi's global form variables are used). Its destructor uninstalls it.
// Calling an accessor while no set is installed is a program error (it aborts with a message).
// Tests create forms on their own (TfrmPytanie pytanie;) or their own set.
#pragma once

#include "dialogs/untCD.h"
#include "dialogs/untKatalog.h"
#include "dialogs/untKatalogDodaj.h"
#include "dialogs/untPytanie.h"

namespace orvala {

class TFormyDialogowe {
 public:
  TFormyDialogowe();
  ~TFormyDialogowe();
  TFormyDialogowe(const TFormyDialogowe&) = delete;
  TFormyDialogowe& operator=(const TFormyDialogowe&) = delete;

  // Re-captions all four dialogs in `language`.
  void SetLanguage(LanguageId language);

  // Declaration order is creation order. katalog only keeps references to the next two.
  TfrmKatalog katalog;
  TfrmKatalogDodaj katalogDodaj;
  TfrmPytanie pytanie;
  TfrmCD cd;

 private:
  TFormyDialogowe* previous_;
};

TfrmKatalog& frmKatalog();
TfrmKatalogDodaj& frmKatalogDodaj();
TfrmPytanie& frmPytanie();
TfrmCD& frmCD();

}  // namespace orvala
