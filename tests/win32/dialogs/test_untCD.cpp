#include "dialogs/untCD.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/untInstalStale.h"
#include "config/untInstalTeksty.h"
#include "pilotOkien.h"
#include "platform/host/untPlatformaHost.h"
#include "untIdentyfikatory.h"

namespace orvala {
namespace {

using testy::Click;
using testy::PressKey;
using testy::Text16;
using testy::TPilot;
using testy::WaitForDialog;
using testy::WaitGone;

struct TWidokCD {
  std::u16string caption, text, ok, anuluj;
  std::vector<std::u16string> items;
  int selected = -2;
  RECT window{};
};

TWidokCD Look(HWND dialog) {
  TWidokCD view;
  view.caption = Text16(dialog);
  view.text = Text16(::GetDlgItem(dialog, IDC_lblCD));
  view.ok = Text16(::GetDlgItem(dialog, IDC_btnOK));
  view.anuluj = Text16(::GetDlgItem(dialog, IDC_btnAnuluj));
  HWND combo = ::GetDlgItem(dialog, IDC_cmbDrive);
  const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t item[64] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
    view.items.emplace_back(item, item + std::wcslen(item));
  }
  view.selected = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
  ::GetWindowRect(dialog, &view.window);
  return view;
}

class TCD : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() / (std::string("orvala-cd-") + info->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "c");
    host_.MapDrive('C', root_ / "c", platform::TTypNapedu::Fixed);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  std::filesystem::path Cd(char letter) {
    const auto folder = root_ / std::string(1, letter);
    std::filesystem::create_directories(folder);
    host_.MapDrive(letter, folder, platform::TTypNapedu::CdRom);
    return folder;
  }
  static void Touch(const std::filesystem::path& file) { std::ofstream(file) << "x"; }

  platform::TPlatformaHost host_;
  platform::TZasiegPlatformy zasieg_{host_};
  std::filesystem::path root_;
  TfrmCD cd_;
};

TEST_F(TCD, ChoosesTheDriveHoldingThePackage) {
  Cd('D');
  const auto g = Cd('G');
  Touch(g / "DuzevIv2.exe");
  Touch(g / "UmowaPol.txt");
  TWidokCD first, second;
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) {
      return;
    }
    first = Look(dialog);
    testy::PauseForScreenshot();
    Click(dialog, IDC_btnOK);  // D: has no package: the dialog comes back
    WaitGone(dialog);
    HWND again = WaitForDialog();
    if (again == nullptr) {
      return;
    }
    ::SendMessageW(::GetDlgItem(again, IDC_cmbDrive), CB_SETCURSEL, 1, 0);
    second = Look(again);
    Click(again, IDC_btnOK);
    WaitGone(again);
  });
  const std::string root = cd_.ChooseSourceDrive();
  pilot.Join();
  EXPECT_EQ(root, "G:\\");
  EXPECT_EQ(first.items, (std::vector<std::u16string>{u"D:\\", u"G:\\"}));
  EXPECT_EQ(first.selected, 0);
  EXPECT_EQ(second.selected, 1);
  EXPECT_EQ(first.caption, u"Instalator");
  EXPECT_EQ(first.ok, u"OK");
  EXPECT_EQ(first.anuluj, u"Anuluj");
  EXPECT_NE(first.text.find(u"płytę CD"), std::u16string::npos);
  // Centred on the 800 x 600 desktop.
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(first.window.left,
            work.left + (work.right - work.left - (first.window.right - first.window.left)) / 2);
}

