// TOkno: windows from dialog templates (modal and modeless), their DPI and fonts, texts of
// controls in UTF-16, and the message procedure that keeps exceptions inside.
#include "dialogs/untOkno.h"

#include <algorithm>
#include <vector>

#include <commctrl.h>

#include "dialogs/untUkladPytania.h"

namespace orvala {

namespace {

// The modeless TOkno windows of the thread, for the dialog keys in the message loop.
std::vector<HWND>& ModelessWindows() {
  static std::vector<HWND> windows;
  return windows;
}

void ForgetModeless(HWND hwnd) {
  auto& windows = ModelessWindows();
  windows.erase(std::remove(windows.begin(), windows.end(), hwnd), windows.end());
}

void InitCommonControlsOnce() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX init{
        sizeof(INITCOMMONCONTROLSEX),
        ICC_STANDARD_CLASSES | ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    return ::InitCommonControlsEx(&init) != FALSE;
  }();
  (void)done;
}

// GetDpiForWindow exists from Windows 10 on; older systems have one system DPI.
using TGetDpiForWindow = UINT(WINAPI*)(HWND);

TGetDpiForWindow DpiForWindowFunction() {
  static const TGetDpiForWindow function = [] {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    FARPROC address = user32 != nullptr ? ::GetProcAddress(user32, "GetDpiForWindow") : nullptr;
    return reinterpret_cast<TGetDpiForWindow>(reinterpret_cast<void*>(address));
  }();
  return function;
}

}  // namespace

