// Owners of Windows handles: one move-only template, one line per handle kind.
//
//   TUchwyt<Type, Close, Invalid>   owns one value of Type; the destructor (and Reset) call
//                                   Close(value) unless it is the kind's invalid value.
//
// The invalid value is part of the type: INVALID_HANDLE_VALUE for files and find handles,
// NULL for the rest. A new kind is one line:
//
//   using TUchwytPedzla = TUchwyt<HBRUSH, &::DeleteObject>;
//
// Get() lends the value, Release() gives it up, Reset(v) closes the old one and takes v, Put()
// closes the old one and returns the address for a function that fills it in (RegOpenKeyExA).
// Copying is impossible (no double close); moving leaves the source empty.
#pragma once

#include <utility>

#include "platform/win32/untWindows.h"

namespace orvala::platform::win32 {

template <typename T>
constexpr T WartoscPusta() {
  return T{};
}
inline HANDLE WartoscNiewazna() {
  return INVALID_HANDLE_VALUE;
}

template <typename T, auto Close, T (*Invalid)() = &WartoscPusta<T>>
class TUchwyt {
 public:
  TUchwyt() = default;
  explicit TUchwyt(T value) : value_(value) {}
  ~TUchwyt() { Reset(); }
  TUchwyt(const TUchwyt&) = delete;
  TUchwyt& operator=(const TUchwyt&) = delete;
  TUchwyt(TUchwyt&& other) noexcept : value_(other.Release()) {}
  TUchwyt& operator=(TUchwyt&& other) noexcept {
    if (this != &other) {
      Reset(other.Release());
    }
    return *this;
  }

  T Get() const { return value_; }
  bool IsValid() const { return !(value_ == Invalid()); }
  explicit operator bool() const { return IsValid(); }
  T Release() { return std::exchange(value_, Invalid()); }
  void Reset(T value = Invalid()) {
    const T old = std::exchange(value_, value);
    if (!(old == Invalid())) {
      Close(old);
    }
  }
  T* Put() {
    Reset();
    return &value_;
  }

 private:
  T value_ = Invalid();
};

// --- Kinds ---------------------------------------------------------------------------------------

using TUchwytPliku = TUchwyt<HANDLE, &::CloseHandle, &WartoscNiewazna>;
using TUchwytWyszukiwania = TUchwyt<HANDLE, &::FindClose, &WartoscNiewazna>;
using TUchwytKlucza = TUchwyt<HKEY, &::RegCloseKey>;
using TUchwytProcesu = TUchwyt<HANDLE, &::CloseHandle>;  // OpenProcess, OpenProcessToken: null
using TUchwytModulu = TUchwyt<HMODULE, &::FreeLibrary>;
using TUchwytCzcionki = TUchwyt<HFONT, &::DeleteObject>;
using TUchwytBitmapy = TUchwyt<HBITMAP, &::DeleteObject>;
using TUchwytPamieciDC = TUchwyt<HDC, &::DeleteDC>;  // CreateCompatibleDC

// A device context of a window (GetDC), given back with ReleaseDC to the same window.
struct TDcOkna {
  HWND window = nullptr;
  HDC dc = nullptr;
  friend bool operator==(const TDcOkna& a, const TDcOkna& b) { return a.dc == b.dc; }
};
inline void ZwolnijDcOkna(TDcOkna d) {
  ::ReleaseDC(d.window, d.dc);
}
using TUchwytDC = TUchwyt<TDcOkna, &ZwolnijDcOkna>;
inline TUchwytDC PobierzDC(HWND window) {
  return TUchwytDC(TDcOkna{window, ::GetDC(window)});
}

// A COM interface pointer, released once.
template <typename I>
void ZwolnijCom(I* p) {
  p->Release();
}
template <typename I>
using TWskaznikCom = TUchwyt<I*, &ZwolnijCom<I>>;

}  // namespace orvala::platform::win32
