// The wizard's decisions without a window: languages, the page model, the captions, the
// megabyte figures, the default target and the target checks of Next.
#include "app/untKreator.h"

#include <cmath>

#include "config/untInstalStale.h"
#include "config/untInstalTeksty.h"
#include "config/untInstalTekstyId.h"
#include "config/untStaleApp.h"
#include "engine/untSciezki.h"
#include "platform/untPlatforma.h"

namespace orvala {

LanguageId ChooseStartLanguage(LanguageId localeLanguage, LanguageId homeLanguage,
                               LanguageId editionLanguage, bool preferEditionLanguage) {
  if (localeLanguage == editionLanguage) {
    return localeLanguage;
  }
  return preferEditionLanguage ? editionLanguage : homeLanguage;
}

LanguageId EffectiveEightBitLanguage(LanguageId language, LanguageId startLocaleLanguage,
                                     LanguageId homeLanguage, LanguageId editionLanguage) {
  if (editionLanguage != kJezykRosyjski || language == startLocaleLanguage) {
    return language;
  }
  return startLocaleLanguage == editionLanguage ? editionLanguage : homeLanguage;
}

int StepNameTextId(int page) {
  constexpr int kIds[kLiczbaStron] = {kTekstKrokWstep, kTekstKrokUmowa, kTekstKrokOpcje,
                                      kTekstKrokInstalacja, kTekstKrokKoniec};
  return page >= 1 && page <= kLiczbaStron ? kIds[page - 1] : 0;
}

std::optional<int> PageSwitchTarget(int currentPage, int delta, bool busy) {
  if (busy) {
    return std::nullopt;
  }
  const int target = currentPage + delta;
  if (target < 1 || target > kLiczbaStron) {
    return std::nullopt;
  }
  return target;
}

TStanPrzyciskow PageButtons(int page, bool licenceAccepted) {
  TStanPrzyciskow s{};
  s.nextEnabled = page >= kStronaWstep && page <= kStronaOpcje;
  if (page == kStronaUmowa) {
    s.nextEnabled = licenceAccepted;
  }
  s.backEnabled = page == kStronaUmowa || page == kStronaOpcje;
  s.closeTextId = page == kStronaInstalacja ? kTekstPrzerwij
                  : page == kStronaKoniec   ? kTekstZakoncz
                                            : kTekstZamknij;
  return s;
}

TWideString StepCaption(LanguageId language, int page) {
  return FormatText(GetText(language, kTekstKrok, false),
                    {std::int64_t{page}, std::int64_t{kLiczbaStron},
                     GetText(language, StepNameTextId(page), false)},
                    false, language);
}

int EndPageTextId(bool success, bool cancelled) {
  if (success) {
    return kTekstKoniecSukces;
  }
  return cancelled ? kTekstKoniecPrzerwana : kTekstKoniecBlad;
}

TWideString ProductTitle(LanguageId language, bool languageCodePage) {
  const TOpisEdycji& e = ActiveEditionDescriptor();
  const std::string_view title = language == HomeLanguage() ? e.homeTitle : e.editionTitle;
  return ConvertStoredText(title, language, languageCodePage);
}

TWideString FormatMegabytes(std::int64_t bytes, const TWideString& thousands,
                            const TWideString& decimal) {
  const double megabytes = static_cast<double>(bytes) / 1048576.0;
  const long long tenths = std::llround(megabytes * 10.0);  // half away from zero
  const bool negative = tenths < 0;
  const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(tenths)
                                                : static_cast<unsigned long long>(tenths);
  const std::string whole = std::to_string(magnitude / 10);
  TWideString text;
  if (negative) {
    text += u'-';
  }
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) {
      text += thousands;
    }
    text += static_cast<char16_t>(whole[i]);
  }
  text += decimal;
  text += static_cast<char16_t>(u'0' + magnitude % 10);
  text += u" MB";
  return text;
}

