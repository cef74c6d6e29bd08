// The edition descriptors (editions 1..12, of which a build fills its own), the special
// versions, and the lookups by edition, language and row.
#include "config/untInstalStale.h"

#include "config/untLiteraly.h"
#include "config/untStaleApp.h"

namespace orvala {

namespace {

constexpr std::string_view kOrvalaKey = "SOFTWARE\\Vertal\\Orvala";

constexpr TOpisEdycji MakeEdition10() {
  TOpisEdycji e{};
  e.productKey = kOrvalaKey;
  e.uninstallKeyName = "Orvala";
  e.componentKeys = {
      "SOFTWARE\\Vertal\\Orvala\\RusPol",         "SOFTWARE\\Vertal\\Orvala\\PolRus",
      "SOFTWARE\\Vertal\\Orvala\\RusPolInternet", "SOFTWARE\\Vertal\\Orvala\\PolRusInternet",
      "SOFTWARE\\Vertal\\Orvala\\SlZewRusPol",    "SOFTWARE\\Vertal\\Orvala\\SlZewPolRus",
      "SOFTWARE\\Vertal\\Orvala\\DuzevIvik",      "SOFTWARE\\Vertal\\Orvala\\DuzevIvik",
  };
  e.homeTitle = "Orvala Pakiet";
  e.editionTitle = TXT_RU("Орвала Пакиет");
  e.groupNames = {"Orvala Pakiet", "Orvala Pakiet", "Orvala Pakiet",         "Orvala Pakiet",
                  "Orvala Pakiet", "Orvala Pakiet", TXT_RU("Орвала Пакиет"), ""};
  e.programFolder = "Orvalis";
  e.mainProgramFile = "Orvatr.exe";
  e.mainProgramResources = {"ORVATR1A", "ORVATR1B", "ORVATR1C"};
  e.uninstallerFile = "DeInstalator.exe";
  e.versionString = "1.0";
  e.ownExclusions = "<pold.so><rusd.so><polm.so><rusm.so><orvatr.exe>";
  e.dictionaryFiles = "<slzewru.exe><slzewpl.exe><ruspol.sz><polrus.sz>";
  e.fontFlag = false;
  e.homeDisplayName = "Orvala Pakiet";
  e.editionDisplayName = TXT_RU("Орвала Пакиет");
  e.publisher = "Vertal";
  e.noModify = true;
  e.noRepair = true;
  e.conversionKind = 0;
  e.specialVersionRows = {24, 25, 26, 27};
  return e;
}

// Editions 1..12; only the row of the edition of this build is filled.
constexpr std::array<TOpisEdycji, kLiczbaEdycji> kEdycje = {
    TOpisEdycji{}, TOpisEdycji{}, TOpisEdycji{}, TOpisEdycji{},   TOpisEdycji{}, TOpisEdycji{},
    TOpisEdycji{}, TOpisEdycji{}, TOpisEdycji{}, MakeEdition10(), TOpisEdycji{}, TOpisEdycji{},
};

constexpr TOpisEdycji kBrakEdycji{};

constexpr std::array<std::string_view, 8> kPlikiUmowy = {
    "umowapol.txt", "umowaang.txt", "umowafr.txt", "umowadeu.txt",
    "umowait.txt",  "umowaes.txt",  "umowaru.txt", "umowahu.txt",
};

// Special versions: later builds of program files, stored as separate resources. Rows 24-27
// belong to edition 10; the other rows belong to other editions and have no resources here.
constexpr std::array<TWersjaSpecjalna, kLiczbaWersjiSpecjalnych> MakeSpecialVersions() {
  std::array<TWersjaSpecjalna, kLiczbaWersjiSpecjalnych> rows{};
  rows[23] = {"Orvatr.exe", "PORVATR11A", "PORVATR11B"};
  rows[24] = {"TrIntRu.exe", "PTRINTRU11A", "PTRINTRU11B"};
  rows[25] = {"TrPlikRu.exe", "PTRPLIKRU11A", "PTRPLIKRU11B"};
  rows[26] = {"DeInstalator.exe", "PDEINSTALRU11", ""};
  return rows;
}
constexpr auto kWersjeSzczegolne = MakeSpecialVersions();
constexpr TWersjaSpecjalna kBrakWersji{};

constexpr std::uint8_t kPolski = 1u << kJezykPolski;
constexpr std::uint8_t kRosyjski = 1u << kJezykRosyjski;
constexpr std::uint8_t kTranslator = kSkrotPulpitTranslatory | kSkrotGrupa;
constexpr std::uint8_t kSlownik = kSkrotPulpitSlowniki | kSkrotGrupa;
constexpr TZbiorEdycji kEdycja10{10};

// Shortcuts. Each Polish row of edition 10 is followed by its Russian twin.
constexpr TSkrotData kSkroty[] = {
    {kTranslator, kEdycja10, kPolski, "Orvatr.exe", TXT_1250("Translator rosyjsko-polski")},
    {kTranslator, kEdycja10, kRosyjski, "Orvatr.exe", TXT_RU("Русско-польский переводчик")},
    {kTranslator, kEdycja10, kPolski, "DuzevIv.exe", TXT_1250("Translator polsko-rosyjski")},
    {kTranslator, kEdycja10, kRosyjski, "DuzevIv.exe", TXT_RU("Польско-русский переводчик")},
    {kSlownik, kEdycja10, kPolski, "SlZewRu.exe", TXT_1250("Słownik rosyjsko-polski")},
    {kSlownik, kEdycja10, kRosyjski, "SlZewRu.exe", TXT_RU("Русско-польский словарь")},
    {kSlownik, kEdycja10, kPolski, "SlZewPl.exe", TXT_1250("Słownik polsko-rosyjski")},
    {kSlownik, kEdycja10, kRosyjski, "SlZewPl.exe", TXT_RU("Польско-русский словарь")},
    {kTranslator, kEdycja10, kPolski, "TrIntRu.exe",
     TXT_1250("Rosyjsko-polski tłumacz stron internetowych")},
    {kTranslator, kEdycja10, kRosyjski, "TrIntRu.exe",
     TXT_RU("Русско-польский переводчик интернет-страниц")},
    {kSkrotGrupa, kEdycja10, kPolski, "TrPlikRu.exe", TXT_1250("Tłumacz plików")},
    {kSkrotGrupa, kEdycja10, kRosyjski, "TrPlikRu.exe", TXT_RU("Переводчик файлов")},
    {kSkrotGrupa, kEdycja10, kPolski, "Deinstalator.exe", TXT_1250("Deinstalator")},
    {kSkrotGrupa, kEdycja10, kRosyjski, "Deinstalator.exe", TXT_RU("Удаление программы")},
    {kSkrotGrupa, kEdycja10, kPolski, "Trans.chm", TXT_1250("Pomoc do translatora")},
    {kSkrotGrupa, kEdycja10, kRosyjski, "Trans.chm", TXT_RU("Справка по переводчику")},
    {kSkrotGrupa, kEdycja10, kPolski, "Sl_Zew.chm", TXT_1250("Pomoc do słownika")},
    {kSkrotGrupa, kEdycja10, kRosyjski, "Sl_Zew.chm", TXT_RU("Справка по словарю")},
    {kSkrotGrupa, kEdycja10, kPolski, "rus_gram.chm", TXT_1250("Wstęp do gramatyki rosyjskiej")},
};

// The COM-component, add-in and patch-list tables hold rows of other editions only.
constexpr std::span<const TDLLData> kBrakDLL{};
constexpr std::span<const TPluginData> kBrakWtyczek{};
constexpr std::span<const TPatchData> kBrakLatek{};

}  // namespace

const TOpisEdycji& EditionDescriptor(int edition) {
  if (edition < 1 || edition > kLiczbaEdycji) {
    return kBrakEdycji;
  }
  return kEdycje[static_cast<std::size_t>(edition - 1)];
}

const TOpisEdycji& ActiveEditionDescriptor() {
  return EditionDescriptor(ActiveEdition());
}

std::string_view LicenceFile(LanguageId language) {
  return language < kPlikiUmowy.size() ? kPlikiUmowy[language] : std::string_view{};
}

std::string_view GroupName(LanguageId language) {
  const auto& names = ActiveEditionDescriptor().groupNames;
  return language < names.size() ? names[language] : std::string_view{};
}

const TWersjaSpecjalna& SpecialVersion(int row) {
  if (row < 1 || row > kLiczbaWersjiSpecjalnych) {
    return kBrakWersji;
  }
  return kWersjeSzczegolne[static_cast<std::size_t>(row - 1)];
}

std::span<const TSkrotData> ShortcutTable() {
  return kSkroty;
}
std::span<const TDLLData> ComComponentTable() {
  return kBrakDLL;
}
std::span<const TPluginData> WordAddInTable() {
  return kBrakWtyczek;
}
std::span<const TPatchData> PatchListTable() {
  return kBrakLatek;
}

}  // namespace orvala
