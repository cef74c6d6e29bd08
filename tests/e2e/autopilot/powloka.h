// The autopilot's look at what the shell makes of the setup program's windows (the task-bar
// button, the window in front) and its ways of ending the session and of starting the program
// once more. Each returns an empty text when it holds,
// otherwise what is wrong. (A window's icons cannot be read from another process under Wine:
// the dialog tests check them in the program's own process.)
#pragma once

#include <string>

#include "platform/win32/untWindows.h"

namespace autopilot {

// The window gets a task-bar button: visible, not a tool window, and unowned or marked
// WS_EX_APPWINDOW.
std::string CheckTaskbarButton(HWND window);
// Asks every program of the session to end, as a logoff does (`wineboot --end-session`), and
// waits for the request to be answered.
std::string EndSession();
// Starts `program` once more as a user does (its folder the current one) and returns at once;
// the process is kept for CheckProgramEnded.
std::string StartProgram(const std::wstring& program);
// The program StartProgram started last has ended within `limitMs`, with exit code `code`.
std::string CheckProgramEnded(DWORD code, DWORD limitMs);
// Minimises `window` (its owned dialogs go out of sight with it).
std::string Minimise(HWND window);
// `window` is the one in front, and `owner` (the wizard it belongs to) is not minimised.
std::string CheckInFront(HWND window, HWND owner);

}  // namespace autopilot