// The shell's view of the dialog: the program's icons, and a task-bar button of its own exactly
// while its owner (the wizard, hidden at start) is not on the screen.
TEST_F(TCD, CarriesTheIconsAndATaskBarButtonWhileItsOwnerIsHidden) {
  const struct {
    bool owner, ownerVisible, taskBarButton;
  } cases[] = {{false, false, true}, {true, false, true}, {true, true, false}};
  for (const auto& c : cases) {
    HWND owner = c.owner ? ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr,
                                             nullptr, nullptr, nullptr)
                         : nullptr;
    if (owner != nullptr && c.ownerVisible) {
      ::ShowWindow(owner, SW_SHOWNOACTIVATE);
    }
    bool bigIcon = false, smallIcon = false, appWindow = false;
    TPilot pilot([&] {
      HWND dialog = WaitForDialog(owner);
      if (dialog == nullptr) {
        return;
      }
      bigIcon = ::SendMessageW(dialog, WM_GETICON, ICON_BIG, 0) != 0;
      smallIcon = ::SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0) != 0;
      appWindow = (::GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0;
      Click(dialog, IDC_btnAnuluj);
      WaitGone(dialog);
    });
    EXPECT_EQ(cd_.ChooseSourceDrive(owner), "");
    pilot.Join();
    EXPECT_TRUE(bigIcon && smallIcon) << c.owner << c.ownerVisible;
    EXPECT_EQ(appWindow, c.taskBarButton) << c.owner << c.ownerVisible;
    if (owner != nullptr) {
      ::DestroyWindow(owner);
    }
  }
}

TEST_F(TCD, EmptyDriveListBringsTheDialogBackUntilCancel) {
  int showings = 0;
  std::size_t items = 99;
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) {
      return;
    }
    ++showings;
    items = Look(dialog).items.size();
    Click(dialog, IDC_btnOK);
    WaitGone(dialog);
    HWND again = WaitForDialog();
    if (again == nullptr) {
      return;
    }
    ++showings;
    PressKey(again, IDC_cmbDrive, VK_ESCAPE);
    WaitGone(again);
  });
  EXPECT_EQ(cd_.ChooseSourceDrive(), "");
  pilot.Join();
  EXPECT_EQ(showings, 2);
  EXPECT_EQ(items, 0u);
}

TEST_F(TCD, DriveListIsReadAnewAtEveryShowing) {
  Cd('D');
  TWidokCD second;
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) {
      return;
    }
    // A second drive appears while the dialog is up; OK on the empty D: shows it.
    const auto e = Cd('E');
    Touch(e / "DuzevIv.exe");
    Touch(e / "UmowaPol.txt");
    Click(dialog, IDC_btnOK);
    WaitGone(dialog);
    HWND again = WaitForDialog();
    if (again == nullptr) {
      return;
    }
    second = Look(again);
    ::SendMessageW(::GetDlgItem(again, IDC_cmbDrive), CB_SETCURSEL, 1, 0);
    Click(again, IDC_btnOK);
    WaitGone(again);
  });
  EXPECT_EQ(cd_.ChooseSourceDrive(), "E:\\");
  pilot.Join();
  EXPECT_EQ(second.items, (std::vector<std::u16string>{u"D:\\", u"E:\\"}));
}

TEST_F(TCD, RussianCaptionCarriesTheTitle) {
  cd_.SetLanguage(kJezykRosyjski);
  TWidokCD view;
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) {
      return;
    }
    view = Look(dialog);
    testy::PauseForScreenshot();
    Click(dialog, IDC_btnAnuluj);
    WaitGone(dialog);
  });
  EXPECT_EQ(cd_.ChooseSourceDrive(), "");
  pilot.Join();
  EXPECT_EQ(view.ok, GetText(kJezykRosyjski, 222, false));
  EXPECT_EQ(view.anuluj, GetText(kJezykRosyjski, 6, false));
  // Text 301 has no placeholder in Russian either; the label carries the title.
  EXPECT_EQ(view.caption, u"Программа установки");
  const std::u16string title =
      ConvertStoredText(ActiveEditionDescriptor().editionTitle, kJezykRosyjski, false);
  EXPECT_EQ(title, u"Орвала Пакиет");
  EXPECT_NE(view.text.find(u"«" + title + u"»"), std::u16string::npos);
}

TEST_F(TCD, EnglishCaptionIsTitleThenInstaller) {
  cd_.SetLanguage(kJezykAngielski);
  std::u16string caption;
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) {
      return;
    }
    caption = Text16(dialog);
    Click(dialog, IDC_btnAnuluj);
    WaitGone(dialog);
  });
  EXPECT_EQ(cd_.ChooseSourceDrive(), "");
  pilot.Join();
  const std::u16string title =
      ConvertStoredText(ActiveEditionDescriptor().editionTitle, kJezykAngielski, true);
  ASSERT_FALSE(title.empty());
  EXPECT_EQ(caption, title + u" - Instalator");
}

}  // namespace
}  // namespace orvala
