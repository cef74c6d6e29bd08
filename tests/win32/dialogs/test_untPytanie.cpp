#include "dialogs/untPytanie.h"

#include <gtest/gtest.h>

#include "config/untInstalTeksty.h"
#include "pilotOkien.h"
#include "untIdentyfikatory.h"

namespace orvala {
namespace {

using testy::Click;
using testy::PressKey;
using testy::Text16;
using testy::TPilot;
using testy::Visible;
using testy::WaitForDialog;
using testy::WaitGone;

struct TWidok {
  bool found = false;
  std::u16string caption, label, tak, nie, anuluj;
  bool nieVisible = false, anulujVisible = false;
  RECT client{}, lbl{}, btnTak{}, btnNie{}, btnAnuluj{};
  bool focusOnTak = false;
};

RECT ClientRectOf(HWND dialog, int id) {
  RECT rect{};
  ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
  ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TWidok Look(HWND dialog) {
  TWidok view;
  view.found = dialog != nullptr;
  if (dialog == nullptr) {
    return view;
  }
  view.caption = Text16(dialog);
  view.label = Text16(::GetDlgItem(dialog, IDC_lblPytanie));
  view.tak = Text16(::GetDlgItem(dialog, IDC_btnTak));
  view.nie = Text16(::GetDlgItem(dialog, IDC_btnNie));
  view.anuluj = Text16(::GetDlgItem(dialog, IDC_btnAnuluj));
  view.nieVisible = Visible(::GetDlgItem(dialog, IDC_btnNie));
  view.anulujVisible = Visible(::GetDlgItem(dialog, IDC_btnAnuluj));
  ::GetClientRect(dialog, &view.client);
  view.lbl = ClientRectOf(dialog, IDC_lblPytanie);
  view.btnTak = ClientRectOf(dialog, IDC_btnTak);
  view.btnNie = ClientRectOf(dialog, IDC_btnNie);
  view.btnAnuluj = ClientRectOf(dialog, IDC_btnAnuluj);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &gui);
  view.focusOnTak = gui.hwndFocus == ::GetDlgItem(dialog, IDC_btnTak);
  return view;
}

int Width(const RECT& r) {
  return r.right - r.left;
}
int Height(const RECT& r) {
  return r.bottom - r.top;
}

// Asks `text` in `mode`; the pilot looks at the dialog and then presses `key` (Escape) or,
// with key 0, clicks `button`. Escape in mode 0 is followed by a click on btnTak.
int AskAndAnswer(TfrmPytanie& pytanie, const std::u16string& text, std::uint8_t mode, WPARAM key,
                 int button, TWidok& view, bool* stayedAfterEscape = nullptr) {
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    view = Look(dialog);
    if (dialog == nullptr) {
      return;
    }
    testy::PauseForScreenshot();
    if (key != 0) {
      PressKey(dialog, IDC_btnTak, key);
      if (stayedAfterEscape != nullptr) {
        ::Sleep(300);
        *stayedAfterEscape = ::IsWindow(dialog) && Visible(dialog);
        Click(dialog, IDC_btnTak);
      }
    } else {
      Click(dialog, button);
    }
    if (!WaitGone(dialog)) {
      Click(dialog, IDC_btnTak);  // never leave the test thread inside the dialog
    }
    WaitGone(dialog);
  });
  const int result = pytanie.Ask(nullptr, text, mode);
  pilot.Join();
  return result;
}

class TPytanie : public ::testing::Test {
 protected:
  TfrmPytanie pytanie_;
};

TEST_F(TPytanie, ModeZeroOneWordIsAsWideAsTheButton) {
  TWidok view;
  EXPECT_EQ(AskAndAnswer(pytanie_, u"Gotowe", kPytanieOK, 0, IDC_btnTak, view), kWynikTak);
  ASSERT_TRUE(view.found);
  EXPECT_EQ(view.caption, u"Uwaga");
  EXPECT_EQ(view.label, u"Gotowe");
  EXPECT_EQ(view.tak, u"OK");
  EXPECT_FALSE(view.nieVisible);
  EXPECT_FALSE(view.anulujVisible);
  EXPECT_TRUE(view.focusOnTak);
  // Label widened to the button; the button centred under it; margins on both sides.
  EXPECT_EQ(Width(view.lbl), Width(view.btnTak));
  EXPECT_EQ(view.btnTak.left, view.lbl.left);
  EXPECT_EQ(Width(view.client), 2 * view.lbl.left + Width(view.btnTak));
  EXPECT_EQ(Height(view.client), 2 * view.lbl.top + Height(view.lbl) + Height(view.btnTak) + 8);
  EXPECT_EQ(view.btnTak.top, view.lbl.bottom + 8);
}

TEST_F(TPytanie, LongTextWrapsAtFourHundredPixelsAndGrowsInHeight) {
  TWidok shortView, longView;
  AskAndAnswer(pytanie_, u"Tak", kPytanieTakNie, 0, IDC_btnTak, shortView);
  std::u16string text;
  for (int i = 0; i < 12; ++i) {
    text += u"Zażółć gęślą jaźń, ";
  }
  EXPECT_EQ(AskAndAnswer(pytanie_, text, kPytanieTakNie, 0, IDC_btnNie, longView), kWynikNie);
  ASSERT_TRUE(longView.found);
  EXPECT_EQ(longView.label, text);
  EXPECT_LE(Width(longView.lbl), 400);
  EXPECT_GT(Width(longView.lbl), 300);
  EXPECT_GE(Height(longView.lbl), 3 * Height(shortView.lbl));
  EXPECT_EQ(Width(longView.client), 2 * longView.lbl.left + Width(longView.lbl));
  EXPECT_GT(Height(longView.client), Height(shortView.client));
  // The two buttons centred: equal space left and right of the row (integer division).
  const int row = longView.btnNie.right - longView.btnTak.left;
  EXPECT_EQ(row, Width(longView.btnTak) + 8 + Width(longView.btnNie));
  EXPECT_EQ(longView.btnTak.left - longView.lbl.left, (Width(longView.lbl) - row) / 2);
}

