// Owners of the few GDI and common-control handles the dialogs and the font unit create:
// one move-only template, one line per handle kind, the null handle meaning "none".
#pragma once

#include <utility>

#include "platform/win32/untWindows.h"
#include <commctrl.h>

namespace orvala {

template <typename Handle, auto Free>
class TWlasnyUchwyt {
 public:
  TWlasnyUchwyt() = default;
  explicit TWlasnyUchwyt(Handle handle) : handle_(handle) {}
  ~TWlasnyUchwyt() { reset(); }
  TWlasnyUchwyt(TWlasnyUchwyt&& other) noexcept : handle_(other.release()) {}
  TWlasnyUchwyt& operator=(TWlasnyUchwyt&& other) noexcept {
    if (this != &other) {
      reset(other.release());
    }
    return *this;
  }
  TWlasnyUchwyt(const TWlasnyUchwyt&) = delete;
  TWlasnyUchwyt& operator=(const TWlasnyUchwyt&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  Handle release() { return std::exchange(handle_, nullptr); }
  void reset(Handle handle = nullptr) {
    Handle old = std::exchange(handle_, handle);
    if (old != nullptr) {
      Free(old);
    }
  }

 private:
  Handle handle_ = nullptr;
};

namespace detail {
inline void FreeFont(HFONT font) {
  ::DeleteObject(font);
}
inline void FreeImageList(HIMAGELIST list) {
  ::ImageList_Destroy(list);
}
inline void FreeIcon(HICON icon) {
  ::DestroyIcon(icon);
}
inline void FreeLibrary(HMODULE module) {
  ::FreeLibrary(module);
}
}  // namespace detail

using TUchwytCzcionki = TWlasnyUchwyt<HFONT, detail::FreeFont>;
using TUchwytListyObrazow = TWlasnyUchwyt<HIMAGELIST, detail::FreeImageList>;
using TUchwytIkony = TWlasnyUchwyt<HICON, detail::FreeIcon>;
using TUchwytModulu = TWlasnyUchwyt<HMODULE, detail::FreeLibrary>;

// A window's device context, released with the window it came from.
class TKontekstOkna {
 public:
  explicit TKontekstOkna(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~TKontekstOkna() {
    if (dc_ != nullptr) {
      ::ReleaseDC(window_, dc_);
    }
  }
  TKontekstOkna(const TKontekstOkna&) = delete;
  TKontekstOkna& operator=(const TKontekstOkna&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace orvala
