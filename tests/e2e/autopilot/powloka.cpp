#include "powloka.h"

namespace autopilot {

namespace {

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(window, message, wParam, 0, SMTO_ABORTIFHUNG, 2000, &result);
  return static_cast<LRESULT>(result);
}

}  // namespace

std::string CheckIcons(HWND window) {
  if (SendWithTimeout(window, WM_GETICON, ICON_BIG) == 0) {
    return "the window has no big icon";
  }
  if (SendWithTimeout(window, WM_GETICON, ICON_SMALL) == 0) {
    return "the window has no small icon";
  }
  return {};
}

std::string CheckTaskbarButton(HWND window) {
  const LONG_PTR exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
  if (!::IsWindowVisible(window)) {
    return "the window is not visible";
  }
  if ((exStyle & WS_EX_TOOLWINDOW) != 0) {
    return "the window is a tool window";
  }
  if (::GetWindow(window, GW_OWNER) != nullptr && (exStyle & WS_EX_APPWINDOW) == 0) {
    return "the window is owned and not marked WS_EX_APPWINDOW: no task-bar button";
  }
  return {};
}

std::string EndSession() {
  wchar_t command[] = L"wineboot.exe --end-session";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return "wineboot could not be started";
  }
  const DWORD waited = ::WaitForSingleObject(process.hProcess, 20000);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return waited == WAIT_OBJECT_0 ? std::string() : "wineboot --end-session did not finish";
}

}  // namespace autopilot
