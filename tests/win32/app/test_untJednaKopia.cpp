// One copy per session: who holds the session's name, and how a later copy finds the wizard.
#include <gtest/gtest.h>

#include <memory>

#include "app/untJednaKopia.h"

namespace orvala {
namespace {

constexpr wchar_t kNazwaTestu[] = L"Local\\OrvalaPakiet.Test.JednaKopia";

TEST(JednaKopia, TheNameIsHeldUntilItsHolderGoes) {
  auto first = std::make_unique<TJednaKopia>(kNazwaTestu);
  ASSERT_TRUE(first->Claim());
  TJednaKopia later(kNazwaTestu);
  EXPECT_FALSE(later.Claim());
  EXPECT_FALSE(later.Claim());  // refused once, it holds nothing that keeps the name alive
  first.reset();
  EXPECT_TRUE(later.Claim());
}

// The first copy runs elevated or as another account: the later one may not open the name.
TEST(JednaKopia, ANameThatCannotBeOpenedIsAnotherCopys) {
  SECURITY_DESCRIPTOR descriptor;
  ACL acl;
  ASSERT_TRUE(::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
  ASSERT_TRUE(::InitializeAcl(&acl, sizeof acl, ACL_REVISION));  // no entry: nobody may open it
  ASSERT_TRUE(::SetSecurityDescriptorDacl(&descriptor, TRUE, &acl, FALSE));
  SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
  const TUchwytMuteksu other(::CreateMutexW(&attributes, FALSE, kNazwaTestu));
  ASSERT_TRUE(other);
  TJednaKopia later(kNazwaTestu);
  EXPECT_FALSE(later.Claim());
}

}  // namespace
}  // namespace orvala
