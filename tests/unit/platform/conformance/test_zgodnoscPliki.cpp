// Conformance: files and directories.
#include <algorithm>

#include "textutil/untKodowanie.h"
#include "untSrodowiskoZgodnosci.h"

namespace orvala::platform::testy {
namespace {

const TWpisKatalogu* Named(const std::vector<TWpisKatalogu>& entries, const std::string& name) {
  const auto it = std::find_if(entries.begin(), entries.end(),
                               [&](const TWpisKatalogu& e) { return e.name == name; });
  return it == entries.end() ? nullptr : &*it;
}

TEST_F(TZgodnosc, WrittenFileReadsBackWithItsSizeAndKindOfEntry) {
  const std::string content(70000, 'x');
  Write(In("dane.bin"), content);
  EXPECT_EQ(Read(In("dane.bin")), content);
  EXPECT_TRUE(P().FileExists(In("dane.bin")));
  EXPECT_FALSE(P().DirectoryExists(In("dane.bin")));
  EXPECT_TRUE(P().DirectoryExists(Env().Scratch()));
  EXPECT_FALSE(P().FileExists(Env().Scratch()));
  const std::optional<TWpisKatalogu> entry = P().FindEntry(In("dane.bin"));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->size, content.size());
  EXPECT_FALSE(entry->IsDirectory());
  // The write time a search finds is the one the listing gives: a file is told unchanged by it.
  std::vector<TWpisKatalogu> listed;
  ASSERT_TRUE(P().ListDirectory(Env().Scratch(), listed));
  for (const TWpisKatalogu& e : listed) {
    if (e.name == "dane.bin") {
      EXPECT_EQ(e.modified, entry->modified);
    }
  }
  std::unique_ptr<TPlikPlatformy> file = P().OpenRead(In("dane.bin"));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->Size(), content.size());
}

TEST_F(TZgodnosc, CreateWriteTruncatesAnExistingFile) {
  Write(In("a.txt"), "a long first content");
  Write(In("a.txt"), "short");
  EXPECT_EQ(Read(In("a.txt")), "short");
}

TEST_F(TZgodnosc, NamesResolveWithoutRegardToCaseAndKeepTheirSpelling) {
  Write(In("Plik.TXT"), "1");
  EXPECT_TRUE(P().FileExists(In("pLIK.txt")));
  EXPECT_EQ(Read(In("PLIK.TXT")), "1");
  const std::optional<TWpisKatalogu> entry = P().FindEntry(In("plik.txt"));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->name, "Plik.TXT");
  ASSERT_TRUE(P().CreateDirectory(In("Katalog")));
  EXPECT_FALSE(P().CreateDirectory(In("KATALOG")));
  Write(In("KATALOG\\w.txt"), "2");
  EXPECT_EQ(Read(In("katalog\\W.TXT")), "2");
  // Writing through another spelling replaces the file instead of adding one.
  Write(In("plik.txt"), "3");
  const auto names = Names(Env().Scratch());
  ASSERT_TRUE(names);
  EXPECT_EQ(names->size(), 2u);
}

// Names are UTF-8 whatever the system's code page: Polish and Cyrillic letters side by side,
// each found in its other case and listed under its own spelling.
TEST_F(TZgodnosc, PolishAndCyrillicNamesKeepTheirSpellingAndMatchTheirOtherCase) {
  ASSERT_TRUE(P().CreateDirectory(In("Słowniki")));
  Write(In("Słowniki\\Грамматика.chm"), "chm");
  Write(In("Żółw.txt"), "zolw");
  EXPECT_TRUE(P().FileExists(In("żÓŁW.TXT")));
  EXPECT_EQ(Read(In("SŁOWNIKI\\гРАММАТИКА.CHM")), "chm");
  const auto names = Names(Env().Scratch());
  ASSERT_TRUE(names);
  ASSERT_EQ(names->size(), 2u);
  EXPECT_NE(Named(*names, "Słowniki"), nullptr);
  EXPECT_NE(Named(*names, "Żółw.txt"), nullptr);
  const std::optional<TWpisKatalogu> entry = P().FindEntry(In("słowniki\\грамматика.chm"));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->name, "Грамматика.chm");
  ASSERT_TRUE(P().RenameFile(In("Żółw.txt"), In("Słowniki\\Черепаха.txt")));
  EXPECT_EQ(Read(In("słowniki\\черепаха.TXT")), "zolw");
}

