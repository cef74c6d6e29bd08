#include "powloka.h"

#include "platform/win32/untUchwyty.h"
#include "slowa.h"

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

namespace {

// The process of the last StartProgram, until the next one or the autopilot's end.
orvala::platform::win32::TUchwytProcesu gStarted;

}  // namespace

std::string StartProgram(const std::wstring& program) {
  std::wstring command = L"\"" + program + L"\"";
  const std::wstring folder = program.substr(0, program.find_last_of(L'\\') + 1);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    return "the program could not be started";
  }
  const orvala::platform::win32::TUchwytProcesu thread(process.hThread);  // not needed
  gStarted.Reset(process.hProcess);
  return {};
}

std::string CheckProgramEnded(DWORD code, DWORD limitMs) {
  if (!gStarted) {
    return "no program was started";
  }
  if (::WaitForSingleObject(gStarted.Get(), limitMs) != WAIT_OBJECT_0) {
    return "the program started once more is still running";
  }
  DWORD exitCode = 0;
  ::GetExitCodeProcess(gStarted.Get(), &exitCode);
  return exitCode == code
             ? std::string()
             : "the program started once more ended with exit code " + std::to_string(exitCode);
}

std::string Minimise(HWND window) {
  ::ShowWindow(window, SW_MINIMIZE);
  return ::IsIconic(window) ? std::string() : "the window was not minimised";
}

std::string CheckInFront(HWND window, HWND owner) {
  if (::IsIconic(owner)) {
    return "the wizard is still minimised";
  }
  if (!::IsWindowVisible(window)) {
    return "the window is not visible";
  }
  HWND front = ::GetForegroundWindow();
  if (front == window) {
    return {};
  }
  wchar_t title[128] = {};
  ::GetWindowTextW(front, title, 128);
  return "another window is in front: \"" + ToUtf8(title) + "\"";
}

}  // namespace autopilot
