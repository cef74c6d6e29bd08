// The reason a logoff or restart is held back, given to the system while the run goes on (the
// calls are looked up, as older systems lack them).
#include "app/untKoniecSesji.h"

#include "dialogs/untOkno.h"

namespace orvala {

namespace {

using TReasonCreate = BOOL(WINAPI*)(HWND, LPCWSTR);
using TReasonDestroy = BOOL(WINAPI*)(HWND);

FARPROC User32Function(const char* name) {
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  return user32 != nullptr ? ::GetProcAddress(user32, name) : nullptr;
}

template <typename TFunction>
TFunction Function(const char* name) {
  return reinterpret_cast<TFunction>(reinterpret_cast<void*>(User32Function(name)));
}

}  // namespace

TBlokadaKoncaSesji::TBlokadaKoncaSesji(HWND window, const TWideString& reason, bool& refused)
    : window_(window), refused_(refused) {
  refused_ = true;
  if (auto create = Function<TReasonCreate>("ShutdownBlockReasonCreate")) {
    reasonGiven_ = window_ != nullptr && create(window_, WideChars(reason));
  }
}

TBlokadaKoncaSesji::~TBlokadaKoncaSesji() {
  refused_ = false;
  if (reasonGiven_) {
    if (auto destroy = Function<TReasonDestroy>("ShutdownBlockReasonDestroy")) {
      destroy(window_);
    }
  }
}

}  // namespace orvala
