// TStronaInstalacja: page 4, where the installation runs. It owns the run's state (the journal,
// the bytes done, the outcome flags) and is the run's observer: the stage and file labels, the
// gauge, the frame's Close button, pending messages and the run's questions.
#pragma once

#include <cstdint>

#include "app/untStronaKreatora.h"
#include "engine/untPrzebiegInstalacji.h"

namespace orvala {

class TStronaInstalacja : public TStronaKreatora, public TObserwatorInstalacji {
 public:
  explicit TStronaInstalacja(TRamaKreatora& frame);

  TStanInstalacji& State() { return stan_; }
  const TStanInstalacji& State() const { return stan_; }

  // Runs the installation with `options`; returns when it is over (success, cancel or failure).
  void Run(const TOpcjeInstalacji& options);
  // The Close button during the run: the run asks at its next check point.
  void RequestCancel() { stan_.cancelRequested = true; }

  void OnEnter() override;
  void ApplyLanguage(LanguageId language, bool current) override;

  // --- TObserwatorInstalacji -----------------------------------------------------------------
  void ShowStage(const TWideString& text) override;
  void ShowFiles(const TWideString& from, const TWideString& to) override;
  void SetGauge(std::uint32_t maximum, std::uint32_t position) override;
  void EnableClose(bool enabled) override;
  void ProcessMessages() override;
  std::uint32_t Milliseconds() override;
  bool AskYesNo(const TWideString& text) override;
  void Inform(const TWideString& text) override;

 private:
  TStanInstalacji stan_;  // rollback journal, bytes done, success/running/cancel flags
};

}  // namespace orvala
