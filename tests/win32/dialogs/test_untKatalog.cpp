#include "dialogs/untKatalog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>

#include "config/untInstalTeksty.h"
#include "dialogs/untKatalogDodaj.h"
#include "dialogs/untPytanie.h"
#include "pilotOkien.h"
#include "platform/host/untPlatformaHost.h"
#include "textutil/untKodowanie.h"
#include "untIdentyfikatory.h"

namespace orvala {
namespace {

using testy::Click;
using testy::Text16;
using testy::TPilot;
using testy::WaitForDialog;
using testy::WaitGone;

std::u16string ItemText(HWND tree, HTREEITEM item) {
  wchar_t buffer[260] = {};
  TVITEMW query{};
  query.mask = TVIF_TEXT | TVIF_HANDLE;
  query.hItem = item;
  query.pszText = buffer;
  query.cchTextMax = 260;
  ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
  return std::u16string(buffer, buffer + std::wcslen(buffer));
}

std::u16string SelectedText(HWND dialog) {
  HWND tree = ::GetDlgItem(dialog, IDC_trvKatalog);
  auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  return item != nullptr ? ItemText(tree, item) : u"<none>";
}

std::vector<std::u16string> TopLevelTexts(HWND dialog) {
  HWND tree = ::GetDlgItem(dialog, IDC_trvKatalog);
  std::vector<std::u16string> texts;
  for (auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
       item != nullptr; item = reinterpret_cast<HTREEITEM>(::SendMessageW(
                            tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    texts.push_back(ItemText(tree, item));
  }
  return texts;
}

void SetEditText(HWND dialog, int id, const wchar_t* text) {
  ::SendMessageW(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// Asks the chooser for a new folder `name` that cannot be made and returns the text of the
// question that tells it; `inspect` sees the question before its OK is pressed.
std::u16string RefusedFolderMessage(HWND dialog, const wchar_t* name,
                                    const std::function<void(HWND)>& inspect = {}) {
  Click(dialog, IDC_btnUtworz);
  HWND dodaj = WaitForDialog(dialog);
  if (dodaj == nullptr) {
    return u"<no name dialog>";
  }
  SetEditText(dodaj, IDC_edtDodaj, name);
  Click(dodaj, IDC_btnDodaj);
  WaitGone(dodaj);
  HWND question = WaitForDialog(dialog);
  if (question == nullptr) {
    return u"<no question>";
  }
  if (inspect) {
    inspect(question);
  }
  std::u16string message = Text16(::GetDlgItem(question, IDC_lblPytanie));
  Click(question, IDC_btnTak);
  WaitGone(question);
  return message;
}

class TKatalog : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() / (std::string("orvala-kat-") + info->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "c" / "Program Files" / "Common");
    std::filesystem::create_directories(root_ / "c" / "Windows");
    std::filesystem::create_directories(root_ / "d");
    host_.MapDrive('C', root_ / "c", platform::TTypNapedu::Fixed);
    host_.MapDrive('D', root_ / "d", platform::TTypNapedu::CdRom);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  platform::TPlatformaHost host_;
  platform::TZasiegPlatformy zasieg_{host_};
  std::filesystem::path root_;
  TfrmPytanie pytanie_;
  TfrmKatalogDodaj dodaj_;
  TfrmKatalog katalog_{dodaj_, pytanie_};
};

TEST_F(TKatalog, SelectsTheDeepestExistingFolderAndCancelKeepsThePath) {
  std::u16string caption, edit, selected, utworz;
  std::vector<std::u16string> disks;
  bool utworzEnabled = false;
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) {
      return;
    }
    caption = Text16(dialog);
    edit = Text16(::GetDlgItem(dialog, IDC_edtKatalog));
    selected = SelectedText(dialog);
    disks = TopLevelTexts(dialog);
    utworz = Text16(::GetDlgItem(dialog, IDC_btnUtworz));
    utworzEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, IDC_btnUtworz)) != FALSE;
    testy::PauseForScreenshot();
    SetEditText(dialog, IDC_edtKatalog, L"C:\\Inny");  // typed, then cancelled
    Click(dialog, IDC_btnAnuluj);
    WaitGone(dialog);
  });
  EXPECT_EQ(katalog_.ChooseDirectory(u"c:\\program files\\Orvalis", ""),
            u"c:\\program files\\Orvalis");
  pilot.Join();
  EXPECT_EQ(caption, u"Wybierz katalog");
  EXPECT_EQ(edit, u"c:\\program files\\Orvalis");  // unchanged by the dialog's own selection
  EXPECT_EQ(selected, u"Program Files");
  EXPECT_EQ(disks, std::vector<std::u16string>{u"C:\\"});  // the CD-ROM drive is not shown
  EXPECT_EQ(utworz, u"Nowy katalog");
  EXPECT_TRUE(utworzEnabled);
}

