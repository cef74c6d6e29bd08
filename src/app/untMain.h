// TfrmMain: the wizard window of the setup program.
//
// One fixed-size frame (side picture, title band in the window colour with the title and the
// step caption, the page area, the button bar) with five pages stacked in the page area, each a
// child dialog (TStronaKreatora) of its own template. The frame owns the wizard state, moves
// between the pages (ShowPage), re-captions everything in the interface language (ApplyLanguage)
// and, on page 4, runs the installation inside the Next handler, serving as its observer.
//
// The decisions that need no window live in untKreator; this class moves their results into
// the controls and reads the controls back.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "dialogs/untIkonaProgramu.h"
#include "dialogs/untOkno.h"
#include "dialogs/untUchwytyDialogow.h"
#include "platform/win32/untUchwyty.h"
#include "engine/untPrzebiegInstalacji.h"
#include "textutil/untTekst.h"

namespace orvala {

class TfrmMain;

// One page panel: a child dialog of the frame that hands its commands and colours to it.
class TStronaKreatora : public TOkno {
 public:
  TStronaKreatora(const wchar_t* templateName, int panelId, TfrmMain& frame);
  int PanelId() const { return panelId_; }

 protected:
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  int panelId_;
  TfrmMain& frame_;
};

class TfrmMain : public TOkno, public TObserwatorInstalacji {
 public:
  TfrmMain();
  ~TfrmMain() override;
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  // Creates the window (hidden); its FormCreate runs now. False when it cannot be created.
  bool CreateForm();
  // Runs FormShow, then shows the window unless FormShow closed it.
  void Show();

  // --- Handlers ------------------------------------------------------------------------------
  void FormCreate();
  void FormShow();
  void FormDestroy();
  bool FormCloseQuery();
  void btnDalejClick();
  void btnWsteczClick();
  void btnZamknijClick();
  void btnPolskiClick(int clickedId);
  void rdbUmowaAkceptujeClick();
  void btnKatalogClick();
  void chbInstalujSlownikiClick();

  // --- Operations ----------------------------------------------------------------------------
  void ShowPage(int delta);
  void ApplyLanguage(LanguageId language);
  void UpdateStepCaption();
  // Fixes the source directory (asks the CD dialog once); false when the user cancelled it.
  bool UstawKatalogZrodlowy();
  void UstawKatalogDocelowy();
  void LoadLicence();
  void SetLicenceMargins(HWND red) const;
  bool SprawdzWolneMiejsce();
  bool SprawdzOpcje();
  // Under a high-contrast scheme the shortage of space is shown in bold, not only in colour.
  void MarkSpaceShortage();

  // A page's command (forwarded by TStronaKreatora).
  bool PageCommand(int id, int code);
  // A page's WM_CTLCOLORSTATIC; true with `brush` when the page's label takes a colour.
  bool PageLabelColour(HDC dc, HWND label, INT_PTR& brush);

  // --- TObserwatorInstalacji -----------------------------------------------------------------
  void ShowStage(const TWideString& text) override;
  void ShowFiles(const TWideString& from, const TWideString& to) override;
  void SetGauge(std::uint32_t maximum, std::uint32_t position) override;
  void EnableClose(bool enabled) override;
  void ProcessMessages() override;
  std::uint32_t Milliseconds() override;
  bool AskYesNo(const TWideString& text) override;
  void Inform(const TWideString& text) override;

  int CurrentPage() const { return page_; }
  LanguageId InterfaceLanguage() const { return language_; }

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
  void OnDestroy() override;

 private:
  // A control of the frame or of any page, by identifier.
  HWND Control(int id) const;
  void SetText(int id, const TWideString& text) const;
  void SetTextId(int id, int textId) const;
  bool IsChecked(int id) const;
  void SetChecked(int id, bool checked) const;
  void EnableControl(int id, bool enabled) const;
  void ShowControl(int id, bool visible) const;
  void FocusControl(int id) const;
  void Close();
  // The running mark goes, as the window's destruction and the session's end take it.
  void ClearInProgressMark() const;
  void LayOut();
  void PlaceLanguageRow();
  void ApplyFonts();
  void ApplyPageTexts();
  void RunInstallationPage();
  void PaintFrame();
  void DrawSidePicture(const DRAWITEMSTRUCT& item) const;

  // Wizard state, in the order the wizard keeps it.
  bool busy_ = false;
  TStanInstalacji stan_;  // rollback lists, bytes done, success/running/cancel flags
  std::string updateDirectory_;
  std::string sourceDirectory_;             // with trailing backslash
  std::string sourceDirectoryNoBackslash_;  // the same without it
  std::string targetDirectory_;             // without trailing backslash
  std::int64_t freeBytes_ = 0;
  std::int64_t requiredBytes_ = 0;
  int page_ = 1;
  LanguageId language_ = 0;
  bool allUsers_ = false;    // chbSkrotyAllUsers as SprawdzOpcje remembered it
  bool spaceShort_ = false;  // lblMiejsceWolne is red (bold under a high-contrast scheme)
  platform::win32::TUchwytCzcionki shortageFont_;  // lblMiejsceWolne's font in bold

  std::array<std::unique_ptr<TStronaKreatora>, 5> pages_;
  platform::win32::TUchwytCzcionki
      titleFont_;  // lblTytul: Arial bold 12 px, before the language is applied
  platform::win32::TUchwytCzcionki stepFont_;  // lblKrok: Arial 12 px
  platform::win32::TUchwytBitmapy image1_;     // the side picture
  TUchwytIkony polishFlag_;
  TUchwytIkony editionFlag_;
  TIkonaProgramu icon_;
  bool sessionEndRefused_ = false;  // the run is going: a logoff or restart must wait
};

}  // namespace orvala