TEST_F(TPytanie, LinesBreakWhereTheTextBreaks) {
  TWidok one, two;
  AskAndAnswer(pytanie_, u"Jedna linia", kPytanieOK, 0, IDC_btnTak, one);
  AskAndAnswer(pytanie_, u"Jedna linia\r\nDruga linia", kPytanieOK, 0, IDC_btnTak, two);
  EXPECT_EQ(Height(two.lbl), 2 * Height(one.lbl));
  EXPECT_EQ(Width(two.lbl), Width(one.lbl));
}

TEST_F(TPytanie, ModeTwoShowsOkCancelEscapeIsNoCaptionsComeBack) {
  TWidok view;
  EXPECT_EQ(AskAndAnswer(pytanie_, u"Kontynuować?", kPytanieOKAnuluj, VK_ESCAPE, 0, view),
            kWynikNie);
  EXPECT_EQ(view.tak, u"OK");
  EXPECT_EQ(view.nie, u"Anuluj");
  EXPECT_TRUE(view.nieVisible);
  EXPECT_FALSE(view.anulujVisible);
  EXPECT_EQ(view.btnNie.left, view.btnTak.right + 8);
  // The next question shows the language captions again.
  EXPECT_EQ(AskAndAnswer(pytanie_, u"Przerwać?", kPytanieTakNie, 0, IDC_btnTak, view), kWynikTak);
  EXPECT_EQ(view.tak, u"Tak");
  EXPECT_EQ(view.nie, u"Nie");
  EXPECT_EQ(pytanie_.CaptionNie(), u"Nie");
}

TEST_F(TPytanie, EscapePerMode) {
  TWidok view;
  EXPECT_EQ(AskAndAnswer(pytanie_, u"?", kPytanieTakNie, VK_ESCAPE, 0, view), kWynikNie);
  EXPECT_EQ(AskAndAnswer(pytanie_, u"?", kPytanieTakNieAnuluj, VK_ESCAPE, 0, view), kWynikAnuluj);
  EXPECT_TRUE(view.anulujVisible);
  EXPECT_EQ(view.anuluj, u"Anuluj");
  EXPECT_EQ(view.btnAnuluj.left, view.btnTak.right + 8 + Width(view.btnNie) + 8);
  // Mode 0: Escape does nothing; only the button ends the question.
  bool stayed = false;
  EXPECT_EQ(AskAndAnswer(pytanie_, u"!", kPytanieOK, VK_ESCAPE, 0, view, &stayed), kWynikTak);
  EXPECT_TRUE(stayed);
}

TEST_F(TPytanie, ButtonsGiveTheirResults) {
  TWidok view;
  EXPECT_EQ(AskAndAnswer(pytanie_, u"?", kPytanieTakNieAnuluj, 0, IDC_btnNie, view), kWynikNie);
  EXPECT_EQ(AskAndAnswer(pytanie_, u"?", kPytanieTakNieAnuluj, 0, IDC_btnAnuluj, view),
            kWynikAnuluj);
  EXPECT_EQ(AskAndAnswer(pytanie_, u"?", kPytanieOKAnuluj, 0, IDC_btnNie, view), kWynikNie);
  EXPECT_EQ(AskAndAnswer(pytanie_, u"?", 7, 0, IDC_btnTak, view), kWynikTak);  // as mode 0
  EXPECT_FALSE(view.nieVisible);
}

TEST_F(TPytanie, RussianCaptionsFromTheTextTable) {
  pytanie_.SetLanguage(kJezykRosyjski);
  TWidok view;
  const std::u16string text = u"Прервать установку?";
  EXPECT_EQ(AskAndAnswer(pytanie_, text, kPytanieTakNieAnuluj, 0, IDC_btnTak, view), kWynikTak);
  EXPECT_EQ(view.caption, GetText(kJezykRosyjski, 181, true));
  EXPECT_EQ(view.tak, GetText(kJezykRosyjski, 182, false));
  EXPECT_EQ(view.nie, GetText(kJezykRosyjski, 183, false));
  EXPECT_EQ(view.anuluj, GetText(kJezykRosyjski, 6, false));
  EXPECT_EQ(view.label, text);
  ASSERT_FALSE(view.tak.empty());
  EXPECT_GE(view.tak[0], u'\u0400');
  EXPECT_LE(view.tak[0], u'\u04FF');
}

TEST_F(TPytanie, CentredOverTheOwner) {
  HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 80, 623, 380,
                                 nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  RECT dialogRect{};
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    if (dialog != nullptr) {
      ::GetWindowRect(dialog, &dialogRect);
      Click(dialog, IDC_btnTak);
      WaitGone(dialog);
    }
  });
  pytanie_.Ask(owner, u"Nad oknem", kPytanieOK);
  pilot.Join();
  ::DestroyWindow(owner);
  EXPECT_EQ(dialogRect.left, 100 + (623 - Width(dialogRect)) / 2);
  EXPECT_EQ(dialogRect.top, 80 + (380 - Height(dialogRect)) / 2);
}

}  // namespace
}  // namespace orvala
