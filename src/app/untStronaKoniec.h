// TStronaKoniec: page 5, the outcome of the run (success, cancelled or failed) in one label.
#pragma once

#include "app/untStronaKreatora.h"
#include "engine/untPrzebiegInstalacji.h"

namespace orvala {

class TStronaKoniec : public TStronaKreatora {
 public:
  // `run`: the installation page's state, whose flags give the outcome.
  TStronaKoniec(TRamaKreatora& frame, const TStanInstalacji& run);

  void OnEnter() override;
  void ApplyLanguage(LanguageId language, bool current) override;

 private:
  void ShowOutcome() const;

  const TStanInstalacji& run_;
};

}  // namespace orvala
