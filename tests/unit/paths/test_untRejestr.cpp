// The registry accessor, the reader and the in-progress flag.
#include <gtest/gtest.h>

#include "config/untRejestr.h"
#include "platform/host/untPlatformaHost.h"
#include "platform/untPlatformaAwarie.h"

namespace orvala {
namespace {

using platform::TOperacja;
using platform::TWartoscRejestru;

constexpr const char* kProdukt = "SOFTWARE\\Vertal\\Orvala";

class TRejestrTest : public testing::Test {
 protected:
  std::optional<std::int32_t> Flag() {
    const auto v = host_.RegistryValue(TKorzen::CurrentUser, kProdukt, kWartoscInstalacjaTrwa);
    if (!v || v->type != TWartoscRejestru::TTyp::Dword) {
      return std::nullopt;
    }
    return v->number;
  }
  platform::TPlatformaHost host_;
  platform::TZasiegPlatformy scope_{host_};
};

TEST_F(TRejestrTest, InProgressFlagIsCreatedUnderTheUserAndCleared) {
  ASSERT_FALSE(host_.KeyExists(TKorzen::CurrentUser, kProdukt));
  SetInstallationInProgress(10, true);
  EXPECT_EQ(Flag(), 1);
  SetInstallationInProgress(10, false);
  EXPECT_EQ(Flag(), 0);
  EXPECT_FALSE(host_.KeyExists(TKorzen::LocalMachine, kProdukt));
}

TEST_F(TRejestrTest, ClearingTheFlagOfADeletedKeyCreatesNothing) {
  SetInstallationInProgress(10, true);
  host_.DeleteKey(TKorzen::CurrentUser, "SOFTWARE\\Vertal");
  SetInstallationInProgress(10, false);
  EXPECT_FALSE(host_.KeyExists(TKorzen::CurrentUser, kProdukt));
  EXPECT_FALSE(host_.KeyExists(TKorzen::CurrentUser, "SOFTWARE\\Vertal"));
}

TEST_F(TRejestrTest, EditionWithoutProductKeyWritesNothing) {
  SetInstallationInProgress(99, true);
  EXPECT_FALSE(host_.RegistryValue(TKorzen::CurrentUser, "", kWartoscInstalacjaTrwa));
  EXPECT_FALSE(host_.KeyExists(TKorzen::CurrentUser, kProdukt));
}

TEST_F(TRejestrTest, FailingRegistryIsQuiet) {
  platform::TPlatformaAwarie faults(host_);
  platform::TZasiegPlatformy scope(faults);
  faults.FailNth(TOperacja::RegistryOpen, 1);
  SetInstallationInProgress(10, true);
  EXPECT_FALSE(host_.KeyExists(TKorzen::CurrentUser, kProdukt));
  faults.FailNth(TOperacja::RegistryWrite, 1);
  SetInstallationInProgress(10, true);
  EXPECT_TRUE(host_.KeyExists(TKorzen::CurrentUser, kProdukt));
  EXPECT_FALSE(Flag());
  EXPECT_EQ(faults.Calls(TOperacja::RegistryOpen), 2);
}

TEST_F(TRejestrTest, ReadOnlyOpenNeitherCreatesNorWrites) {
  std::unique_ptr<TRejestr> accessor;
  EXPECT_FALSE(OpenRegistryKey(accessor, TKorzen::LocalMachine, "Software\\Nowy", true));
  ASSERT_NE(accessor, nullptr);
  EXPECT_EQ(accessor->Access(), kKeyRead);
  EXPECT_FALSE(accessor->IsOpen());
  EXPECT_FALSE(host_.KeyExists(TKorzen::LocalMachine, "Software\\Nowy"));
  EXPECT_TRUE(CloseRegistryKey(accessor));
  EXPECT_EQ(accessor, nullptr);

  ASSERT_TRUE(OpenRegistryKey(accessor, TKorzen::LocalMachine, "Software\\Nowy", false));
  EXPECT_EQ(accessor->Access(), kKeyAllAccess);
  EXPECT_TRUE(host_.KeyExists(TKorzen::LocalMachine, "Software\\Nowy"));
  EXPECT_TRUE(accessor->WriteBool("AllUsers", true));
  EXPECT_TRUE(CloseRegistryKey(accessor));

  ASSERT_TRUE(OpenRegistryKey(accessor, TKorzen::LocalMachine, "Software\\Nowy", true));
  EXPECT_FALSE(accessor->WriteBool("AllUsers", false));
  const auto flag = host_.RegistryValue(TKorzen::LocalMachine, "Software\\Nowy", "AllUsers");
  ASSERT_TRUE(flag);
  EXPECT_EQ(flag->number, 1);
  EXPECT_TRUE(CloseRegistryKey(accessor));
  EXPECT_TRUE(CloseRegistryKey(accessor));  // no accessor left
}

TEST_F(TRejestrTest, ReadRegistryStringLeavesTheValueOnFailure) {
  std::string value = "unchanged";
  EXPECT_FALSE(ReadRegistryString(TKorzen::CurrentUser, "Software\\Brak", "X", value));
  EXPECT_FALSE(host_.KeyExists(TKorzen::CurrentUser, "Software\\Brak"));
  {
    auto key = host_.OpenKey(TKorzen::CurrentUser, "Software\\Jest", kKeyAllAccess, true);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->WriteString("Tekst", "abc"));
    ASSERT_TRUE(key->WriteInteger("Liczba", 5));
  }
  EXPECT_FALSE(ReadRegistryString(TKorzen::CurrentUser, "Software\\Jest", "Brak", value));
  EXPECT_FALSE(ReadRegistryString(TKorzen::CurrentUser, "Software\\Jest", "Liczba", value));
  EXPECT_EQ(value, "unchanged");
  EXPECT_TRUE(ReadRegistryString(TKorzen::CurrentUser, "software\\JEST", "tekst", value));
  EXPECT_EQ(value, "abc");
}

}  // namespace
}  // namespace orvala