TEST_F(TKatalog, OkReturnsWhateverTheFieldHolds) {
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) {
      return;
    }
    SetEditText(dialog, IDC_edtKatalog, L"D:\\Gdzie\\Zażółć");
    Click(dialog, IDC_btnOK);
    WaitGone(dialog);
  });
  EXPECT_EQ(katalog_.ChooseDirectory(u"C:\\", "Inny tytu\xB3"), u"D:\\Gdzie\\Zażółć");
  pilot.Join();
}

// A path that names no fixed disk (D: is the CD-ROM drive), or no path at all, leaves the tree
// without a selection even though the tree takes the focus; OK returns the path as it stands.
TEST_F(TKatalog, PathOnNoFixedDiskLeavesTheTreeWithoutASelection) {
  for (const char16_t* initial : {u"D:\\Orvalis", u""}) {
    std::u16string edit, selected;
    bool utworzEnabled = true;
    TPilot pilot([&] {
      HWND dialog = WaitForDialog();
      if (dialog == nullptr) {
        return;
      }
      ::Sleep(100);  // focus and repaint done
      edit = Text16(::GetDlgItem(dialog, IDC_edtKatalog));
      selected = SelectedText(dialog);
      utworzEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, IDC_btnUtworz)) != FALSE;
      Click(dialog, IDC_btnOK);
      WaitGone(dialog);
    });
    EXPECT_EQ(katalog_.ChooseDirectory(initial, ""), initial);
    pilot.Join();
    EXPECT_EQ(edit, initial);
    EXPECT_EQ(selected, u"<none>");
    EXPECT_FALSE(utworzEnabled);
  }
}

// On a Russian system (code page 1251) folder names show in Cyrillic and a typed Cyrillic path
// of the other case selects its folders; a new folder's name is refused with text 225 only for
// what no name can hold, and the message shows the name with its Polish letters.
TEST_F(TKatalog, NamesShowWhateverTheSystemCodePage) {
  host_.SetAnsiCodePage(TStronaKodowa::Cp1251);
  std::filesystem::create_directories(root_ / "c" / std::filesystem::path(u8"Док"));
  std::u16string edit, selected, message;
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) {
      return;
    }
    edit = Text16(::GetDlgItem(dialog, IDC_edtKatalog));
    selected = SelectedText(dialog);
    message = RefusedFolderMessage(dialog, L"Łódź|");
    Click(dialog, IDC_btnOK);
    WaitGone(dialog);
  });
  EXPECT_EQ(katalog_.ChooseDirectory(u"c:\\дОК\\Новая", ""), u"c:\\дОК\\Новая");
  pilot.Join();
  EXPECT_EQ(edit, u"c:\\дОК\\Новая");
  EXPECT_EQ(selected, u"Док");
  EXPECT_EQ(message, u"Nie można utworzyć katalogu \"Łódź|\".");
  EXPECT_EQ(std::distance(
                std::filesystem::directory_iterator(root_ / "c" / std::filesystem::path(u8"Док")),
                std::filesystem::directory_iterator()),
            0);
}

TEST_F(TKatalog, UserSelectionUpdatesTheField) {
  std::u16string edit;
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) {
      return;
    }
    HWND tree = ::GetDlgItem(dialog, IDC_trvKatalog);
    auto disk = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(disk));
    edit = Text16(::GetDlgItem(dialog, IDC_edtKatalog));
    Click(dialog, IDC_btnOK);
    WaitGone(dialog);
  });
  EXPECT_EQ(katalog_.ChooseDirectory(u"C:\\Windows", ""), u"C:\\");
  pilot.Join();
  EXPECT_EQ(edit, u"C:\\");
}

