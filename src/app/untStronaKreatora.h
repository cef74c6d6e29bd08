// TStronaKreatora: one page of the wizard, a child dialog of its own template stacked in the
// frame's page area. Each page owns its controls and its state; the frame (TfrmMain) decides
// which page is in front and calls the page when it comes to the front (OnEnter), when Next is
// pressed on it (CanLeave) and when the interface language changes (ApplyLanguage).
//
// TRamaKreatora is what a page may ask of the frame around it: the interface language, the
// source directory, the frame's window (the owner of the page's questions) and its buttons.
#pragma once

#include <span>
#include <string>
#include <utility>

#include "dialogs/untOkno.h"
#include "textutil/untTekst.h"

namespace orvala {

class TRamaKreatora {
 public:
  virtual HWND FrameHandle() const = 0;
  virtual LanguageId InterfaceLanguage() const = 0;
  // The CD's root with its trailing backslash ("D:\"); empty until the source is fixed.
  virtual const std::string& SourceDirectory() const = 0;
  virtual void SelectLanguage(LanguageId language) = 0;
  virtual void EnableNext(bool enabled) = 0;
  virtual void EnableClose(bool enabled) = 0;
  // Moves the focus to `control` (of the frame or of a page) as the dialog manager does.
  virtual void FocusControl(HWND control) = 0;
  // A frame button (IDC_btnDalej, IDC_btnZamknij) by identifier.
  virtual HWND FrameButton(int id) const = 0;
  // Enter (IDOK) and Escape (IDCANCEL) pressed inside a page go to the frame's buttons.
  virtual void FrameCommand(int id) = 0;

 protected:
  ~TRamaKreatora() = default;
};

class TStronaKreatora : public TOkno {
 public:
  TStronaKreatora(const wchar_t* templateName, int panelId, TRamaKreatora& frame);

  // Creates the page hidden inside `frame`, its window identified by the panel's id.
  bool CreatePanel(HWND frame);
  // In front and enabled when `current`, else hidden and disabled.
  void Present(bool current) const;

  // The page has come to the front (the frame's buttons are set already). By default Next
  // takes the focus.
  virtual void OnEnter();
  // Next was pressed on this page: true when the wizard may go on.
  virtual bool CanLeave() { return true; }
  // Fonts and captions in `language`; `current` while the page is the one in front.
  virtual void ApplyLanguage(LanguageId language, bool current);

 protected:
  // A click on one of the page's own controls; true when handled.
  virtual bool OnClick(int /*id*/) { return false; }
  bool OnCommand(int id, int code, HWND control) override;

  LanguageId Language() const { return frame_.InterfaceLanguage(); }
  TRamaKreatora& Frame() const { return frame_; }
  // Captions given by text id: one (control, text id) pair each.
  void SetItemTexts(std::span<const std::pair<int, int>> captions) const;

 private:
  int panelId_;
  TRamaKreatora& frame_;
};

}  // namespace orvala