TEST_F(TZgodnosc, ListingHasDotEntriesBelowTheRootOnly) {
  ASSERT_TRUE(P().CreateDirectory(In("pod")));
  Write(In("pod\\x.txt"), "12345");
  std::vector<TWpisKatalogu> entries;
  ASSERT_TRUE(P().ListDirectory(In("pod"), entries));
  ASSERT_NE(Named(entries, "."), nullptr);
  ASSERT_NE(Named(entries, ".."), nullptr);
  EXPECT_TRUE(Named(entries, ".")->IsDirectory());
  EXPECT_TRUE(Named(entries, "..")->IsDirectory());
  ASSERT_NE(Named(entries, "x.txt"), nullptr);
  EXPECT_EQ(Named(entries, "x.txt")->size, 5u);
  EXPECT_EQ(entries.size(), 3u);

  const std::string root = Env().Scratch().substr(0, 3);
  ASSERT_TRUE(P().ListDirectory(root, entries));
  EXPECT_EQ(Named(entries, "."), nullptr);
  EXPECT_EQ(Named(entries, ".."), nullptr);
  EXPECT_FALSE(entries.empty());
}

TEST_F(TZgodnosc, TrailingBackslashNamesADirectoryOnly) {
  ASSERT_TRUE(P().CreateDirectory(In("nowy\\")));
  EXPECT_TRUE(P().DirectoryExists(In("nowy\\")));
  EXPECT_TRUE(P().DirectoryExists(In("nowy")));
  Write(In("nowy\\f.txt"), "f");
  std::vector<TWpisKatalogu> entries;
  ASSERT_TRUE(P().ListDirectory(In("nowy\\"), entries));
  EXPECT_NE(Named(entries, "f.txt"), nullptr);
  EXPECT_FALSE(P().FileExists(In("nowy\\f.txt\\")));
  EXPECT_EQ(P().OpenRead(In("nowy\\f.txt\\")), nullptr);
  EXPECT_TRUE(P().DirectoryExists(Env().Scratch().substr(0, 3)));
  EXPECT_TRUE(P().RemoveDirectory(In("nowy\\")) == false);  // not empty
  ASSERT_TRUE(P().DeleteFile(In("nowy\\f.txt")));
  EXPECT_TRUE(P().RemoveDirectory(In("nowy\\")));
  EXPECT_FALSE(P().DirectoryExists(In("nowy")));
}

TEST_F(TZgodnosc, HiddenAndSystemEntriesAreListedWithTheirAttributes) {
  Write(In("ukryty.txt"), "h");
  ASSERT_TRUE(P().CreateDirectory(In("systemowy")));
  ASSERT_TRUE(Env().SetAttributes(In("ukryty.txt"), kAttrHidden));
  ASSERT_TRUE(Env().SetAttributes(In("systemowy"), kAttrHidden | kAttrSystem));
  const auto names = Names(Env().Scratch());
  ASSERT_TRUE(names);
  const TWpisKatalogu* hidden = Named(*names, "ukryty.txt");
  const TWpisKatalogu* system = Named(*names, "systemowy");
  ASSERT_NE(hidden, nullptr);
  ASSERT_NE(system, nullptr);
  EXPECT_EQ(hidden->attributes & (kAttrHidden | kAttrSystem | kAttrDirectory), kAttrHidden);
  EXPECT_EQ(system->attributes & (kAttrHidden | kAttrSystem | kAttrDirectory),
            kAttrHidden | kAttrSystem | kAttrDirectory);
  const std::optional<TWpisKatalogu> found = P().FindEntry(In("UKRYTY.TXT"));
  ASSERT_TRUE(found);
  EXPECT_NE(found->attributes & kAttrHidden, 0u);
  EXPECT_EQ(Read(In("ukryty.txt")), "h");
}

