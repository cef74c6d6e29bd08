// The text table, written once, readably. Columns: Polish (Windows-1250), English
// (Windows-1252), French, German, Italian, Spanish (not translated: the marker "×" and the
// Polish text) and Russian (storage form). TX marks a cell that is not translated.
#include "config/untInstalTekstyTabela.h"

#include "config/untLiteraly.h"

namespace orvala::detail {

namespace {

template <literaly::TLiteralUtf8 S>
constexpr auto kNieprzetlumaczony = [] {
  auto polish = literaly::Encode<literaly::TForma::Cp1250>(S);
  literaly::TBajty<sizeof(S.text) + 1> out;
  out.bytes[0] = static_cast<char>(kZnacznikNieprzetlumaczony);
  for (std::size_t i = 0; i < polish.length; ++i) {
    out.bytes[i + 1] = polish.bytes[i];
  }
  out.length = polish.length + 1;
  return out;
}();

}  // namespace

#define TX(s) (kNieprzetlumaczony<u8##s>.View())
#define WPIS_RU(id, pl, en, ru) \
  { id, {TXT_1250(pl), TXT_1252(en), TX(pl), TX(pl), TX(pl), TX(pl), TXT_RU(ru)}, u8##ru }

const TWpisTekstu kWpisyTekstow[] = {
    WPIS_RU(1, "%s - Instalator", "%s - Installer", "%s - Программа установки"),
    WPIS_RU(2, "%s - Instalacja", "%s - Installer", "%s - Установка"),
    WPIS_RU(3, "<<  Wstecz", "<<  Back", "<<  Назад"),
    WPIS_RU(4, "Dalej  >>", "Next  >>", "Далее  >>"),
    WPIS_RU(5, "Zamknij", "Close", "Закрыть"),
    WPIS_RU(6, "Anuluj", "Cancel", "Отмена"),
    WPIS_RU(7, "Zakończ", "Finish", "Готово"),
    WPIS_RU(8, "Przerwij", "Cancel", "Прервать"),
    WPIS_RU(9, "%s / %s:", "%s / %s:", "%s / %s:"),
    WPIS_RU(10, "Język", "Language", "Язык"),
    WPIS_RU(21, "Krok %d z %d: %s", "Step %d of %d: %s", "Шаг %d из %d: %s"),
    WPIS_RU(22, "Wstęp", "Intro", "Введение"),
    WPIS_RU(23, "Umowa licencyjna", "Licence agreement", "Лицензионное соглашение"),
    WPIS_RU(25, "Opcje instalacji", "Installation options", "Параметры установки"),
    WPIS_RU(26, "Instalacja", "Installation", "Установка"),
    WPIS_RU(27, "Koniec instalacji", "End of installation", "Завершение установки"),
    WPIS_RU(41, "Instalacja nie została zakończona. Czy chcesz przerwać instalację ?",
            "The installation process has not finished. Do you want to cancel the installation ?",
            "Установка не завершена. Вы хотите прервать установку ?"),
    WPIS_RU(61,
            "Witamy w programie instalacyjnym produktu \"%s\". \r\n\r\nTen program zainstaluje "
            "\"%s\" na Twoim komputerze. \r\nZaleca się zakończenie wszystkich aplikacji przed "
            "instalacją. \r\n\r\n \r\n",
            "Welcome in the installation program of '%s'. \r\n\r\nThis program will install '%s' "
            "on your computer. \r\nIt is advisable to close all running applications on your "
            "computer. \r\n\r\n \r\n",
            "Добро пожаловать в программу установки продукта «%s». \r\n\r\nЭта программа "
            "установит «%s» на Ваш компьютер. \r\nРекомендуется закрыть все приложения перед "
            "установкой. \r\n\r\n \r\n"),
    WPIS_RU(81, "Akceptuję umowę", "I accept the agreement", "Я принимаю соглашение"),
    WPIS_RU(82, "Nie akceptuję umowy", "I do not accept the agreement", "Я не принимаю соглашение"),
    WPIS_RU(121, " Zainstaluj w katalogu:  ", " Install in directory:  ", " Установить в папку:  "),
    WPIS_RU(122, "Zmień...", "Change...", "Изменить..."),
    WPIS_RU(123, "Wolne miejsce na dysku: %s", "Available space: %s", "Свободно на диске: %s"),
    WPIS_RU(124, "Miejsce potrzebne do instalacji: %s", "Required space: %s",
            "Требуется для установки: %s"),
    WPIS_RU(125, "Zainstaluj słowniki", "Install dictionaries", "Установить словари"),
    WPIS_RU(126, "Utwórz grupę w Menu Start", "Create a group in Start Menu",
            "Создать группу в меню «Пуск»"),
    WPIS_RU(127, "Utwórz skróty do translatorów na pulpicie",
            "Create desktop shortcuts for translators",
            "Создать ярлыки переводчиков на рабочем столе"),
    WPIS_RU(128, "Utwórz skróty do słowników na pulpicie",
            "Create desktop shortcuts for dictionaries",
            "Создать ярлыки словарей на рабочем столе"),
    WPIS_RU(129,
            "We wskazanej lokalizacji jest zbyt mało miejsca do zainstalowania programu.\r\nCzy "
            "chcesz kontynuować ?",
            "There is too little disk space in the selected directory.\r\nDo you want to "
            "continue ?",
            "В выбранной папке недостаточно места для установки программы.\r\nВы хотите "
            "продолжить ?"),
    WPIS_RU(130, "Nie można utworzyć katalogu \"%s\".\r\nWybierz inny katalog.",
            "Directory '%s' cannot be created. Select another directory.",
            "Невозможно создать папку «%s».\r\nВыберите другую папку."),
    WPIS_RU(131, "Zainstaluj skróty dla wszystkich użytkowników", "Install shortcuts for all users",
            "Создать ярлыки для всех пользователей"),
    WPIS_RU(132, "(musisz mieć uprawnienia administratora)",
            "(you must have the administrator's privileges)", "(необходимы права администратора)"),
    {133,
     {TXT_1250("Instaluj moduł tłumaczący dla Microsoft Word"),
      TX("Instaluj moduł tłumaczący dla Microsoft Word"),
      TX("Instaluj moduł tłumaczący dla Microsoft Word"),
      TX("Instaluj moduł tłumaczący dla Microsoft Word"),
      TX("Instaluj moduł tłumaczący dla Microsoft Word"),
      TX("Instaluj moduł tłumaczący dla Microsoft Word"),
      TX("Instaluj moduł tłumaczący dla Microsoft Word")},
     {}},
    {134,
     {TXT_1250("Instaluj moduł tłumaczący dla Internet Explorer"),
      TX("Instaluj moduł tłumaczący dla Internet Explorer"),
      TX("Instaluj moduł tłumaczący dla Internet Explorer"),
      TX("Instaluj moduł tłumaczący dla Internet Explorer"),
      TX("Instaluj moduł tłumaczący dla Internet Explorer"),
      TX("Instaluj moduł tłumaczący dla Internet Explorer"),
      TX("Instaluj moduł tłumaczący dla Internet Explorer")},
     {}},
    WPIS_RU(141, "Instaluję \"%s\"", "Installing '%s'", "Устанавливается «%s»"),
    WPIS_RU(142, "Kopiowanie plików ...", "Copying files ...", "Копирование файлов ..."),
    WPIS_RU(143, "Tworzenie skrótów ...", "Creating shortcuts ...", "Создание ярлыков ..."),
    WPIS_RU(144, "Tworzenie zapisów w rejestrze...", "Creating registry entries...",
            "Создание записей в реестре..."),
    WPIS_RU(145, "Z: %s", "From: %s", "Из: %s"),
    WPIS_RU(146, "Do: %s", "To: %s", "В: %s"),
    WPIS_RU(147, "Instalacja anulowana - usuwam skopiowane pliki ...",
            "Installation cancelled - deleting copied files ...",
            "Установка отменена - удаление скопированных файлов ..."),
    WPIS_RU(151,
            "Znaleziono poprzednią wersję programu. Czy wykonać konwersję słowników użytkownika "
            "i ustawień do nowej wersji?",
            "The previous version of the program has been found. Should the dictionaries and "
            "settings be converted to the new version?",
            "Найдена предыдущая версия программы. Преобразовать словари пользователя и "
            "настройки для новой версии?"),
    WPIS_RU(152, "Konwersja zakończona pomyślnie", "The conversion has finished successfully",
            "Преобразование успешно завершено"),
    WPIS_RU(153, "Wystąpił błąd podczas konwersji", "Some errors occurred during conversion",
            "При преобразовании возникли ошибки"),
    WPIS_RU(161,
            "Instalacja została pomyślnie zakończona.\r\n\r\nDziękujemy za zainstalowanie naszego "
            "programu i prosimy o wysłanie karty rejestracyjnej.",
            "Installation has finished successfully.\r\n\r\nThank you for choosing our product "
            "and please send us back the registration form.",
            "Установка успешно завершена.\r\n\r\nБлагодарим Вас за установку нашей программы и "
            "просим прислать регистрационную карточку."),
    WPIS_RU(162,
            "Wystąpił błąd podczas instalacji. Możliwe przyczyny to:\r\n\r\n1. Sprawdź, czy na "
            "dysku jest wystarczająca ilość miejsca.\r\n2. Twój napęd CD-ROM może wymagać "
            "czyszczenia.",
            "An error occurred during the installation. Some possible causes are:\r\n\r\n1. "
            "There is insufficient disk space to install the program.\r\n2. Your CD-ROM drive "
            "may require cleaning.",
            "Во время установки произошла ошибка. Возможные причины:\r\n\r\n1. Проверьте, "
            "достаточно ли места на диске.\r\n2. Возможно, требуется чистка дисковода "
            "компакт-дисков."),
    WPIS_RU(163, "Instalacja została przerwana na życzenie użytkownika.",
            "Installation was cancelled on user's request.",
            "Установка прервана по желанию пользователя."),
    WPIS_RU(181, "Uwaga", "Attention", "Внимание"),
    WPIS_RU(182, "Tak", "Yes", "Да"),
    WPIS_RU(183, "Nie", "No", "Нет"),
    WPIS_RU(201, "Aktualizacja została dokonana", "Files were patched successfully",
            "Обновление выполнено"),
    WPIS_RU(202, "Plik, który ma być patchowany, jest w niewłaściwej wersji",
            "Incorrect version of the file to be patched", "Обновляемый файл неверной версии"),
    WPIS_RU(203, "Nieprawidłowa długość pliku patch'owanego",
            "Incorrect length of the file to be patched", "Неверная длина обновляемого файла"),
    WPIS_RU(221, "Wybierz katalog", "Select directory", "Выберите папку"),
    WPIS_RU(222, "OK", "OK", "ОК"),
    WPIS_RU(224, "Nowy katalog", "New folder", "Новая папка"),
    WPIS_RU(225, "Nie można utworzyć katalogu \"%s\".", "Folder \"%s\" cannot be created.",
            "Невозможно создать папку «%s»."),
    WPIS_RU(301, "Instalator", "%s - Instalator", "Программа установки"),
    WPIS_RU(302,
            "Witamy w programie instalacyjnym produktu \"%s\". \r\n\r\nProszę włożyć do napędu "
            "płytę CD z programem, wybrać napęd i nacisnąć OK:",
            "Welcome in the installation program of '%s'.\r\n\r\nPlease insert CD-ROM with the "
            "program files, choose the drive and click OK:",
            "Добро пожаловать в программу установки продукта «%s».\r\n\r\nВставьте в дисковод "
            "компакт-диск с программой, выберите дисковод и нажмите ОК:"),
    WPIS_RU(314,
            "Plik \"%s\" jest używany przez inny program.\r\nZamknij ten program i wybierz Tak, "
            "aby spróbować ponownie, lub Nie, aby przerwać instalację.",
            "The file '%s' is in use by another program.\r\nClose that program and choose Yes "
            "to try again, or No to cancel the installation.",
            "Файл «%s» используется другой программой.\r\nЗакройте эту программу и выберите "
            "Да, чтобы повторить попытку, или Нет, чтобы прервать установку."),
    WPIS_RU(315,
            "Poprzednia instalacja została przerwana.\r\nPliki, które zastąpiła, zostały "
            "przywrócone.",
            "The previous installation was interrupted.\r\nThe files it replaced have been "
            "restored.",
            "Предыдущая установка была прервана.\r\nЗаменённые ею файлы восстановлены."),
    WPIS_RU(316,
            "Nie wszystkie pliki poprzedniej instalacji udało się przywrócić.\r\nInstalator "
            "spróbuje ponownie przy następnym uruchomieniu.",
            "Not all files of the previous installation could be restored.\r\nThe setup program "
            "will try again the next time it is started.",
            "Не удалось восстановить все файлы предыдущей установки.\r\nПрограмма установки "
            "повторит попытку при следующем запуске."),
    // The second "%s" is an example folder: the storage form of the Russian column has no room
    // for its Latin letters.
    WPIS_RU(317,
            "Nie można zainstalować programu w katalogu \"%s\".\r\nPodaj pełną ścieżkę katalogu, "
            "na przykład %s.",
            "The program cannot be installed in the folder '%s'.\r\nPlease give the full path of "
            "a folder, for example %s.",
            "Невозможно установить программу в папку «%s».\r\nУкажите полный путь к папке, "
            "например %s."),
    WPIS_RU(318,
            "Ścieżka katalogu \"%s\" jest za długa dla plików tego programu.\r\nWybierz katalog o "
            "krótszej ścieżce.",
            "The path of the folder '%s' is too long for the files of this program.\r\nPlease "
            "choose a folder with a shorter path.",
            "Путь к папке «%s» слишком длинный для файлов этой программы.\r\nВыберите папку с "
            "более коротким путём."),
};

#undef WPIS_RU
#undef TX

const std::size_t kLiczbaWpisowTekstow = sizeof(kWpisyTekstow) / sizeof(kWpisyTekstow[0]);

}  // namespace orvala::detail
