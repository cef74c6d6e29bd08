// The program's dialogs, made once and reached through their accessors.
#include "dialogs/untFormyDialogowe.h"

#include <cstdio>
#include <cstdlib>

namespace orvala {

namespace {

TFormyDialogowe* gFormy = nullptr;

TFormyDialogowe& Installed() {
  if (gFormy == nullptr) {
    std::fputs("orvala: the dialogs are used before they are created\n", stderr);
    std::abort();
  }
  return *gFormy;
}

}  // namespace

TFormyDialogowe::TFormyDialogowe() : katalog(katalogDodaj, pytanie), previous_(gFormy) {
  gFormy = this;
}

TFormyDialogowe::~TFormyDialogowe() {
  gFormy = previous_;
}

void TFormyDialogowe::SetLanguage(LanguageId language) {
  katalog.SetLanguage(language);
  katalogDodaj.SetLanguage(language);
  pytanie.SetLanguage(language);
  cd.SetLanguage(language);
}

TfrmKatalog& frmKatalog() {
  return Installed().katalog;
}
TfrmKatalogDodaj& frmKatalogDodaj() {
  return Installed().katalogDodaj;
}
TfrmPytanie& frmPytanie() {
  return Installed().pytanie;
}
TfrmCD& frmCD() {
  return Installed().cd;
}

}  // namespace orvala