int SystemDpi() {
  HDC screen = ::GetDC(nullptr);
  if (screen == nullptr) {
    return USER_DEFAULT_SCREEN_DPI;
  }
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

void SetWindowTextWide(HWND window, const TWideString& text) {
  if (window != nullptr) {
    ::SetWindowTextW(window, WideChars(text));
  }
}

TWideString WindowTextWide(HWND window) {
  if (window == nullptr) {
    return {};
  }
  const int length = ::GetWindowTextLengthW(window);
  if (length <= 0) {
    return {};
  }
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const int got = ::GetWindowTextW(window, buffer.data(), length + 1);
  return FromWideChars(buffer.data(), static_cast<std::size_t>(std::max(got, 0)));
}

TOkno::TOkno(const wchar_t* templateName, HINSTANCE instance)
    : templateName_(templateName),
      instance_(instance != nullptr ? instance : ::GetModuleHandleW(nullptr)) {}

TOkno::~TOkno() {
  if (hwnd_ != nullptr && !modal_) {
    ::DestroyWindow(hwnd_);
  }
  hwnd_ = nullptr;
}

INT_PTR TOkno::ShowModal(HWND owner) {
  if (hwnd_ != nullptr) {
    return -1;  // already showing: a dialog cannot be shown twice at once
  }
  InitCommonControlsOnce();
  modal_ = true;
  handlerFailed_ = false;
  const INT_PTR result = ::DialogBoxParamW(instance_, templateName_, owner, &TOkno::DialogProc,
                                           reinterpret_cast<LPARAM>(this));
  modal_ = false;
  hwnd_ = nullptr;
  return result;
}

bool TOkno::Create(HWND owner) {
  if (hwnd_ != nullptr) {
    return false;
  }
  InitCommonControlsOnce();
  modal_ = false;
  handlerFailed_ = false;
  HWND hwnd = ::CreateDialogParamW(instance_, templateName_, owner, &TOkno::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
  if (hwnd == nullptr) {
    return false;
  }
  ModelessWindows().push_back(hwnd);
  return true;
}

void TOkno::Destroy() {
  if (hwnd_ != nullptr && !modal_) {
    ::DestroyWindow(hwnd_);
  }
}

void TOkno::EndModal(INT_PTR result) {
  if (hwnd_ != nullptr && modal_) {
    lastMonitor_ = ::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONULL);
    ::EndDialog(hwnd_, result);
  }
}

HWND TOkno::Item(int id) const {
  return hwnd_ != nullptr ? ::GetDlgItem(hwnd_, id) : nullptr;
}

void TOkno::SetItemText(int id, const TWideString& text) const {
  SetWindowTextWide(Item(id), text);
}

TWideString TOkno::ItemText(int id) const {
  return WindowTextWide(Item(id));
}

void TOkno::SetCaption(const TWideString& text) const {
  SetWindowTextWide(hwnd_, text);
}

void TOkno::EnableItem(int id, bool enabled) const {
  if (HWND item = Item(id)) {
    ::EnableWindow(item, enabled ? TRUE : FALSE);
  }
}

void TOkno::ShowItem(int id, bool visible) const {
  if (HWND item = Item(id)) {
    ::ShowWindow(item, visible ? SW_SHOW : SW_HIDE);
  }
}

void TOkno::FocusItem(int id) const {
  if (HWND item = Item(id)) {
    ::SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
  }
}

bool TOkno::IsItemChecked(int id) const {
  HWND item = Item(id);
  return item != nullptr && ::SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TOkno::CheckItem(int id, bool checked) const {
  if (HWND item = Item(id)) {
    ::SendMessageW(item, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

int TOkno::Dpi() const {
  if (hwnd_ != nullptr) {
    if (TGetDpiForWindow function = DpiForWindowFunction()) {
      const UINT dpi = function(hwnd_);
      if (dpi > 0) {
        return static_cast<int>(dpi);
      }
    }
  }
  return SystemDpi();
}

int TOkno::Scale(int pixels96) const {
  return ::MulDiv(pixels96, Dpi(), USER_DEFAULT_SCREEN_DPI);
}

void TOkno::MoveItem(int id, int x, int y, int width, int height) const {
  if (HWND item = Item(id)) {
    ::MoveWindow(item, Scale(x), Scale(y), Scale(width), Scale(height), TRUE);
  }
}

RECT TOkno::ItemRect(int id) const {
  RECT rect{};
  if (HWND item = Item(id)) {
    ::GetWindowRect(item, &rect);
    ::MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
  }
  return rect;
}

void TOkno::SetClientSize(int width, int height) const {
  if (hwnd_ == nullptr) {
    return;
  }
  RECT rect{0, 0, width, height};
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
  ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TOkno::CentreOver(HWND owner) const {
  if (hwnd_ == nullptr) {
    return;
  }
  RECT area{};
  if (owner != nullptr && ::IsWindow(owner) && ::GetWindowRect(owner, &area)) {
    // over the owner's window rectangle
  } else {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    POINT mouse{};
    HMONITOR monitor = lastMonitor_;
    if (monitor == nullptr || !::GetMonitorInfoW(monitor, &info)) {
      monitor = ::GetCursorPos(&mouse) ? ::MonitorFromPoint(mouse, MONITOR_DEFAULTTOPRIMARY)
                                       : ::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY);
      if (!::GetMonitorInfoW(monitor, &info)) {
        return;
      }
    }
    area = info.rcWork;
  }
  RECT own{};
  ::GetWindowRect(hwnd_, &own);
  const TPunkt corner =
      CentredPosition(area.left, area.top, area.right - area.left, area.bottom - area.top,
                      own.right - own.left, own.bottom - own.top);
  ::SetWindowPos(hwnd_, nullptr, corner.x, corner.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TOkno::CentreOnScreen() const {
  CentreOver(nullptr);
}

void TOkno::ShowOnTaskbarWhileOwnerHidden() const {
  HWND owner = hwnd_ != nullptr ? ::GetWindow(hwnd_, GW_OWNER) : nullptr;
  if (hwnd_ != nullptr && (owner == nullptr || !::IsWindowVisible(owner))) {
    const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, exStyle | WS_EX_APPWINDOW);
  }
}

bool TOkno::OnCommand(int, int, HWND) {
  return false;
}

bool TOkno::OnNotify(const NMHDR&, LRESULT&) {
  return false;
}

bool TOkno::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) {
  return false;
}

void TOkno::OnHandlerFailure() {
  if (hwnd_ == nullptr) {
    return;
  }
  if (modal_) {
    ::EndDialog(hwnd_, IDCANCEL);
  } else {
    ::DestroyWindow(hwnd_);
  }
}

INT_PTR CALLBACK TOkno::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  TOkno* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<TOkno*>(lParam);
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    if (self != nullptr) {
      self->hwnd_ = hwnd;
    }
  } else {
    self = reinterpret_cast<TOkno*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (self == nullptr) {
    return FALSE;  // messages before WM_INITDIALOG (WM_SETFONT) get the default handling
  }
  INT_PTR result = FALSE;
  try {
    result = self->Dispatch(message, wParam, lParam);
  } catch (...) {
    self->handlerFailed_ = true;
    try {
      self->OnHandlerFailure();
    } catch (...) {
      if (self->modal_) {
        ::EndDialog(hwnd, IDCANCEL);
      } else {
        ::DestroyWindow(hwnd);
      }
    }
    result = FALSE;
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    ForgetModeless(hwnd);
    self->hwnd_ = nullptr;
  }
  return result;
}

INT_PTR TOkno::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  INT_PTR result = FALSE;
  if (OnMessage(message, wParam, lParam, result)) {
    return result;
  }
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return FALSE;  // the handler has set the focus
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE
                                                                                       : FALSE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      LRESULT notifyResult = 0;
      if (header != nullptr && OnNotify(*header, notifyResult)) {
        ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, notifyResult);
        return TRUE;
      }
      return FALSE;
    }
    case WM_DESTROY:
      OnDestroy();
      return FALSE;
    default:
      return FALSE;
  }
}

bool TranslateDialogMessage(MSG& message) {
  if (message.hwnd == nullptr) {
    return false;
  }
  HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
  const auto& windows = ModelessWindows();
  if (root == nullptr || std::find(windows.begin(), windows.end(), root) == windows.end()) {
    return false;
  }
  return ::IsDialogMessageW(root, &message) != FALSE;
}

bool ProcessPendingMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    if (!TranslateDialogMessage(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return true;
}

int RunMessageLoop() {
  MSG message;
  for (;;) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      return static_cast<int>(message.wParam);
    }
    if (got == -1) {
      return -1;
    }
    if (!TranslateDialogMessage(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

bool HighContrastOn() {
  HIGHCONTRASTW scheme{};
  scheme.cbSize = sizeof scheme;
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof scheme, &scheme, 0) &&
         (scheme.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace orvala
