// TfrmCD: asks which CD-ROM drive holds the package's CD.
//
// ChooseSourceDrive lists the CD-ROM drives (Platform().LogicalDrives(), upper-cased with
// UpperText1250, DriveType CdRom), then the program's own folder when it holds the package
// (SourceCandidates), and shows the dialog, centred on the screen, until the user
// cancels (empty result) or presses OK on a drive whose root holds the package's recognition
// files (untNapedyCD.h); any other OK shows the dialog again with the drive list read anew.
// The language row of other editions is not part of this dialog. The dialog carries the
// program's icon; shown while its owner is hidden (at start, before the wizard appears) it is
// the program's only window and gets a task-bar button of its own.
#pragma once

#include <string>
#include <vector>

#include "dialogs/untIkonaProgramu.h"
#include "dialogs/untOkno.h"
#include "textutil/untTekst.h"

namespace orvala {

class TfrmCD : public TOkno {
 public:
  TfrmCD();

  // Caption: text 301 formatted with the language's product title (languageCodePage true);
  // lblCD: text 302 with the same title (false); btnOK 222; btnAnuluj 6; the window font.
  void SetLanguage(LanguageId language);
  LanguageId Language() const { return language_; }

  // The root of the chosen drive ("D:\") or the program's own folder (with its trailing
  // backslash), or empty when the user cancelled. `owner` (may be
  // null) is disabled while the dialog is up; the dialog is centred on the screen regardless.
  std::string ChooseSourceDrive(HWND owner = nullptr);

  // The drive roots of the last showing, in the order of the combo box items.
  const std::vector<std::string>& Roots() const { return roots_; }

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  LanguageId language_ = 0;
  TWideString caption_;
  TWideString text_;
  TWideString captionOK_;
  TWideString captionAnuluj_;
  std::vector<std::string> roots_;
  int chosenIndex_ = -1;
  TIkonaProgramu icon_;
};

}  // namespace orvala
