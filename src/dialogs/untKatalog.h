// TfrmKatalog: the directory chooser of the options page.
//
// A tree of the fixed disks and their folders (children read when a node is first selected or
// expanded), an editable path field kept in step with the user's selection, and btnUtworz that
// creates one folder under the selected node (name from TfrmKatalogDodaj; a failure is told
// with text 225 in TfrmPytanie mode 0). The folder logic is the portable TModelKatalogow
// (untDrzewoKatalogow.h); this class mirrors it into the tree view.
#pragma once

#include <string>
#include <vector>

#include "dialogs/untDrzewoKatalogow.h"
#include "dialogs/untOkno.h"
#include "dialogs/untUchwytyDialogow.h"
#include "textutil/untTekst.h"

namespace orvala {

class TfrmKatalogDodaj;
class TfrmPytanie;

class TfrmKatalog : public TOkno {
 public:
  // `dodaj` asks for new folder names, `pytanie` tells failures; both must outlive this form.
  TfrmKatalog(TfrmKatalogDodaj& dodaj, TfrmPytanie& pytanie);
  ~TfrmKatalog() override;

  // Caption text 221 (languageCodePage true), btnOK 222, btnAnuluj 6, btnUtworz 224; the font.
  void SetLanguage(LanguageId language);
  LanguageId Language() const { return language_; }

  // Shows the chooser centred over `owner` with `initialPath` in edtKatalog; the window caption
  // is `caption` (8-bit) or, when empty, text 221 (languageCodePage false). OK returns the text
  // of edtKatalog as it stands (its 8-bit path is the caller's to take, with the system's ANSI
  // code page, so that a character that code page lacks is refused, never turned into '?');
  // Cancel or closing returns `initialPath` unchanged.
  TWideString ChooseDirectory(const TWideString& initialPath, const std::string& caption,
                              HWND owner = nullptr);

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(const NMHDR& header, LRESULT& result) override;
  void OnDestroy() override;

 private:
  void FillDrives();
  void SelectPathOfEdit();
  void InsertItem(int node);
  void InsertChildren(int node);
  void UserSelectionChanged();
  void btnUtworzClick();
  int SelectedNode() const;

  TfrmKatalogDodaj& dodaj_;
  TfrmPytanie& pytanie_;
  LanguageId language_ = 0;
  TWideString caption_;
  TWideString captionOK_;
  TWideString captionAnuluj_;
  TWideString captionUtworz_;

  // State of one showing.
  TWideString windowCaption_;
  TWideString initialPath_;
  TWideString result_;
  HWND owner_ = nullptr;
  bool busy_ = false;
  bool keyIntoTree_ = false;  // a key selects the first node of a tree without a selection
  TModelKatalogow model_;
  std::vector<HTREEITEM> items_;  // tree item of each model node
  TUchwytListyObrazow imlKatalog_;
};

}  // namespace orvala
