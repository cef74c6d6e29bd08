// TStronaOpcje: page 3, the installation options. It owns the target directory (in the 8-bit
// form the run takes; lblKatalog only shows it), the free-space figures and the option boxes,
// checks them when Next is pressed and gives the run its options.
#pragma once

#include <cstdint>
#include <string>

#include "app/untStronaKreatora.h"
#include "engine/untDziennikPrzebiegu.h"
#include "engine/untPrzebiegInstalacji.h"
#include "platform/win32/untUchwyty.h"

namespace orvala {

class TStronaOpcje : public TStronaKreatora {
 public:
  // `journal`: where a target directory created by Next is recorded, the run's first entry.
  TStronaOpcje(TRamaKreatora& frame, TDziennikPrzebiegu& journal);

  // The edition's option boxes (all-users shortcuts, add-ins) and their first states.
  void UstawOpcjeEdycji();
  void UstawKatalogDocelowy();
  bool SprawdzWolneMiejsce();
  // The checks of Next: a target that is a full folder path, fits, exists or can be created,
  // and has room (or a Yes to too little room).
  bool SprawdzOpcje();
  // What the run takes, once CanLeave has said yes.
  TOpcjeInstalacji RunOptions() const;

  void OnEnter() override;
  bool CanLeave() override { return SprawdzOpcje(); }
  void ApplyLanguage(LanguageId language, bool current) override;

  void btnKatalogClick();
  void chbInstalujSlownikiClick();

 protected:
  bool OnClick(int id) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void ShowTarget() const;
  // Under a high-contrast scheme the shortage of space is shown in bold, not only in colour.
  void MarkSpaceShortage();

  TDziennikPrzebiegu& journal_;
  std::string targetDirectory_;  // without trailing backslash
  bool targetNameable_ = true;   // the chosen folder's name has an 8-bit form
  std::int64_t requiredBytes_ = 0;
  bool spaceShort_ = false;  // lblMiejsceWolne is red (bold under a high-contrast scheme)
  platform::win32::TUchwytCzcionki shortageFont_;  // lblMiejsceWolne's font in bold
};

}  // namespace orvala