TEST_F(TKatalog, NewFolderBecomesTheSelection) {
  std::u16string dodajCaption, edit, selected;
  bool disabledWhenEmpty = false, enabledWithName = false;
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) {
      return;
    }
    Click(dialog, IDC_btnUtworz);
    HWND name = WaitForDialog(dialog);
    if (name == nullptr) {
      return;
    }
    dodajCaption = Text16(name);
    disabledWhenEmpty = ::IsWindowEnabled(::GetDlgItem(name, IDC_btnDodaj)) == FALSE;
    SetEditText(name, IDC_edtDodaj, L"Orvalis");
    enabledWithName = ::IsWindowEnabled(::GetDlgItem(name, IDC_btnDodaj)) != FALSE;
    testy::PauseForScreenshot();
    Click(name, IDC_btnDodaj);
    WaitGone(name);
    ::Sleep(50);
    edit = Text16(::GetDlgItem(dialog, IDC_edtKatalog));
    selected = SelectedText(dialog);
    Click(dialog, IDC_btnOK);
    WaitGone(dialog);
  });
  EXPECT_EQ(katalog_.ChooseDirectory(u"C:\\Program Files", ""), u"C:\\Program Files\\Orvalis");
  pilot.Join();
  EXPECT_EQ(dodajCaption, u"Nowy katalog");
  EXPECT_TRUE(disabledWhenEmpty);
  EXPECT_TRUE(enabledWithName);
  EXPECT_EQ(edit, u"C:\\Program Files\\Orvalis");
  EXPECT_EQ(selected, u"Orvalis");
  EXPECT_TRUE(std::filesystem::is_directory(root_ / "c" / "Program Files" / "Orvalis"));
}

TEST_F(TKatalog, FailedCreationIsToldAndChangesNothing) {
  std::u16string message, edit;
  bool onlyOk = false;
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) {
      return;
    }
    // "Common" exists already: it cannot be created.
    message = RefusedFolderMessage(dialog, L"Common", [&](HWND question) {
      onlyOk = !::IsWindowVisible(::GetDlgItem(question, IDC_btnNie)) &&
               Text16(::GetDlgItem(question, IDC_btnTak)) == u"OK";
      testy::PauseForScreenshot();
    });
    edit = Text16(::GetDlgItem(dialog, IDC_edtKatalog));
    Click(dialog, IDC_btnAnuluj);
    WaitGone(dialog);
  });
  EXPECT_EQ(katalog_.ChooseDirectory(u"C:\\Program Files", ""), u"C:\\Program Files");
  pilot.Join();
  EXPECT_EQ(message, u"Nie można utworzyć katalogu \"Common\".");
  EXPECT_TRUE(onlyOk);
  EXPECT_EQ(edit, u"C:\\Program Files");
}

TEST_F(TKatalog, ExpandMarkOfAFolderNeverSelectedOpensIt) {
  std::u16string child, selected;
  bool hitButton = false;
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) {
      return;
    }
    HWND tree = ::GetDlgItem(dialog, IDC_trvKatalog);
    auto disk = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    // "Program Files" is the disk's first child; its children are not read yet.
    auto folder = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(disk)));
    RECT rect{};
    std::memcpy(&rect, &folder, sizeof folder);  // TVM_GETITEMRECT takes the item in the rect
    ::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    const int y = (rect.top + rect.bottom) / 2;
    for (int x = 0; x < rect.left && !hitButton; ++x) {
      TVHITTESTINFO hit{};
      hit.pt = {x, y};
      ::SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
      if (hit.hItem == folder && (hit.flags & TVHT_ONITEMBUTTON) != 0) {
        hitButton = true;
        ::PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::PostMessageW(tree, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
      }
    }
    ::Sleep(200);
    auto first = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(folder)));
    child = first != nullptr ? ItemText(tree, first) : u"<none>";
    selected = SelectedText(dialog);
    Click(dialog, IDC_btnAnuluj);
    WaitGone(dialog);
  });
  katalog_.ChooseDirectory(u"C:\\", "");
  pilot.Join();
  ASSERT_TRUE(hitButton);
  EXPECT_EQ(child, u"Common");
  EXPECT_EQ(selected, u"C:\\");  // opening a folder does not select it
}

TEST_F(TKatalog, RussianCaptions) {
  katalog_.SetLanguage(kJezykRosyjski);
  std::u16string caption, ok, utworz;
  TPilot pilot([&] {
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) {
      return;
    }
    caption = Text16(dialog);
    ok = Text16(::GetDlgItem(dialog, IDC_btnOK));
    utworz = Text16(::GetDlgItem(dialog, IDC_btnUtworz));
    testy::PauseForScreenshot();
    Click(dialog, IDC_btnAnuluj);
    WaitGone(dialog);
  });
  katalog_.ChooseDirectory(u"C:\\", "");
  pilot.Join();
  EXPECT_EQ(caption, GetText(kJezykRosyjski, 221, false));
  EXPECT_EQ(ok, GetText(kJezykRosyjski, 222, false));
  EXPECT_EQ(utworz, GetText(kJezykRosyjski, 224, false));
  ASSERT_FALSE(utworz.empty());
  EXPECT_GE(utworz[0], u'\u0400');
}

}  // namespace
}  // namespace orvala