TEST_F(TZgodnosc, HiddenFileIsNotOverwrittenByCreateWrite) {
  Write(In("ukryty.txt"), "old");
  ASSERT_TRUE(Env().SetAttributes(In("ukryty.txt"), kAttrHidden));
  EXPECT_EQ(P().CreateWrite(In("ukryty.txt")), nullptr);
  EXPECT_EQ(Read(In("ukryty.txt")), "old");
  // The replacement path (a new file moved over it) still works.
  Write(In("nowy.tmp"), "new");
  EXPECT_TRUE(P().ReplaceFile(In("nowy.tmp"), In("ukryty.txt")));
  EXPECT_EQ(Read(In("ukryty.txt")), "new");
}

TEST_F(TZgodnosc, ReadOnlyFileResistsDeleteAndOverwrite) {
  Write(In("ro.txt"), "ro");
  ASSERT_TRUE(Env().SetAttributes(In("ro.txt"), kAttrReadOnly));
  EXPECT_FALSE(P().DeleteFile(In("ro.txt")));
  EXPECT_EQ(P().CreateWrite(In("ro.txt")), nullptr);
  EXPECT_EQ(Read(In("ro.txt")), "ro");
  ASSERT_TRUE(Env().SetAttributes(In("ro.txt"), 0));
  EXPECT_TRUE(P().DeleteFile(In("ro.txt")));
}

TEST_F(TZgodnosc, MissingEntriesFailEveryOperation) {
  EXPECT_EQ(P().OpenRead(In("brak.txt")), nullptr);
  EXPECT_FALSE(P().FileExists(In("brak.txt")));
  EXPECT_FALSE(P().DirectoryExists(In("brak")));
  EXPECT_FALSE(P().FindEntry(In("brak.txt")));
  EXPECT_FALSE(P().DeleteFile(In("brak.txt")));
  EXPECT_FALSE(P().RemoveDirectory(In("brak")));
  EXPECT_FALSE(P().RenameFile(In("brak.txt"), In("inny.txt")));
  EXPECT_FALSE(P().CopyFileNoOverwrite(In("brak.txt"), In("inny.txt")));
  EXPECT_FALSE(P().ReplaceFile(In("brak.txt"), In("inny.txt")));
  std::vector<TWpisKatalogu> entries;
  EXPECT_FALSE(P().ListDirectory(In("brak"), entries));
  EXPECT_FALSE(P().CreateDirectory(In("brak\\pod")));
  EXPECT_EQ(P().CreateWrite(In("brak\\plik.txt")), nullptr);
  EXPECT_FALSE(P().FileExists(In("inny.txt")));
}

TEST_F(TZgodnosc, DirectoryOperationsKeepFilesAndDirectoriesApart) {
  Write(In("plik"), "p");
  ASSERT_TRUE(P().CreateDirectory(In("kat")));
  EXPECT_FALSE(P().CreateDirectory(In("plik")));
  EXPECT_FALSE(P().RemoveDirectory(In("plik")));
  EXPECT_FALSE(P().DeleteFile(In("kat")));
  EXPECT_EQ(P().CreateWrite(In("kat")), nullptr);
  EXPECT_EQ(P().OpenRead(In("kat")), nullptr);
  std::vector<TWpisKatalogu> entries;
  EXPECT_FALSE(P().ListDirectory(In("plik"), entries));
  EXPECT_TRUE(P().DirectoryExists(In("kat")));
  EXPECT_EQ(Read(In("plik")), "p");
}

TEST_F(TZgodnosc, RenameRefusesAnExistingTargetAndReplaceTakesItsPlace) {
  Write(In("a.txt"), "A");
  Write(In("b.txt"), "B");
  EXPECT_FALSE(P().RenameFile(In("a.txt"), In("B.TXT")));
  EXPECT_EQ(Read(In("b.txt")), "B");
  ASSERT_TRUE(P().RenameFile(In("a.txt"), In("c.txt")));
  EXPECT_FALSE(P().FileExists(In("a.txt")));
  EXPECT_EQ(Read(In("c.txt")), "A");
  ASSERT_TRUE(P().ReplaceFile(In("c.txt"), In("b.txt")));
  EXPECT_EQ(Read(In("b.txt")), "A");
  EXPECT_FALSE(P().FileExists(In("c.txt")));
  ASSERT_TRUE(P().ReplaceFile(In("b.txt"), In("d.txt")));  // the replaced file may be missing
  EXPECT_EQ(Read(In("d.txt")), "A");
  ASSERT_TRUE(P().CreateDirectory(In("kat")));
  ASSERT_TRUE(P().RenameFile(In("kat"), In("kat2")));
  EXPECT_TRUE(P().DirectoryExists(In("kat2")));
}

