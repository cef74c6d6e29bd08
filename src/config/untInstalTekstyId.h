// Names of the text-table ids the program looks up (untInstalTekstyTabela.cpp holds the texts).
// Each name says what the Polish text says; the value is the id in the table.
#pragma once

namespace orvala {

// The wizard frame: window caption "%s - Instalator", title band "%s - Instalacja", the step
// caption "Krok %d z %d: %s" and the language label "%s / %s:" filled with "Język".
inline constexpr int kTekstTytulOkna = 1, kTekstTytulKreatora = 2, kTekstKrok = 21,
                     kTekstJezykWzor = 9, kTekstJezyk = 10;

// The buttons: "<<  Wstecz", "Dalej  >>", "Zamknij", "Anuluj", "Zakończ", "Przerwij", "OK",
// "Tak", "Nie".
inline constexpr int kTekstWstecz = 3, kTekstDalej = 4, kTekstZamknij = 5, kTekstAnuluj = 6,
                     kTekstZakoncz = 7, kTekstPrzerwij = 8, kTekstOK = 222, kTekstTak = 182,
                     kTekstNie = 183;

// The step names of the pages: "Wstęp", "Umowa licencyjna", "Opcje instalacji", "Instalacja",
// "Koniec instalacji".
inline constexpr int kTekstKrokWstep = 22, kTekstKrokUmowa = 23, kTekstKrokOpcje = 25,
                     kTekstKrokInstalacja = 26, kTekstKrokKoniec = 27;

// "Instalacja nie została zakończona. Czy chcesz przerwać instalację ?"
inline constexpr int kTekstCzyPrzerwac = 41;
// "Witamy w programie instalacyjnym produktu "%s"…"
inline constexpr int kTekstWitamy = 61;
// "Akceptuję umowę", "Nie akceptuję umowy".
inline constexpr int kTekstAkceptujeUmowe = 81, kTekstNieAkceptujeUmowy = 82;

// The options page: " Zainstaluj w katalogu:  ", "Zmień...", "Wolne miejsce na dysku: %s",
// "Miejsce potrzebne do instalacji: %s", then the option boxes: "Zainstaluj słowniki", "Utwórz
// grupę w Menu Start", "Utwórz skróty do translatorów na pulpicie", "Utwórz skróty do słowników
// na pulpicie", "Zainstaluj skróty dla wszystkich użytkowników" with "(musisz mieć uprawnienia
// administratora)", and the two translating modules (for the word processor, for the browser).
inline constexpr int kTekstZainstalujWKatalogu = 121, kTekstZmien = 122, kTekstMiejsceWolne = 123,
                     kTekstMiejscePotrzebne = 124, kTekstZainstalujSlowniki = 125,
                     kTekstUtworzGrupe = 126, kTekstSkrotyTranslatorow = 127,
                     kTekstSkrotySlownikow = 128, kTekstSkrotyWszystkim = 131,
                     kTekstUprawnieniaAdmina = 132, kTekstModulWord = 133,
                     kTekstModulPrzegladarki = 134;

// The target checks of Next: "…zbyt mało miejsca… Czy chcesz kontynuować ?", "Nie można utworzyć
// katalogu "%s"…", "Nie można zainstalować programu w katalogu "%s"…" (not a full path), "Ścieżka
// katalogu "%s" jest za długa…".
inline constexpr int kTekstZaMaloMiejsca = 129, kTekstNieMoznaUtworzyc = 130,
                     kTekstNiepelnaSciezka = 317, kTekstZaDlugaSciezka = 318;

// The installation page and the run: "Instaluję "%s"", "Kopiowanie plików ...", "Tworzenie
// skrótów ...", "Tworzenie zapisów w rejestrze...", "Z: %s", "Do: %s", "Instalacja anulowana -
// usuwam skopiowane pliki ...", "Plik "%s" jest używany przez inny program…".
inline constexpr int kTekstInstaluje = 141, kTekstKopiowaniePlikow = 142,
                     kTekstTworzenieSkrotow = 143, kTekstZapisyWRejestrze = 144, kTekstPlikZ = 145,
                     kTekstPlikDo = 146, kTekstAnulowano = 147, kTekstPlikUzywany = 314;

// The end page: success, failure, cancelled.
inline constexpr int kTekstKoniecSukces = 161, kTekstKoniecBlad = 162, kTekstKoniecPrzerwana = 163;

// A run cut off, at the next start: "…Pliki, które zastąpiła, zostały przywrócone.", "Nie
// wszystkie pliki poprzedniej instalacji udało się przywrócić…".
inline constexpr int kTekstPrzywrocono = 315, kTekstNiePrzywrocono = 316;

// The dialogs: the question's caption "Uwaga"; the directory chooser "Wybierz katalog", "Nowy
// katalog", "Nie można utworzyć katalogu "%s"."; the CD dialog "Instalator" and "Witamy…
// Proszę włożyć do napędu płytę CD…".
inline constexpr int kTekstUwaga = 181, kTekstWybierzKatalog = 221, kTekstNowyKatalog = 224,
                     kTekstNieUtworzonoKatalogu = 225, kTekstInstalator = 301,
                     kTekstWlozPlyte = 302;

}  // namespace orvala
