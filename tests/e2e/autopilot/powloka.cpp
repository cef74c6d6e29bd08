#include "powloka.h"

namespace autopilot {

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
