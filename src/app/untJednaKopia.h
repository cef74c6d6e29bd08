// One copy of the setup program at a time in a session.
//
// A second start while a wizard of the session is open (a double click too many, the CD's
// autorun after a start by hand) would give two wizards writing the same target, the same
// running mark and the same record of a run. The first copy holds a named mutex of the session
// (the Local\ namespace: another session has its own) for its whole life; a later copy that
// finds it taken brings the first copy's wizard, or the dialog that wizard has open, to the
// front and ends before it makes a window or writes anything.
//
// The first copy may run elevated, or as another account, while the later one does not: the
// system then refuses the later copy the mutex (ERROR_ACCESS_DENIED), which tells just as well
// that a copy is alive. For the same reason the wizard is found by a property on its window
// (EnumWindows and GetProp see every window of the desktop, whatever its process's rights),
// never through an object that the later copy would have to open.
#pragma once

#include "platform/win32/untUchwyty.h"
#include "platform/win32/untWindows.h"

namespace orvala {

// The session's name that the running copy holds.
inline constexpr wchar_t kNazwaKopii[] = L"Local\\OrvalaPakiet.Instalator";
// The property that marks the running copy's wizard window.
inline constexpr wchar_t kZnakKreatora[] = L"OrvalaPakiet.Instalator.Kreator";
// How long a later copy waits for the wizard of the first one to be made: the first copy holds
// the name from its first step on, its window comes a moment later.
inline constexpr DWORD kCzekanieNaKreator = 3000;

using TUchwytMuteksu = platform::win32::TUchwyt<HANDLE, &::CloseHandle>;

class TJednaKopia {
 public:
  explicit TJednaKopia(const wchar_t* name = kNazwaKopii) : name_(name) {}

  // Claims the name; false when another copy holds it. Held until the object goes; may be
  // called again after a false.
  bool Claim();

 private:
  const wchar_t* name_;
  TUchwytMuteksu mutex_;
};

// The running copy's wizard window carries the mark from its creation until its destruction.
void MarkWizardWindow(HWND window);
void UnmarkWizardWindow(HWND window);

// A later copy's part: brings the marked wizard to the front, restored when it is minimised,
// or the dialog it has open instead (its last active popup). Waits up to `waitMs` for the
// wizard to appear; false when none did.
bool BringFirstCopyForward(DWORD waitMs = kCzekanieNaKreator);

}  // namespace orvala