// What keeping a file aside before replacing it relies on: a read-only or hidden file moves to
// another name with its attributes, the freed name takes a new file, the kept file cannot be
// moved back while the name is taken, and once its attributes are cleared it can be deleted.
TEST_F(TZgodnosc, ReadOnlyAndHiddenFilesMoveAsideAndBackWithTheirAttributes) {
  for (const std::uint32_t attributes : {kAttrReadOnly, kAttrHidden | kAttrSystem}) {
    SCOPED_TRACE(attributes);
    Write(In("prog.exe"), "old");
    ASSERT_TRUE(P().SetFileAttributes(In("prog.exe"), attributes));
    ASSERT_TRUE(P().RenameFile(In("prog.exe"), In("prog.exe.kopia")));
    const std::optional<TWpisKatalogu> kept = P().FindEntry(In("prog.exe.kopia"));
    ASSERT_TRUE(kept);
    const std::uint32_t mask = kAttrReadOnly | kAttrHidden | kAttrSystem;
    EXPECT_EQ(kept->attributes & mask, attributes);
    Write(In("prog.exe"), "new");
    EXPECT_FALSE(P().RenameFile(In("prog.exe.kopia"), In("PROG.EXE")));
    EXPECT_EQ(Read(In("prog.exe")), "new");
    ASSERT_TRUE(P().DeleteFile(In("prog.exe")));
    ASSERT_TRUE(P().RenameFile(In("prog.exe.kopia"), In("prog.exe")));
    EXPECT_EQ(Read(In("prog.exe")), "old");
    const std::optional<TWpisKatalogu> back = P().FindEntry(In("prog.exe"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->attributes & mask, attributes);
    ASSERT_TRUE(P().SetFileAttributes(In("prog.exe"), 0));
    EXPECT_EQ(P().FindEntry(In("prog.exe"))->attributes & mask, 0u);
    EXPECT_TRUE(P().DeleteFile(In("prog.exe")));
  }
  EXPECT_FALSE(P().SetFileAttributes(In("brak.txt"), 0));
}

TEST_F(TZgodnosc, RenameMayChangeOnlyTheCase) {
  // Windows then shows the new spelling (so does the host); Wine keeps the old one, so only the
  // outcome both agree on is checked here.
  Write(In("male.txt"), "m");
  ASSERT_TRUE(P().RenameFile(In("male.txt"), In("MALE.TXT")));
  EXPECT_EQ(Read(In("Male.Txt")), "m");
  const auto names = Names(Env().Scratch());
  ASSERT_TRUE(names);
  EXPECT_EQ(names->size(), 1u);
}

TEST_F(TZgodnosc, CopyRefusesAnExistingTargetAndCopiesAttributes) {
  Write(In("zrodlo.txt"), "zrodlo");
  Write(In("cel.txt"), "cel");
  EXPECT_FALSE(P().CopyFileNoOverwrite(In("zrodlo.txt"), In("CEL.txt")));
  EXPECT_EQ(Read(In("cel.txt")), "cel");
  ASSERT_TRUE(Env().SetAttributes(In("zrodlo.txt"), kAttrHidden));
  ASSERT_TRUE(P().CopyFileNoOverwrite(In("zrodlo.txt"), In("kopia.txt")));
  EXPECT_EQ(Read(In("kopia.txt")), "zrodlo");
  const std::optional<TWpisKatalogu> copy = P().FindEntry(In("kopia.txt"));
  ASSERT_TRUE(copy);
  EXPECT_NE(copy->attributes & kAttrHidden, 0u);
}

TEST_F(TZgodnosc, PathsLongerThanTheLimitAreRefused) {
  const std::size_t room = kMaxPath - 5 - Env().Scratch().size() - 1;  // a 255-character path
  const std::string fits = In(std::string(std::min<std::size_t>(room, 200), 'n'));
  Write(fits, "ok");
  EXPECT_TRUE(P().FileExists(fits));
  std::string tooLong = Env().Scratch() + "\\";
  while (tooLong.size() <= kMaxPath) {
    tooLong += "d\\";
  }
  tooLong += "x.txt";
  ASSERT_GT(tooLong.size(), kMaxPath);
  EXPECT_EQ(P().CreateWrite(tooLong), nullptr);
  EXPECT_EQ(P().OpenRead(tooLong), nullptr);
  EXPECT_FALSE(P().FileExists(tooLong));
  EXPECT_FALSE(P().CreateDirectory(tooLong));
  EXPECT_FALSE(P().DeleteFile(tooLong));
  // A long path that only names the same file through "." parts is refused as well.
  std::string dotted = Env().Scratch();
  while (dotted.size() + fits.size() - Env().Scratch().size() <= kMaxPath) {
    dotted += "\\.";
  }
  dotted += fits.substr(Env().Scratch().size());
  ASSERT_GT(dotted.size(), kMaxPath);
  EXPECT_FALSE(P().FileExists(dotted));
  std::vector<TWpisKatalogu> entries;
  EXPECT_FALSE(P().ListDirectory(tooLong, entries));
  const TWideString wide = Utf8ToUtf16(CodePageToUtf8(tooLong, TStronaKodowa::Cp1250));
  EXPECT_FALSE(P().CreateDirectoryWide(wide));
  EXPECT_FALSE(P().DirectoryExistsWide(wide));
  EXPECT_FALSE(P().FileExistsWide(wide));
}

TEST_F(TZgodnosc, SizesAboveFourGigabytes) {
  const std::uint64_t size = (std::uint64_t{5} << 30) + 123;
  if (!Env().MakeLargeFile(In("duzy.bin"), size)) {
    GTEST_SKIP() << "no sparse files here";
  }
  const std::optional<TWpisKatalogu> entry = P().FindEntry(In("duzy.bin"));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->size, size);
  const auto names = Names(Env().Scratch());
  ASSERT_TRUE(names);
  ASSERT_EQ(names->size(), 1u);
  EXPECT_EQ((*names)[0].size, size);
  std::unique_ptr<TPlikPlatformy> file = P().OpenRead(In("duzy.bin"));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->Size(), size);
}

