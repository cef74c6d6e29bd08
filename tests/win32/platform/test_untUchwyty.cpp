// The handle owners: one close per value, moves that leave the source empty, the kind's own
// invalid value.
#include "platform/win32/untUchwyty.h"

#include "platform/win32/untBibliotekiSystemowe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvala::platform::win32 {
namespace {

std::vector<int> gZamkniete;
void Zamknij(int v) {
  gZamkniete.push_back(v);
}
int MinusJeden() {
  return -1;
}
using TLicznik = TUchwyt<int, &Zamknij, &MinusJeden>;

TEST(TUchwyt, ClosesEachValueOnceAndNeverTheInvalidOne) {
  gZamkniete.clear();
  {
    TLicznik a(0);  // 0 is a valid value of this kind
    TLicznik b(7);
    TLicznik c;
    EXPECT_TRUE(a.IsValid());
    EXPECT_FALSE(c.IsValid());
    c = std::move(b);
    EXPECT_FALSE(b.IsValid());
    EXPECT_EQ(c.Get(), 7);
    a.Reset(3);
    EXPECT_EQ(gZamkniete, (std::vector<int>{0}));
    EXPECT_EQ(a.Release(), 3);
    *a.Put() = 9;
    TLicznik d(std::move(a));
    EXPECT_EQ(d.Get(), 9);
  }
  EXPECT_EQ(gZamkniete, (std::vector<int>{0, 9, 7}));
}

TEST(TUchwyt, FileHandleIsClosedByItsOwner) {
  char temp[MAX_PATH + 1] = {};
  ASSERT_NE(::GetTempPathA(MAX_PATH, temp), 0u);
  const std::string path = std::string(temp) + "orvala-uchwyt.tmp";
  HANDLE raw = INVALID_HANDLE_VALUE;
  {
    TUchwytPliku file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    raw = file.Get();
    DWORD flags = 0;
    EXPECT_TRUE(::GetHandleInformation(raw, &flags));
    TUchwytPliku invalid(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(invalid);
  }
  // Opened without sharing: only a closed handle lets the file be opened again.
  TUchwytPliku again(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(again);
  again.Reset();
  EXPECT_TRUE(::DeleteFileA(path.c_str()));
}

TEST(TUchwyt, KeyAndDeviceContext) {
  TUchwytKlucza key;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.Put()), ERROR_SUCCESS);
  EXPECT_TRUE(key);
  TUchwytDC dc = PobierzDC(nullptr);
  EXPECT_TRUE(dc);
  EXPECT_GT(::GetDeviceCaps(dc.Get().dc, LOGPIXELSY), 0);
}

// A DLL of the system loaded at run time comes from the system directory, whatever lies in the
// program's folder or the current one.
TEST(LoadSystemLibrary, TakesTheSystemDirectorysCopyOrNothing) {
  const TUchwytModulu version = LoadSystemLibrary(L"version.dll");
  ASSERT_TRUE(version.IsValid());
  wchar_t file[MAX_PATH];
  wchar_t system[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(version.Get(), file, MAX_PATH);
  const UINT s = ::GetSystemDirectoryW(system, MAX_PATH);
  ASSERT_GT(n, s);
  EXPECT_EQ(::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, file, static_cast<int>(s), system,
                             static_cast<int>(s)),
            CSTR_EQUAL);
  EXPECT_FALSE(LoadSystemLibrary(L"orvala-nie-ma-takiej.dll").IsValid());
}

}  // namespace
}  // namespace orvala::platform::win32
