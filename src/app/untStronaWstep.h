// TStronaWstep: page 1, the introduction, with the language row (the label and the two flag
// buttons, shown only in the editions that offer a choice).
#pragma once

#include "app/untStronaKreatora.h"
#include "dialogs/untUchwytyDialogow.h"

namespace orvala {

class TStronaWstep : public TStronaKreatora {
 public:
  explicit TStronaWstep(TRamaKreatora& frame);

  // The flags, the selector's visibility and the label of the language row.
  void UstawWyborJezyka();
  void ApplyLanguage(LanguageId language, bool current) override;

  void btnPolskiClick(int clickedId);

 protected:
  bool OnClick(int id) override;

 private:
  void PlaceLanguageRow();

  TUchwytIkony polishFlag_;   // btnPolski: the home language's flag
  TUchwytIkony editionFlag_;  // btnAngielski: the edition language's flag
};

}  // namespace orvala