std::string DefaultTargetDirectory(const std::string& programFiles,
                                   std::string_view programFolder) {
  std::string target = programFiles.empty() ? std::string("C:") : programFiles;
  target += '\\';
  target += programFolder;
  return target;
}

TMiejsceNaDysku MeasureSpace(const std::string& sourceWithoutBackslash,
                             const std::string& targetDirectory, bool installDictionaries) {
  TMiejsceNaDysku m;
  m.requiredBytes = static_cast<std::int64_t>(
      RequiredInstallationBytes(sourceWithoutBackslash, installDictionaries));
  // Measured where the target will be: a share or a volume mounted in a folder has space of its
  // own, which the drive letter alone does not tell.
  const std::optional<std::int64_t> free =
      platform::Platform().FreeSpace(NearestExistingFolder(targetDirectory));
  if (free) {
    m.freeBytes = *free;
    m.enough = m.freeBytes >= m.requiredBytes;
  }
  return m;
}

TSkalaGrafiki ArtworkForDpi(int dpi) {
  if (dpi <= 96) {
    return TSkalaGrafiki::Pojedyncza;
  }
  return dpi <= 144 ? TSkalaGrafiki::Poltorej : TSkalaGrafiki::Podwojna;
}

bool CreateDirectoryWithParents(const std::string& path) {
  platform::TPlatforma& p = platform::Platform();
  const std::string dir = WithoutTrailingBackslash(path);
  if (dir.empty()) {
    return false;
  }
  if (p.DirectoryExists(dir)) {
    return true;
  }
  const std::size_t slash = dir.find_last_of('\\');
  // A parent that is a drive ("C:") or a UNC share is not created here: it exists or it does not.
  if (slash != std::string::npos && slash > 0 && dir[slash - 1] != ':' && dir[slash - 1] != '\\') {
    if (!CreateDirectoryWithParents(dir.substr(0, slash))) {
      return false;
    }
  }
  return p.CreateDirectory(dir) || p.DirectoryExists(dir);
}

bool CheckTargetDirectory(const std::string& targetDirectory,
                          const std::function<bool()>& enoughSpace,
                          const std::function<bool(TPytanieOpcji)>& ask,
                          TDziennikPrzebiegu& journal) {
  const bool existed = platform::Platform().DirectoryExists(targetDirectory);
  bool ok = false;
  if (existed || CreateDirectoryWithParents(targetDirectory)) {
    ok = true;
    if (!enoughSpace()) {
      ok = ask(TPytanieOpcji::ZaMaloMiejsca);
    }
  } else {
    ask(TPytanieOpcji::NieMoznaUtworzyc);
  }
  if (ok && !existed) {
    journal.DirectoryCreated(targetDirectory);
  }
  return ok;
}

bool CheckChosenTarget(const std::string& targetDirectory, const TNajdluzszeSciezki& longest,
                       const std::function<bool()>& enoughSpace,
                       const std::function<bool(TPytanieOpcji)>& ask, TDziennikPrzebiegu& journal) {
  // A relative path would be made in the current folder and saved as it is; a trailing space or
  // dot, trimmed by Windows, would make another folder than the one the files are copied to.
  if (!IsFullFolderPath(targetDirectory)) {
    ask(TPytanieOpcji::NiepelnaSciezka);
    return false;
  }
  if (!FitsBelowTarget(targetDirectory, longest)) {
    ask(TPytanieOpcji::ZaDlugaSciezka);
    return false;
  }
  // The package's 8-bit programs are told the target ("Katalog"): it must be a path of the
  // system's ANSI code page, whatever names the files inside it have.
  if (!platform::Platform().AnsiCodePageHolds(targetDirectory)) {
    ask(TPytanieOpcji::NieMoznaUtworzyc);
    return false;
  }
  return CheckTargetDirectory(targetDirectory, enoughSpace, ask, journal);
}

}  // namespace orvala
