// TOkno: the base of every window of the setup program.
//
// A TOkno owns one window made from a dialog template of the program's resources. One dialog
// procedure stores `this` at WM_INITDIALOG and forwards every message to virtual handlers:
// OnMessage first (any message), then OnInitDialog, OnCommand and OnNotify. No exception ever
// leaves the procedure: a handler that throws is caught there and the window is ended safely
// through OnHandlerFailure (a modal dialog ends with IDCANCEL, a modeless window is destroyed).
//
// Two ways of use:
//  - modal (ShowModal, DialogBoxParamW): the window exists only during the call; the object
//    keeps its state (language, captions) and applies it at every OnInitDialog;
//  - modeless (Create, CreateDialogParamW): the window lives until Destroy or the object's
//    destruction; the message loop must give it IsDialogMessageW (RunMessageLoop and
//    ProcessPendingMessages do so for every modeless TOkno) so that Tab, Enter and Escape work.
//
// WM_INITDIALOG always returns FALSE: a handler gives the initial focus explicitly (FocusItem),
// so a read-only control never takes focus with its text selected.
//
// Positions handed to MoveItem / SizeWindowClient are pixels at 96 dpi; they are scaled by the
// window's DPI (per monitor where the system offers it, the system DPI otherwise).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32/untWindows.h"
#include "textutil/untTekst.h"

namespace orvala {

class TOkno {
 public:
  // `templateName`: the dialog template's resource name (L"TFRMPYTANIE") or MAKEINTRESOURCEW.
  // `instance`: the module holding the template; null = the program itself.
  explicit TOkno(const wchar_t* templateName, HINSTANCE instance = nullptr);
  virtual ~TOkno();
  TOkno(const TOkno&) = delete;
  TOkno& operator=(const TOkno&) = delete;

  HWND Handle() const { return hwnd_; }
  bool IsModal() const { return modal_; }

  // Shows the dialog modally over `owner` (may be null). Returns the EndModal result, or -1
  // when the template is missing or the window could not be created.
  INT_PTR ShowModal(HWND owner);
  // Creates the window modeless (hidden unless the template has WS_VISIBLE). False on failure.
  bool Create(HWND owner);
  // Destroys a modeless window; nothing when none exists.
  void Destroy();
  // Ends a modal dialog with `result`.
  void EndModal(INT_PTR result);
  // True when a handler threw during the last showing (the window was ended by the base).
  bool HandlerFailed() const { return handlerFailed_; }

  // --- Controls ----------------------------------------------------------------------------
  HWND Item(int id) const;
  void SetItemText(int id, const TWideString& text) const;
  TWideString ItemText(int id) const;
  void SetCaption(const TWideString& text) const;
  void EnableItem(int id, bool enabled) const;
  void ShowItem(int id, bool visible) const;
  // Moves the focus to control `id` the way the dialog manager does (default button updated).
  void FocusItem(int id) const;
  // Check boxes, radio buttons and push-like buttons: checked (down) or not.
  bool IsItemChecked(int id) const;
  void CheckItem(int id, bool checked) const;

  // --- Geometry (96-dpi pixels) --------------------------------------------------------------
  // The window's DPI (96 when it has none yet) and `pixels96` scaled by it.
  int Dpi() const;
  int Scale(int pixels96) const;
  // Moves and sizes control `id` in client coordinates given in 96-dpi pixels.
  void MoveItem(int id, int x, int y, int width, int height) const;
  // Control `id`'s rectangle in this window's client coordinates (device pixels).
  RECT ItemRect(int id) const;
  // Sets the client area to `width` x `height` device pixels, keeping the window's position.
  void SetClientSize(int width, int height) const;
  // Centres the window over `owner` (integer division; it may extend beyond the owner or the
  // screen), or, when `owner` is null, on the work area of the monitor the user is at: the one
  // that held the last modal dialog of the program (the wizard opens where the CD dialog was),
  // else the one under the mouse, else the primary one.
  void CentreOver(HWND owner) const;
  void CentreOnScreen() const;
  // While the owner is hidden (at start, before the wizard appears) an owned dialog is the
  // program's only window: it gets a task-bar button, so that it cannot be lost behind others.
  void ShowOnTaskbarWhileOwnerHidden() const;

 protected:
  // Called at WM_INITDIALOG, with Handle() already set. Set the focus here.
  virtual void OnInitDialog() {}
  // WM_COMMAND. Return true when handled.
  virtual bool OnCommand(int id, int code, HWND control);
  // WM_NOTIFY. Return true when handled; `result` becomes the message result (DWLP_MSGRESULT).
  virtual bool OnNotify(const NMHDR& header, LRESULT& result);
  // Any message, before the specific handlers. Return true when handled; `result` is what the
  // dialog procedure returns (see DialogProc: usually TRUE for "handled").
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
  // A handler threw: end the window safely. Default: modal → EndModal(IDCANCEL), modeless →
  // DestroyWindow.
  virtual void OnHandlerFailure();
  // The window is being destroyed (WM_DESTROY); Handle() is still valid.
  virtual void OnDestroy() {}

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  const wchar_t* templateName_;
  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  // The monitor of the last modal dialog that ended: where the user is looking.
  static inline HMONITOR lastMonitor_ = nullptr;
  bool handlerFailed_ = false;
};

// The system DPI (LOGPIXELSY of the screen; 96 when it cannot be read).
int SystemDpi();

// Sets / reads a window's text in UTF-16.
void SetWindowTextWide(HWND window, const TWideString& text);
TWideString WindowTextWide(HWND window);

// Gives `message` to the modeless TOkno window it belongs to (IsDialogMessageW). True when the
// dialog manager took it (then it must not be translated or dispatched).
bool TranslateDialogMessage(MSG& message);

// Processes every message waiting in the thread's queue (PeekMessage, dialog keys, translate,
// dispatch) and returns. False when WM_QUIT was met: it is posted again for the main loop.
bool ProcessPendingMessages();

// The program's message loop: runs until WM_QUIT and returns its exit code.
int RunMessageLoop();

// True while the user has a high-contrast scheme on: the program then keeps the scheme's colours
// and marks what it would mark in colour otherwise.
bool HighContrastOn();

}  // namespace orvala
