// Drives the modal dialogs of the test thread from a second thread, as a user would: waits for
// a window of the process with a given caption, reads it, posts keys and clicks.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>

#include "platform/win32/untWindows.h"
#include <commctrl.h>

namespace orvala::testy {

inline std::wstring TextOf(HWND window) {
  wchar_t buffer[2048] = {};
  // WM_GETTEXT (not GetWindowText): it reaches windows of another thread.
  ::SendMessageW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

inline std::u16string Text16(HWND window) {
  const std::wstring text = TextOf(window);
  return std::u16string(text.begin(), text.end());
}

inline bool Visible(HWND window) {
  return ::IsWindowVisible(window) != FALSE;
}

struct TSzukane {
  DWORD process;
  HWND exclude;
  HWND found;
};

inline BOOL CALLBACK CheckDialog(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<TSzukane*>(param);
  DWORD process = 0;
  ::GetWindowThreadProcessId(hwnd, &process);
  wchar_t name[16] = {};
  ::GetClassNameW(hwnd, name, 16);
  if (process == s->process && hwnd != s->exclude && ::IsWindowVisible(hwnd) &&
      std::wstring(name) == L"#32770") {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level dialog (#32770) of this process other than `exclude`.
inline HWND FindDialog(HWND exclude = nullptr) {
  TSzukane search{::GetCurrentProcessId(), exclude, nullptr};
  ::EnumWindows(&CheckDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Waits up to 5 s for a dialog other than `exclude`; null on time-out.
inline HWND WaitForDialog(HWND exclude = nullptr) {
  for (int i = 0; i < 500; ++i) {
    if (HWND found = FindDialog(exclude)) {
      // Let the dialog finish WM_INITDIALOG and its first layout.
      ::Sleep(30);
      return found;
    }
    ::Sleep(10);
  }
  return nullptr;
}

// Waits up to 5 s for `window` to go away.
inline bool WaitGone(HWND window) {
  for (int i = 0; i < 500; ++i) {
    if (!::IsWindow(window) || !::IsWindowVisible(window)) {
      return true;
    }
    ::Sleep(10);
  }
  return false;
}

inline void Click(HWND dialog, int id) {
  ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// A key press sent to the dialog's focused control (through the dialog manager).
inline void PressKey(HWND dialog, int controlId, WPARAM key) {
  HWND control = ::GetDlgItem(dialog, controlId);
  ::PostMessageW(control, WM_KEYDOWN, key, 1);
  ::PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

// With ORVALA_DLG_PAUSE_MS set, waits that long so that a screenshot can be taken.
inline void PauseForScreenshot() {
  if (const char* pause = std::getenv("ORVALA_DLG_PAUSE_MS")) {
    ::Sleep(static_cast<DWORD>(std::atoi(pause)));
  }
}

// Runs `script` on a second thread while the test thread shows a modal dialog. The script
// must close every dialog it meets; a failure in it is reported after join(). A Win32 thread:
// the program's runtime has no std::thread (one thread is all the setup program needs).
class TPilot {
 public:
  explicit TPilot(std::function<void()> script)
      : script_(std::move(script)),
        thread_(::CreateThread(nullptr, 0, &TPilot::Start, this, 0, nullptr)) {}
  ~TPilot() { Join(); }
  TPilot(const TPilot&) = delete;
  TPilot& operator=(const TPilot&) = delete;
  void Join() {
    if (thread_ != nullptr) {
      ::WaitForSingleObject(thread_, INFINITE);
      ::CloseHandle(thread_);
      thread_ = nullptr;
    }
  }

 private:
  static DWORD WINAPI Start(void* self) {
    static_cast<TPilot*>(self)->script_();
    return 0;
  }
  std::function<void()> script_;
  HANDLE thread_;
};

}  // namespace orvala::testy
