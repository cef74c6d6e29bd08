// Holding a logoff or restart back while the installation run copies and writes.
//
// While a TBlokadaKoncaSesji exists, `refused` is true (the window answers WM_QUERYENDSESSION
// with FALSE while it is) and, from Windows Vista on, the system names `reason` beside the
// window in its list of programs that keep the session from ending. The reason functions of
// user32 are looked up at run time: Windows XP has none, and there the refusal alone holds.
#pragma once

#include "platform/win32/untWindows.h"
#include "textutil/untTekst.h"

namespace orvala {

class TBlokadaKoncaSesji {
 public:
  TBlokadaKoncaSesji(HWND window, const TWideString& reason, bool& refused);
  ~TBlokadaKoncaSesji();
  TBlokadaKoncaSesji(const TBlokadaKoncaSesji&) = delete;
  TBlokadaKoncaSesji& operator=(const TBlokadaKoncaSesji&) = delete;

 private:
  HWND window_;
  bool& refused_;
  bool reasonGiven_ = false;
};

}  // namespace orvala
