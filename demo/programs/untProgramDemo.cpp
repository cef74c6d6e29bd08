// A stand-in for one of the package's programs: a small window that says which program and
// which build it is, the interface language recorded for its component key, and the folder
// it runs from. One source, compiled once per program and build (untProgramDemo.h).
//
// Control identifiers, for tools that read the window: IDC_lblOpis holds every line of text.
#include "platform/win32/untWindows.h"

#include <cstring>
#include <cwchar>

#include "untProgramDemo.h"

namespace {

constexpr int IDC_lblOpis = 100;
constexpr int IDC_btnZamknij = IDOK;
constexpr wchar_t kKlasa[] = L"OrvalaDemoProgram";

// "JezykInterfejsu" of the component key under HKCU, as a text for the window.
void InterfaceLanguage(wchar_t* out, std::size_t size) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, DEMO_KLUCZ_W, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    std::swprintf(out, size, L"(not recorded)");
    return;
  }
  DWORD type = 0;
  BYTE data[256] = {};
  DWORD bytes = sizeof(data) - sizeof(wchar_t);
  const LONG r = RegQueryValueExW(key, L"JezykInterfejsu", nullptr, &type, data, &bytes);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS) {
    std::swprintf(out, size, L"(not recorded)");
  } else if (type == REG_DWORD && bytes == sizeof(DWORD)) {
    DWORD value = 0;
    std::memcpy(&value, data, sizeof(value));
    const wchar_t* name = value == 0 ? L"Polski" : value == 6 ? L"Русский" : L"?";
    std::swprintf(out, size, L"%lu (%ls)", static_cast<unsigned long>(value), name);
  } else if (type == REG_SZ) {
    std::swprintf(out, size, L"%ls", reinterpret_cast<const wchar_t*>(data));
  } else {
    std::swprintf(out, size, L"(unreadable)");
  }
}

// The folder the program runs from.
void InstallDirectory(wchar_t* out, DWORD size) {
  const DWORD n = GetModuleFileNameW(nullptr, out, size);
  if (n == 0 || n >= size) {
    out[0] = L'\0';
    return;
  }
  if (wchar_t* slash = std::wcsrchr(out, L'\\')) {
    *slash = L'\0';
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      wchar_t language[128];
      wchar_t directory[MAX_PATH];
      InterfaceLanguage(language, 128);
      InstallDirectory(directory, MAX_PATH);
      wchar_t text[1024];
      std::swprintf(text, 1024, L"%ls\r\n%ls (demo)\r\n%ls\r\nJezykInterfejsu: %ls\r\nKatalog: %ls",
                    DEMO_PLIK_W, DEMO_OPIS_W, DEMO_BUDOWA_TEKST_W, language, directory);
      const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
      HWND label = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, 12, 12, 456, 110,
                                   window, reinterpret_cast<HMENU>(IDC_lblOpis), nullptr, nullptr);
      HWND button = CreateWindowExW(
          0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 388, 130, 80,
          26, window, reinterpret_cast<HMENU>(IDC_btnZamknij), nullptr, nullptr);
      SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
      SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_btnZamknij || LOWORD(wParam) == IDCANCEL) {
        DestroyWindow(window);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kKlasa;
  if (RegisterClassW(&wc) == 0) {
    return 1;
  }
  wchar_t title[128];
  std::swprintf(title, 128, L"%ls - %ls", DEMO_OPIS_W, DEMO_BUDOWA_TEKST_W);
  HWND window =
      CreateWindowExW(0, kKlasa, title, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                      CW_USEDEFAULT, 496, 206, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    return 1;
  }
  ShowWindow(window, show);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}
