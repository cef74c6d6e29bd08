// The program's icon on its top-level windows, so that the caption, Alt+Tab and the task bar
// show the package's icon rather than the system's default one.
//
// The icon resource carries frames from 16 to 256 pixels; each window gets the frame of the
// size the system asks for (SM_CXICON for the big icon, SM_CXSMICON for the small one, both
// following the system DPI). WM_SETICON does not take the icons over: the object keeps them
// and must outlive the windows it gave them to.
#pragma once

#include "dialogs/untUchwytyDialogow.h"
#include "platform/win32/untWindows.h"

namespace orvala {

class TIkonaProgramu {
 public:
  // Gives `window` the big and the small icon (loaded at the first call).
  void Apply(HWND window);

 private:
  TUchwytIkony big_;
  TUchwytIkony small_;
};

}  // namespace orvala
