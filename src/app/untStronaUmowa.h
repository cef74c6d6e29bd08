// TStronaUmowa: page 2, the licence in a read-only rich-text view and the accept / do not
// accept choice that Next depends on.
#pragma once

#include "app/untStronaKreatora.h"

namespace orvala {

class TStronaUmowa : public TStronaKreatora {
 public:
  explicit TStronaUmowa(TRamaKreatora& frame);

  bool Accepted() const;
  void OnEnter() override;
  void ApplyLanguage(LanguageId language, bool current) override;

  void LoadLicence();
  void rdbUmowaAkceptujeClick();

 protected:
  bool OnClick(int id) override;

 private:
  void SetLicenceMargins(HWND red) const;
};

}  // namespace orvala
