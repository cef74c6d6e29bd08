// One copy at a time: the session's mutex, the wizard window's mark, and bringing the first
// copy's wizard forward.
#include "app/untJednaKopia.h"

namespace orvala {

namespace {

// Between two looks for a window that is not there yet.
constexpr DWORD kOkresSzukania = 50;
// How long a minimised wizard is given to come back before its dialog is brought forward.
constexpr DWORD kCzekanieNaPrzywrocenie = 1000;

template <typename Condition>
bool WaitFor(Condition condition, DWORD limit) {
  const DWORD start = ::GetTickCount();
  while (!condition()) {
    if (::GetTickCount() - start >= limit) {
      return false;
    }
    ::Sleep(kOkresSzukania);
  }
  return true;
}

BOOL CALLBACK FindMarked(HWND window, LPARAM found) {
  if (::GetPropW(window, kZnakKreatora) == nullptr) {
    return TRUE;
  }
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND FindWizard() {
  HWND found = nullptr;
  ::EnumWindows(&FindMarked, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

bool TJednaKopia::Claim() {
  HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name_);
  const DWORD error = ::GetLastError();
  mutex_.Reset(mutex);
  // Taken by a copy of another account or integrity level: the name exists, opening it is
  // refused. Any other failure leaves this copy as the only one: it must not stop an
  // installation.
  const bool another =
      mutex != nullptr ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
  if (another) {
    mutex_.Reset();  // the name stays the other copy's alone
  }
  return !another;
}

void MarkWizardWindow(HWND window) {
  ::SetPropW(window, kZnakKreatora, window);
}

void UnmarkWizardWindow(HWND window) {
  ::RemovePropW(window, kZnakKreatora);
}

bool BringFirstCopyForward(DWORD waitMs) {
  HWND wizard = nullptr;
  if (!WaitFor([&] { return (wizard = FindWizard()) != nullptr; }, waitMs)) {
    return false;
  }
  // The dialog the wizard has open, else the wizard itself: the one to bring forward.
  HWND front = ::GetLastActivePopup(wizard);
  if (::IsIconic(wizard)) {
    // Restored without being activated (the dialog in front of it is), and asked without
    // waiting for the answer: a wizard in the middle of a long step must not hold this copy up.
    // Its dialog can come forward only once the wizard is shown again.
    ::ShowWindowAsync(wizard, SW_SHOWNOACTIVATE);
    WaitFor([&] { return !::IsIconic(wizard); }, kCzekanieNaPrzywrocenie);
  }
  ::SetForegroundWindow(front != nullptr ? front : wizard);
  return true;
}

}  // namespace orvala
