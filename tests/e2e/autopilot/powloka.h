// The autopilot's look at what the shell makes of the setup program's windows (the task-bar
// button) and its way of ending the session. Each returns an empty text when it holds,
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

}  // namespace autopilot
