// Conformance: the registry.
#include <algorithm>

#include "textutil/untKodowanie.h"
#include "untSrodowiskoZgodnosci.h"

namespace orvala::platform::testy {
namespace {

constexpr TKorzen kHkcu = TKorzen::CurrentUser;

TEST_F(TZgodnosc, MissingKeyOpensOnlyWhenCreated) {
  const std::string key = Env().RegistryKey() + "\\Pod\\Klucz";
  EXPECT_EQ(P().OpenKey(kHkcu, key, kKeyRead, false), nullptr);
  EXPECT_EQ(P().OpenKey(kHkcu, key, kKeyAllAccess, false), nullptr);
  std::unique_ptr<TKluczRejestru> created = P().OpenKey(kHkcu, key, kKeyAllAccess, true);
  ASSERT_NE(created, nullptr);
  EXPECT_TRUE(created->Close());
  // Every level was created; names compare without regard to case.
  EXPECT_NE(P().OpenKey(kHkcu, Env().RegistryKey() + "\\POD", kKeyRead, false), nullptr);
  EXPECT_NE(P().OpenKey(kHkcu, Env().RegistryKey() + "\\pod\\KLUCZ", kKeyRead, false), nullptr);
  // Opening an existing key with create does not disturb its values.
  {
    std::unique_ptr<TKluczRejestru> k = P().OpenKey(kHkcu, key, kKeyAllAccess, false);
    ASSERT_NE(k, nullptr);
    ASSERT_TRUE(k->WriteString("Wartosc", "1"));
  }
  std::unique_ptr<TKluczRejestru> again = P().OpenKey(kHkcu, key, kKeyAllAccess, true);
  ASSERT_NE(again, nullptr);
  std::string text;
  EXPECT_TRUE(again->ReadString("wartosc", text));
  EXPECT_EQ(text, "1");
}

// The program runs as the user at the screen (one user here): nothing is served otherwise, and
// the per-user registry stays the one it was.
TEST_F(TZgodnosc, TheUserLoggedOnIsTheProgramsOwnAccount) {
  const std::string key = Env().RegistryKey() + "\\Sesja";
  ASSERT_NE(P().OpenKey(kHkcu, key, kKeyAllAccess, true), nullptr);
  EXPECT_FALSE(P().ServeLoggedOnUser());
  EXPECT_NE(P().OpenKey(kHkcu, key, kKeyRead, false), nullptr);
}

TEST_F(TZgodnosc, ValuesKeepTheirTypes) {
  std::unique_ptr<TKluczRejestru> k = P().OpenKey(kHkcu, Env().RegistryKey(), kKeyAllAccess, true);
  ASSERT_NE(k, nullptr);
  ASSERT_TRUE(k->WriteString("Tekst", "C:\\Program Files\\Orvala"));
  ASSERT_TRUE(k->WriteInteger("Liczba", -7));
  ASSERT_TRUE(k->WriteBool("Flaga", true));
  ASSERT_TRUE(k->WriteBool("Zero", false));
  ASSERT_TRUE(k->WriteString("", "domyslna"));
  std::string text = "unchanged";
  std::int32_t number = 99;
  EXPECT_TRUE(k->ReadString("TEKST", text));
  EXPECT_EQ(text, "C:\\Program Files\\Orvala");
  EXPECT_TRUE(k->ReadString("", text));
  EXPECT_EQ(text, "domyslna");
  EXPECT_TRUE(k->ReadInteger("liczba", number));
  EXPECT_EQ(number, -7);
  EXPECT_TRUE(k->ReadInteger("Flaga", number));
  EXPECT_EQ(number, 1);
  EXPECT_TRUE(k->ReadInteger("Zero", number));
  EXPECT_EQ(number, 0);
  // A value of another type, or none, reads as missing and leaves the argument alone.
  text = "unchanged";
  number = 99;
  EXPECT_FALSE(k->ReadString("Liczba", text));
  EXPECT_FALSE(k->ReadInteger("Tekst", number));
  EXPECT_FALSE(k->ReadString("Brak", text));
  EXPECT_EQ(text, "unchanged");
  EXPECT_EQ(number, 99);
  // Overwriting changes the type.
  ASSERT_TRUE(k->WriteString("Liczba", "7"));
  EXPECT_TRUE(k->ReadString("Liczba", text));
  EXPECT_EQ(text, "7");
  EXPECT_FALSE(k->ReadInteger("Liczba", number));
}

// Strings, paths among them, read back whole in UTF-8, whatever the code page lacks.
TEST_F(TZgodnosc, StringsReadBackWholeInUtf8) {
  std::unique_ptr<TKluczRejestru> k = P().OpenKey(kHkcu, Env().RegistryKey(), kKeyAllAccess, true);
  ASSERT_NE(k, nullptr);
  ASSERT_TRUE(k->WriteWideString("Nazwa", u"Zażółć Жук"));
  ASSERT_TRUE(k->WriteString("Katalog", "C:\\Słowniki\\Грамматика"));
  std::string text;
  ASSERT_TRUE(k->ReadString("Nazwa", text));
  EXPECT_EQ(text, "Zażółć Жук");
  ASSERT_TRUE(k->ReadString("Katalog", text));
  EXPECT_EQ(text, "C:\\Słowniki\\Грамматика");
}

TEST_F(TZgodnosc, ReadAccessRefusesWrites) {
  {
    std::unique_ptr<TKluczRejestru> k =
        P().OpenKey(kHkcu, Env().RegistryKey(), kKeyAllAccess, true);
    ASSERT_NE(k, nullptr);
    ASSERT_TRUE(k->WriteString("A", "1"));
  }
  std::unique_ptr<TKluczRejestru> k = P().OpenKey(kHkcu, Env().RegistryKey(), kKeyRead, false);
  ASSERT_NE(k, nullptr);
  std::string text;
  EXPECT_TRUE(k->ReadString("A", text));
  EXPECT_FALSE(k->WriteString("A", "2"));
  EXPECT_FALSE(k->WriteInteger("B", 2));
  EXPECT_FALSE(k->WriteBool("C", true));
  EXPECT_TRUE(k->ReadString("A", text));
  EXPECT_EQ(text, "1");
  std::int32_t number = 0;
  EXPECT_FALSE(k->ReadInteger("B", number));
}

TEST_F(TZgodnosc, KeyDeletedWhileOpenTakesNoWrites) {
  std::unique_ptr<TKluczRejestru> k = P().OpenKey(kHkcu, Env().RegistryKey(), kKeyAllAccess, true);
  ASSERT_NE(k, nullptr);
  Env().DeleteKey(kHkcu, Env().RegistryKey());
  EXPECT_FALSE(k->WriteInteger("Po", 1));
  EXPECT_EQ(P().OpenKey(kHkcu, Env().RegistryKey(), kKeyRead, false), nullptr);
}

// The record of a run under way is removed this way: a key with its values, never one that
// has subkeys, and a missing key is reported.
TEST_F(TZgodnosc, RemoveKeyTakesAKeyWithItsValuesButNotOneWithSubkeys) {
  const std::string parent = Env().RegistryKey() + "\\Zapis";
  const std::string child = parent + "\\Pod";
  ASSERT_NE(P().OpenKey(kHkcu, child, kKeyAllAccess, true), nullptr);
  {
    std::unique_ptr<TKluczRejestru> k = P().OpenKey(kHkcu, parent, kKeyAllAccess, false);
    ASSERT_NE(k, nullptr);
    ASSERT_TRUE(k->WriteString("1", "C:\\a|C:\\a.orvala-kopia"));
  }
  EXPECT_FALSE(P().RemoveKey(kHkcu, parent));
  EXPECT_NE(P().OpenKey(kHkcu, child, kKeyRead, false), nullptr);
  EXPECT_TRUE(P().RemoveKey(kHkcu, child));
  EXPECT_TRUE(P().RemoveKey(kHkcu, parent));
  EXPECT_EQ(P().OpenKey(kHkcu, parent, kKeyRead, false), nullptr);
  EXPECT_FALSE(P().RemoveKey(kHkcu, parent));
  EXPECT_NE(P().OpenKey(kHkcu, Env().RegistryKey(), kKeyRead, false), nullptr);
}

// The record of a run lists its values, loses one entry at a time and is written to the disk
// before the files it lists move.
TEST_F(TZgodnosc, ValuesAreListedDeletedOneByOneAndFlushed) {
  std::unique_ptr<TKluczRejestru> k = P().OpenKey(kHkcu, Env().RegistryKey(), kKeyAllAccess, true);
  ASSERT_NE(k, nullptr);
  for (const char* name : {"Wlasciciel", "1", "3"}) {
    ASSERT_TRUE(k->WriteString(name, "C:\\a|C:\\a.orvala-kopia"));
  }
  EXPECT_TRUE(k->Flush());
  std::vector<std::string> names = k->ValueNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"1", "3", "Wlasciciel"}));
  EXPECT_TRUE(k->DeleteValue("1"));
  EXPECT_FALSE(k->DeleteValue("1"));
  std::string value;
  EXPECT_FALSE(k->ReadString("1", value));
  EXPECT_EQ(k->ValueNames().size(), 2u);
}

}  // namespace
}  // namespace orvala::platform::testy
