// The program's icon, large and small, on a top-level window.
#include "dialogs/untIkonaProgramu.h"

#include "untIdentyfikatory.h"

namespace orvala {

namespace {

HICON LoadProgramIcon(int widthMetric, int heightMetric) {
  return static_cast<HICON>(::LoadImageW(
      ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_Instalator), IMAGE_ICON,
      ::GetSystemMetrics(widthMetric), ::GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

}  // namespace

void TIkonaProgramu::Apply(HWND window) {
  if (window == nullptr) {
    return;
  }
  if (!big_) {
    big_.Reset(LoadProgramIcon(SM_CXICON, SM_CYICON));
  }
  if (!small_) {
    small_.Reset(LoadProgramIcon(SM_CXSMICON, SM_CYSMICON));
  }
  ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_.Get()));
  ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_.Get()));
}

}  // namespace orvala
