// The autopilot's way to the setup program's windows: control identifiers by their IDC_ names,
// a form's windows by its signature control, a control among a window's descendants, and a
// window's text and answers read without hanging on a program that does not answer.
#pragma once

#include <optional>
#include <string>

#include "platform/win32/untWindows.h"

namespace autopilot {

// Reads the identifier headers (idMain.h, idDialogi.h) of `directory`; false when none was read.
bool ReadIds(const std::wstring& directory);
std::optional<int> IdOf(const std::string& name);

// Whether `form` is one of the forms the autopilot knows (TfrmMain, TfrmCD, ...).
bool KnownForm(const std::string& form);

struct TOknaFormy {
  HWND first = nullptr;  // the first in z-order
  int count = 0;
};
// The windows of `form`, the top-level dialogs that hold its signature control: all of them or
// only the visible ones.
TOknaFormy SearchForm(const std::string& form, bool visibleOnly);
inline HWND FindFormWindow(const std::string& form, bool visibleOnly = true) {
  return SearchForm(form, visibleOnly).first;
}

// A control among all descendants of `window` (the pages are child dialogs of the frame).
HWND FindControl(HWND window, int id);

// WM_GETTEXT in the W form, as UTF-8 ("<no answer>" when the window does not answer in 2 s).
std::string Text(HWND window);
// A message sent with a 2 s limit; its result (0 without an answer).
LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

}  // namespace autopilot
