#include "dialogs/untOkno.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "pilotOkien.h"
#include "untIdentyfikatory.h"

namespace orvala {
namespace {

// A window over the new-folder template whose handlers can be made to throw.
class TOknoProby : public TOkno {
 public:
  TOknoProby() : TOkno(L"TFRMKATALOGDODAJ") {}
  bool throwAtInit = false;
  bool throwAtCommand = false;
  int cancelCommands = 0;
  int initCount = 0;

 protected:
  void OnInitDialog() override {
    ++initCount;
    if (throwAtInit) {
      throw std::runtime_error("init");
    }
    FocusItem(IDC_edtDodaj);
  }
  bool OnCommand(int id, int code, HWND) override {
    if (code != BN_CLICKED) {
      return false;
    }
    if (throwAtCommand) {
      throw std::runtime_error("command");
    }
    if (id == IDCANCEL) {
      ++cancelCommands;
      if (IsModal()) {
        EndModal(IDCANCEL);
      }
      return true;
    }
    if (id == IDC_btnAnuluj) {
      EndModal(1234);
      return true;
    }
    return false;
  }
};

TEST(Okno, ExceptionAtInitEndsTheDialogSafely) {
  TOknoProby window;
  window.throwAtInit = true;
  EXPECT_EQ(window.ShowModal(nullptr), IDCANCEL);
  EXPECT_TRUE(window.HandlerFailed());
  EXPECT_EQ(window.Handle(), nullptr);
  // The object is usable again.
  window.throwAtInit = false;
  testy::TPilot pilot([] {
    HWND dialog = testy::WaitForDialog();
    if (dialog != nullptr) {
      testy::Click(dialog, IDC_btnAnuluj);
      testy::WaitGone(dialog);
    }
  });
  EXPECT_EQ(window.ShowModal(nullptr), 1234);
  pilot.Join();
  EXPECT_FALSE(window.HandlerFailed());
  EXPECT_EQ(window.initCount, 2);
}

TEST(Okno, ExceptionInACommandHandlerEndsTheDialog) {
  TOknoProby window;
  window.throwAtCommand = true;
  testy::TPilot pilot([] {
    HWND dialog = testy::WaitForDialog();
    if (dialog != nullptr) {
      testy::Click(dialog, IDC_btnAnuluj);
      testy::WaitGone(dialog);
    }
  });
  EXPECT_EQ(window.ShowModal(nullptr), IDCANCEL);
  pilot.Join();
  EXPECT_TRUE(window.HandlerFailed());
}

TEST(Okno, MissingTemplateFailsToShow) {
  class TBrak : public TOkno {
   public:
    TBrak() : TOkno(L"NO_SUCH_TEMPLATE") {}
  } window;
  EXPECT_EQ(window.ShowModal(nullptr), -1);
  EXPECT_FALSE(window.Create(nullptr));
}

TEST(Okno, ModelessWindowGetsDialogKeysFromThePump) {
  TOknoProby window;
  ASSERT_TRUE(window.Create(nullptr));
  ASSERT_NE(window.Handle(), nullptr);
  ::ShowWindow(window.Handle(), SW_SHOW);
  // Escape on the edit becomes IDCANCEL only through IsDialogMessage.
  testy::PressKey(window.Handle(), IDC_edtDodaj, VK_ESCAPE);
  EXPECT_TRUE(ProcessPendingMessages());
  EXPECT_EQ(window.cancelCommands, 1);
  window.Destroy();
  EXPECT_EQ(window.Handle(), nullptr);
}

TEST(Okno, PumpStopsAtQuitAndLeavesItForTheLoop) {
  ::PostQuitMessage(7);
  EXPECT_FALSE(ProcessPendingMessages());
  MSG message{};
  ASSERT_TRUE(::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 7u);
}

TEST(Okno, GeometryInNinetySixDpiPixels) {
  TOknoProby window;
  ASSERT_TRUE(window.Create(nullptr));
  const int dpi = window.Dpi();
  EXPECT_GT(dpi, 0);
  EXPECT_EQ(window.Scale(400), ::MulDiv(400, dpi, 96));
  window.MoveItem(IDC_edtDodaj, 10, 20, 100, 30);
  const RECT rect = window.ItemRect(IDC_edtDodaj);
  EXPECT_EQ(rect.left, window.Scale(10));
  EXPECT_EQ(rect.top, window.Scale(20));
  EXPECT_EQ(rect.right - rect.left, window.Scale(100));
  window.SetClientSize(321, 123);
  RECT client{};
  ::GetClientRect(window.Handle(), &client);
  EXPECT_EQ(client.right, 321);
  EXPECT_EQ(client.bottom, 123);
  window.SetItemText(IDC_edtDodaj, u"Łódź Москва");
  EXPECT_EQ(window.ItemText(IDC_edtDodaj), u"Łódź Москва");
  window.Destroy();
}

}  // namespace
}  // namespace orvala