TEST_F(TZgodnosc, WidePathsReachTheSameFolders) {
  const TWideString scratch = Utf8ToUtf16(CodePageToUtf8(Env().Scratch(), TStronaKodowa::Cp1250));
  const TWideString group = scratch + u"\\Орвала Пакет";
  ASSERT_TRUE(P().CreateDirectoryWide(group));
  EXPECT_FALSE(P().CreateDirectoryWide(group));
  EXPECT_TRUE(P().DirectoryExistsWide(scratch + u"\\орвала ПАКЕТ"));
  EXPECT_FALSE(P().FileExistsWide(group));
  Write(In("plik.txt"), "w");
  EXPECT_TRUE(P().FileExistsWide(scratch + u"\\PLIK.txt"));
  EXPECT_FALSE(P().DirectoryExistsWide(scratch + u"\\plik.txt"));
}

TEST_F(TZgodnosc, OpenFilesReportTheirEnd) {
  Write(In("k.txt"), "abc");
  std::unique_ptr<TPlikPlatformy> file = P().OpenRead(In("k.txt"));
  ASSERT_NE(file, nullptr);
  char buffer[8];
  std::size_t got = 0;
  ASSERT_TRUE(file->Read(buffer, 2, got));
  EXPECT_EQ(got, 2u);
  ASSERT_TRUE(file->Read(buffer, 8, got));
  EXPECT_EQ(got, 1u);
  ASSERT_TRUE(file->Read(buffer, 8, got));
  EXPECT_EQ(got, 0u);
  EXPECT_TRUE(file->Close());
}

}  // namespace
}  // namespace orvala::platform::testy
