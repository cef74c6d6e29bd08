// The autopilot's look at what the shell makes of the setup program's windows (icons, task-bar
// button) and its way of ending the session. Each check returns an empty text when it holds,
// otherwise what is wrong.
#pragma once

#include <string>

#include "platform/win32/untWindows.h"

namespace autopilot {

// The window has a big and a small icon of its own (WM_GETICON), as Alt+Tab and the task bar
// show them.
std::string CheckIcons(HWND window);
// The window gets a task-bar button: visible, not a tool window, and unowned or marked
// WS_EX_APPWINDOW.
std::string CheckTaskbarButton(HWND window);
// Asks every program of the session to end, as a logoff does (`wineboot --end-session`), and
// waits for the request to be answered.
std::string EndSession();

}  // namespace autopilot
