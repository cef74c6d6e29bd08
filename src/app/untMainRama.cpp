// TfrmMain: the frame's layout at the window's DPI and its painting (title band, button bar,
// side picture), and the end of the session.
#include "app/untMain.h"

#include "untIdentyfikatory.h"

namespace orvala {

namespace {

// Frame layout, pixels at 96 dpi (scaled by the window's DPI when placed).
constexpr int kKlientSzer = 623;
constexpr int kKlientWys = 353;
constexpr int kLewySzer = 137;  // pnlLeft with the stretched side picture
constexpr int kGoraWys = 53;    // title band pnlTop, in the window colour (white by default)
constexpr int kDolWys = 37;     // button bar pnlBottom
constexpr int kDolY = kKlientWys - kDolWys;
constexpr int kPrzyciskY = kDolY + 6;
constexpr int kPrzyciskWys = 25;

struct TPolozenie {
  int id, x, y, width, height;
};
constexpr TPolozenie kRama[] = {
    {IDC_Image1, 0, 0, kLewySzer, kKlientWys},
    {IDC_lblTytul, kLewySzer + 8, 8, 469, 18},
    {IDC_lblKrok, kLewySzer + 20, 28, 449, 18},
    {IDC_btnWstecz, kLewySzer + 4, kPrzyciskY, 81, kPrzyciskWys},
    {IDC_btnDalej, kLewySzer + 85, kPrzyciskY, 81, kPrzyciskWys},
    {IDC_btnZamknij, kLewySzer + 409, kPrzyciskY, 75, kPrzyciskWys},
};

// Sizes a page to `width` x `height` and stretches its controls alike. The page template is
// laid out in dialog units, whose size follows the font's metrics and therefore not exactly the
// DPI; the page area of the frame is in scaled pixels. Fitting the one onto the other keeps the
// controls inside the page at every DPI.
void FitPage(HWND page, int width, int height) {
  RECT natural{};
  ::GetClientRect(page, &natural);
  const int naturalWidth = natural.right > 0 ? natural.right : width;
  const int naturalHeight = natural.bottom > 0 ? natural.bottom : height;
  for (HWND child = ::GetWindow(page, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(HWND_DESKTOP, page, reinterpret_cast<POINT*>(&r), 2);
    const int left = ::MulDiv(r.left, width, naturalWidth);
    const int top = ::MulDiv(r.top, height, naturalHeight);
    const int right = ::MulDiv(r.right, width, naturalWidth);
    const int bottom = ::MulDiv(r.bottom, height, naturalHeight);
    ::MoveWindow(child, left, top, right - left, bottom - top, FALSE);
  }
  ::SetWindowPos(page, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void TfrmMain::LayOut() {
  SetClientSize(Scale(kKlientSzer), Scale(kKlientWys));
  for (const TPolozenie& p : kRama) {
    MoveItem(p.id, p.x, p.y, p.width, p.height);
  }
  for (const TStronaKreatora* page : pages_) {
    if (page->Handle() != nullptr) {
      FitPage(page->Handle(), Scale(kKlientSzer - kLewySzer), Scale(kDolY - kGoraWys));
      ::SetWindowPos(page->Handle(), nullptr, Scale(kLewySzer), Scale(kGoraWys), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  CentreOnScreen();

  const int height = Scale(12);
  titleFont_.Reset(::CreateFontW(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                 DEFAULT_PITCH, L"Arial"));
  stepFont_.Reset(::CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                DEFAULT_PITCH, L"Arial"));
}

void TfrmMain::PaintFrame() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(Handle(), &ps);
  if (dc == nullptr) {
    return;
  }
  RECT band{Scale(kLewySzer), 0, Scale(kKlientSzer), Scale(kGoraWys)};
  // The window colour, not a fixed white: the band's texts are drawn in the window-text colour,
  // which a high-contrast scheme makes white.
  ::FillRect(dc, &band, ::GetSysColorBrush(COLOR_WINDOW));
  ::DrawEdge(dc, &band, EDGE_ETCHED, BF_BOTTOM);
  RECT bar{Scale(kLewySzer), Scale(kDolY), Scale(kKlientSzer), Scale(kKlientWys)};
  ::DrawEdge(dc, &bar, EDGE_ETCHED, BF_TOP);
  ::EndPaint(Handle(), &ps);
}

void TfrmMain::DrawSidePicture(const DRAWITEMSTRUCT& item) const {
  const RECT& r = item.rcItem;
  BITMAP info{};
  platform::win32::TUchwytPamieciDC memory(::CreateCompatibleDC(item.hDC));
  if (!memory || !image1_ || ::GetObjectW(image1_.Get(), sizeof info, &info) == 0) {
    ::FillRect(item.hDC, &r, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    return;
  }
  HGDIOBJ old = ::SelectObject(memory.Get(), image1_.Get());
  ::SetStretchBltMode(item.hDC, HALFTONE);
  ::SetBrushOrgEx(item.hDC, 0, 0, nullptr);
  ::StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory.Get(), 0, 0,
               info.bmWidth, info.bmHeight, SRCCOPY);
  ::SelectObject(memory.Get(), old);
}

bool TfrmMain::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  switch (message) {
    case WM_PAINT:
      PaintFrame();
      result = TRUE;
      return true;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item != nullptr && item->CtlID == IDC_Image1) {
        DrawSidePicture(*item);
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_QUERYENDSESSION:
      // A logoff or restart while files are being copied would leave half an installation:
      // refuse it until the run is over (a dialog returns its answer through DWLP_MSGRESULT).
      if (!sessionEndRefused_) {
        return false;
      }
      ::SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, FALSE);
      result = TRUE;
      return true;
    case WM_ENDSESSION:
      // The session ends (wParam TRUE; FALSE: someone refused it and it goes on). The process
      // goes without its window being destroyed: the running mark goes now, as it would then.
      if (wParam != FALSE) {
        ClearInProgressMark();
      }
      return false;
    case WM_CTLCOLORSTATIC: {
      const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if (id == IDC_lblTytul || id == IDC_lblKrok) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
        result = reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_WINDOW));
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

}  // namespace orvala
