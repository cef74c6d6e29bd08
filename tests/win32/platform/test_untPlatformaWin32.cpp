// What only the real platform has: shell links the shell reads back, fonts of the system, the
// program's own resources and the system's folders and values.
#include "platform/win32/untWindows.h"

#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untUchwyty.h"
#include "textutil/untKodowanie.h"
#include "textutil/untUtils.h"

namespace orvala::platform {
namespace {

using namespace win32;

class TPlatformaWin32Test : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = platform_.TempDirectory() + "orvala-w32-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const char* name : {"\\cel.exe", "\\skrot.lnk"}) {
      ::DeleteFileA((folder_ + name).c_str());
    }
    ::RemoveDirectoryA(folder_.c_str());
  }
  TPlatformaWin32 platform_;
  std::string folder_;
};

// A real link that the shell reads back in UTF-16: a target in a folder with Polish letters,
// and the title as the description, every letter kept, Cyrillic too whatever the code page.
// (A link's target always lies in the target directory, which the ANSI code page holds; the
// shell of the test system keeps a target beyond it only in that code page.)
TEST_F(TPlatformaWin32Test, ShellLinkIsARealLinkWithTargetDirectoryAndDescription) {
  const std::string folder = folder_ + "\\Słownik";
  const std::string target = folder + "\\cel.exe";
  ASSERT_TRUE(platform_.CreateDirectory(folder));
  auto file = platform_.CreateWrite(target);
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(file->Close());
  const TWideString linkPath = platform_.WidenPath(folder_) + u"\\skrot.lnk";
  const TWideString title = u"Tłumacz polsko-rosyjski / Переводчик";
  ASSERT_TRUE(platform_.CreateShellLink(target, folder, linkPath, title));
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    TWskaznikCom<IShellLinkW> link;
    ASSERT_TRUE(
        SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, reinterpret_cast<void**>(link.Put()))));
    TWskaznikCom<IPersistFile> persist;
    ASSERT_TRUE(SUCCEEDED(
        link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.Put()))));
    const std::wstring wideLink(linkPath.begin(), linkPath.end());
    ASSERT_TRUE(SUCCEEDED(persist.Get()->Load(wideLink.c_str(), STGM_READ)));
    wchar_t text[MAX_PATH + 1] = {};
    const auto read = [&] { return TWideString(text, text + wcslen(text)); };
    ASSERT_TRUE(SUCCEEDED(link.Get()->GetPath(text, MAX_PATH, nullptr, 0)));
    EXPECT_TRUE(platform_.SamePath(Utf16ToUtf8(read()), target)) << Utf16ToUtf8(read());
    ASSERT_TRUE(SUCCEEDED(link.Get()->GetWorkingDirectory(text, MAX_PATH)));
    EXPECT_TRUE(platform_.SamePath(Utf16ToUtf8(read()), folder));
    ASSERT_TRUE(SUCCEEDED(link.Get()->GetDescription(text, MAX_PATH)));
    EXPECT_EQ(read(), title);
  }
  ::CoUninitialize();
  EXPECT_TRUE(platform_.DeleteFile(target));
  EXPECT_TRUE(platform_.RemoveDirectory(folder));
}

TEST_F(TPlatformaWin32Test, FontCharsetsOfTheSystem) {
  // The test prefix resolves Arial to a stand-in made from Liberation Sans, which has Central
  // European and Cyrillic.
  const std::vector<int> arial = platform_.FontCharsets("Arial");
  EXPECT_NE(std::find(arial.begin(), arial.end(), EASTEUROPE_CHARSET), arial.end());
  EXPECT_NE(std::find(arial.begin(), arial.end(), RUSSIAN_CHARSET), arial.end());
  EXPECT_TRUE(platform_.FontCharsets("No Such Face Orvala").empty());
  EXPECT_TRUE(platform_.FontCharsets(std::string(40, 'x')).empty());  // longer than a face name
}

TEST_F(TPlatformaWin32Test, OwnResourcesByName) {
  std::vector<std::uint8_t> data;
  ASSERT_TRUE(platform_.LoadResource("orvala_test", data));  // names ignore case
  EXPECT_EQ(std::string(data.begin(), data.end()), "abc");
  EXPECT_FALSE(platform_.LoadResource("ORVALA_BRAK", data));
}

TEST_F(TPlatformaWin32Test, SystemFoldersAndValues) {
  EXPECT_TRUE(platform_.IsNtPlatform());
  const std::string system = platform_.SystemDirectory();
  EXPECT_EQ(LowerText1250(system.substr(system.size() - 8)), "system32");
  EXPECT_EQ(LowerText1250(system.substr(0, platform_.WindowsDirectory().size())),
            LowerText1250(platform_.WindowsDirectory()));
  EXPECT_FALSE(platform_.SpecialFolder(kFolderDesktop).empty());
  EXPECT_FALSE(platform_.SpecialFolder(kFolderPrograms).empty());
  EXPECT_FALSE(platform_.SpecialFolder(kFolderCommonPrograms).empty());
  const std::string module = LowerText1250(platform_.ModuleFileName());
  EXPECT_EQ(module.substr(module.size() - 23), "test_platform_win32.exe");
  const std::uint32_t expected = ::GetACP() == 1250 ? 1045u : ::GetThreadLocale();
  EXPECT_EQ(platform_.ThreadLocale(), expected);
}

}  // namespace
}  // namespace orvala::platform
