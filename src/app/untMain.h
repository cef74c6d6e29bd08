// TfrmMain: the wizard window of the setup program.
//
// One fixed-size frame (side picture, title band in the window colour with the title and the
// step caption, the page area, the button bar) with five pages stacked in the page area, each a
// child dialog of its own template and a class of its own (untStrona*). The frame keeps the
// current page, its own controls and the three buttons: it moves between the pages (ShowPage,
// with the decisions of untKreator), re-captions itself and asks every page to do the same
// (ApplyLanguage), asks for the source directory once before the first page, and on page 4
// lets the installation page run before the end page comes.
#pragma once

#include <array>
#include <string>

#include "app/untStronaInstalacja.h"
#include "app/untStronaKoniec.h"
#include "app/untStronaKreatora.h"
#include "app/untStronaOpcje.h"
#include "app/untStronaUmowa.h"
#include "app/untStronaWstep.h"
#include "dialogs/untIkonaProgramu.h"
#include "dialogs/untOkno.h"
#include "platform/win32/untUchwyty.h"
#include "textutil/untTekst.h"

namespace orvala {

class TfrmMain : public TOkno, public TRamaKreatora {
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
  void btnDalejClick();
  void btnWsteczClick();
  void btnZamknijClick();

  // --- Operations ----------------------------------------------------------------------------
  void ShowPage(int delta);
  void ApplyLanguage(LanguageId language);
  void UpdateStepCaption();
  // Fixes the source directory (asks the CD dialog once); false when the user cancelled it.
  bool UstawKatalogZrodlowy();

  // --- TRamaKreatora -------------------------------------------------------------------------
  HWND FrameHandle() const override { return Handle(); }
  LanguageId InterfaceLanguage() const override { return language_; }
  const std::string& SourceDirectory() const override { return sourceDirectory_; }
  void SelectLanguage(LanguageId language) override { ApplyLanguage(language); }
  void EnableNext(bool enabled) override;
  void EnableClose(bool enabled) override;
  void FocusControl(HWND control) override;
  HWND FrameButton(int id) const override { return Item(id); }
  void FrameCommand(int id) override;

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
  void OnDestroy() override;

 private:
  TStronaKreatora& Page(int page) const { return *pages_[static_cast<std::size_t>(page - 1)]; }
  // Every close request ends here: Escape, Alt+F4 and the Close button reach it through
  // btnZamknijClick, which on page 4 only asks the run to stop (it asks the user itself).
  void Close();
  // The running mark goes, as the window's destruction and the session's end take it.
  void ClearInProgressMark() const;
  // Brings `page` to the front: step caption, panels, buttons, then the page's own entry.
  void EnterPage(int page);
  void RunInstallationPage();
  void LayOut();
  void PaintFrame();
  void DrawSidePicture(const DRAWITEMSTRUCT& item) const;

  bool busy_ = false;            // a page switch or the run is going: another switch does nothing
  std::string sourceDirectory_;  // the CD's root, with trailing backslash
  int page_ = 1;
  LanguageId language_ = 0;

  // The pages; the options page records in the installation page's journal, the end page reads
  // the installation page's outcome.
  TStronaWstep wstep_{*this};
  TStronaUmowa umowa_{*this};
  TStronaInstalacja instalacja_{*this};
  TStronaOpcje opcje_{*this, instalacja_.State().journal};
  TStronaKoniec koniec_{*this, instalacja_.State()};
  const std::array<TStronaKreatora*, 5> pages_{&wstep_, &umowa_, &opcje_, &instalacja_, &koniec_};

  platform::win32::TUchwytCzcionki
      titleFont_;  // lblTytul: Arial bold 12 px, before the language is applied
  platform::win32::TUchwytCzcionki stepFont_;  // lblKrok: Arial 12 px
  platform::win32::TUchwytBitmapy image1_;     // the side picture
  TIkonaProgramu icon_;
  bool sessionEndRefused_ = false;  // the run is going: a logoff or restart must wait
};

}  // namespace orvala
