// The fault-injecting wrapper: counting, planned failures, and what a failed call leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <system_error>

#include "platform/host/untPlatformaHost.h"
#include "platform/untPlatformaAwarie.h"
#include "untKatalogTymczasowy.h"

namespace orvala::platform {
namespace {

namespace fs = std::filesystem;

class TPlatformaAwarieTest : public testing::Test {
 protected:
  void SetUp() override { host_.MapDrive('C', root_); }
  bool WriteThrough(TPlatforma& p, const std::string& path, const std::string& text) {
    auto file = p.CreateWrite(path);
    std::size_t written = 0;
    return file && file->Write(text.data(), text.size(), written) && file->Close();
  }
  testy::TKatalogTymczasowy folder_{"orvala-awarie"};
  const fs::path& root_ = folder_.Path();
  TPlatformaHost host_;
  TPlatformaAwarie faults_{host_};
};

TEST_F(TPlatformaAwarieTest, FailsExactlyThePlannedCallsAndCountsEveryOne) {
  faults_.FailNth(TOperacja::CreateDirectory, 2);
  faults_.FailNth(TOperacja::CreateDirectory, 4);
  EXPECT_TRUE(faults_.CreateDirectory("C:\\a"));
  EXPECT_FALSE(faults_.CreateDirectory("C:\\b"));
  EXPECT_TRUE(faults_.CreateDirectoryWide(u"C:\\c"));
  EXPECT_FALSE(faults_.CreateDirectory("C:\\d"));
  EXPECT_TRUE(faults_.CreateDirectory("C:\\e"));
  EXPECT_EQ(faults_.Calls(TOperacja::CreateDirectory), 5);
  EXPECT_FALSE(host_.DirectoryExists("C:\\b"));  // the inner platform was not called
  EXPECT_FALSE(host_.DirectoryExists("C:\\d"));
  EXPECT_EQ(faults_.Calls(TOperacja::Delete), 0);  // counters are per operation

  faults_.FailFrom(TOperacja::RemoveDirectory, 2);
  EXPECT_TRUE(faults_.RemoveDirectory("C:\\a"));
  EXPECT_FALSE(faults_.RemoveDirectory("C:\\c"));
  EXPECT_FALSE(faults_.RemoveDirectory("C:\\e"));
  faults_.ClearFailures();
  EXPECT_TRUE(faults_.RemoveDirectory("C:\\e"));
  faults_.ResetCounts();
  EXPECT_EQ(faults_.Calls(TOperacja::RemoveDirectory), 0);
}

TEST_F(TPlatformaAwarieTest, FailedCreateLeavesTheOldFile) {
  ASSERT_TRUE(WriteThrough(host_, "C:\\f.txt", "old"));
  faults_.FailNth(TOperacja::CreateWrite, 1);
  EXPECT_FALSE(WriteThrough(faults_, "C:\\f.txt", "new"));
  EXPECT_EQ(host_.FindEntry("C:\\f.txt")->size, 3u);
  faults_.FailNth(TOperacja::OpenRead, 1);
  EXPECT_EQ(faults_.OpenRead("C:\\f.txt"), nullptr);
  EXPECT_NE(faults_.OpenRead("C:\\f.txt"), nullptr);
}

TEST_F(TPlatformaAwarieTest, FailedReadAndCloseStillReleaseTheFile) {
  ASSERT_TRUE(WriteThrough(host_, "C:\\f.txt", "abcdef"));
  faults_.FailNth(TOperacja::Read, 2);
  faults_.FailNth(TOperacja::Close, 1);
  auto file = faults_.OpenRead("C:\\f.txt");
  ASSERT_NE(file, nullptr);
  char buffer[4];
  std::size_t got = 0;
  EXPECT_TRUE(file->Read(buffer, 2, got));
  EXPECT_FALSE(file->Read(buffer, 2, got));
  EXPECT_EQ(got, 0u);
  EXPECT_FALSE(file->Close());
  EXPECT_EQ(faults_.Calls(TOperacja::Close), 1);
  // Closed despite the failure: the file can be deleted and replaced.
  EXPECT_TRUE(faults_.DeleteFile("C:\\f.txt"));
}

TEST_F(TPlatformaAwarieTest, FileOperationsFailWithoutTouchingTheFiles) {
  ASSERT_TRUE(WriteThrough(host_, "C:\\a.txt", "a"));
  ASSERT_TRUE(WriteThrough(host_, "C:\\b.txt", "b"));
  for (TOperacja op : {TOperacja::Delete, TOperacja::Rename, TOperacja::Replace,
                       TOperacja::CopyFile, TOperacja::ShellLink}) {
    faults_.FailNth(op, 1);
  }
  EXPECT_FALSE(faults_.DeleteFile("C:\\a.txt"));
  EXPECT_FALSE(faults_.RenameFile("C:\\a.txt", "C:\\c.txt"));
  EXPECT_FALSE(faults_.ReplaceFile("C:\\a.txt", "C:\\b.txt"));
  EXPECT_FALSE(faults_.CopyFileNoOverwrite("C:\\a.txt", "C:\\d.txt"));
  EXPECT_FALSE(faults_.CreateShellLink("C:\\a.txt", "C:\\", u"C:\\l.lnk", u"l"));
  EXPECT_TRUE(host_.FileExists("C:\\a.txt"));
  EXPECT_EQ(host_.FindEntry("C:\\b.txt")->size, 1u);
  EXPECT_FALSE(host_.FileExists("C:\\c.txt"));
  EXPECT_FALSE(host_.FileExists("C:\\d.txt"));
  EXPECT_FALSE(host_.FileExists("C:\\l.lnk"));
  EXPECT_TRUE(faults_.RenameFile("C:\\a.txt", "C:\\c.txt"));
}

// A planned failure's reason comes back with the failed call's result; a failure of the inner
// platform comes back with the inner platform's reason.
TEST_F(TPlatformaAwarieTest, AFailedResultCarriesThePlannedReason) {
  ASSERT_TRUE(WriteThrough(host_, "C:\\a.txt", "a"));
  const struct {
    TOperacja operation;
    std::function<TPrzyczynaBledu()> call;
  } cases[] = {
      {TOperacja::Delete, [&] { return faults_.DeleteFile("C:\\a.txt").Reason(); }},
      {TOperacja::Rename, [&] { return faults_.RenameFile("C:\\a.txt", "C:\\b.txt").Reason(); }},
      {TOperacja::Replace, [&] { return faults_.ReplaceFile("C:\\a.txt", "C:\\b.txt").Reason(); }},
      {TOperacja::OpenRead, [&] { return faults_.OpenRead("C:\\a.txt").Reason(); }},
      {TOperacja::CreateWrite, [&] { return faults_.CreateWrite("C:\\a.txt").Reason(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.operation));
    faults_.FailNth(c.operation, faults_.Calls(c.operation) + 1, TPrzyczynaBledu::PlikWUzyciu);
    EXPECT_EQ(c.call(), TPrzyczynaBledu::PlikWUzyciu);
  }
  EXPECT_TRUE(host_.FileExists("C:\\a.txt"));
  const TWynik missing = faults_.DeleteFile("C:\\missing.txt");
  EXPECT_FALSE(missing);
  EXPECT_EQ(missing.Reason(), TPrzyczynaBledu::Inna);
}

TEST_F(TPlatformaAwarieTest, RegistryOpenAndWriteFail) {
  faults_.FailNth(TOperacja::RegistryOpen, 1);
  EXPECT_EQ(faults_.OpenKey(TKorzen::CurrentUser, "Software\\X", kKeyAllAccess, true), nullptr);
  EXPECT_FALSE(host_.KeyExists(TKorzen::CurrentUser, "Software\\X"));
  auto key = faults_.OpenKey(TKorzen::CurrentUser, "Software\\X", kKeyAllAccess, true);
  ASSERT_NE(key, nullptr);
  faults_.FailNth(TOperacja::RegistryWrite, 2);
  EXPECT_TRUE(key->WriteString("A", "1"));
  EXPECT_FALSE(key->WriteBool("B", true));
  EXPECT_TRUE(key->WriteInteger("C", 3));
  EXPECT_FALSE(host_.RegistryValue(TKorzen::CurrentUser, "Software\\X", "B"));
  std::string a;
  EXPECT_TRUE(key->ReadString("A", a));
  EXPECT_EQ(faults_.Calls(TOperacja::RegistryWrite), 3);
}

TEST_F(TPlatformaAwarieTest, ShortWriteOfASingleByteWritesNothing) {
  faults_.FailNth(TOperacja::Write, 1);
  auto file = faults_.CreateWrite("C:\\w.bin");
  ASSERT_NE(file, nullptr);
  std::size_t written = 99;
  EXPECT_FALSE(file->Write("x", 1, written));
  EXPECT_EQ(written, 0u);
  EXPECT_TRUE(file->Close());
  EXPECT_EQ(host_.FindEntry("C:\\w.bin")->size, 0u);
}

}  // namespace
}  // namespace orvala::platform
