// The common-control handle kinds of the dialogs, over the project's handle owners
// (platform/win32/untUchwyty.h): one line per kind.
#pragma once

#include "platform/win32/untUchwyty.h"
#include "platform/win32/untWindows.h"
#include <commctrl.h>

namespace orvala {

namespace detail {
inline BOOL ZwolnijListeObrazow(HIMAGELIST list) {
  return ::ImageList_Destroy(list);
}
}  // namespace detail

using TUchwytListyObrazow = platform::win32::TUchwyt<HIMAGELIST, &detail::ZwolnijListeObrazow>;
using TUchwytIkony = platform::win32::TUchwyt<HICON, &::DestroyIcon>;

}  // namespace orvala
