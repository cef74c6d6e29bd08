// TfrmKatalog: the directory chooser's tree view over its folder model, the edit that follows
// it, and the new-folder button.
#include "dialogs/untKatalog.h"

#include <shellapi.h>

#include <optional>

#include "config/untInstalTeksty.h"
#include "config/untInstalTekstyId.h"
#include "dialogs/untKatalogDodaj.h"
#include "dialogs/untPytanie.h"
#include "engine/untSciezki.h"
#include "platform/untPlatforma.h"
#include "textutil/untUtilsEdytor.h"
#include "untIdentyfikatory.h"

namespace orvala {

namespace {

// Images of imlKatalog.
constexpr int kObrazDysku = 0;
constexpr int kObrazKatalogu = 1;
constexpr int kObrazKataloguOtwartego = 2;

// Icons of the system's shell32.dll by resource identifier (negative for ExtractIconExW):
// fixed drive, closed folder, open folder.
constexpr int kIkonyPowloki[3] = {-9, -4, -5};

// Sets `flag` for the lifetime of the scope (the dialog's own changes of the tree).
class TZajety {
 public:
  explicit TZajety(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
  ~TZajety() { flag_ = previous_; }
  TZajety(const TZajety&) = delete;
  TZajety& operator=(const TZajety&) = delete;

 private:
  bool& flag_;
  bool previous_;
};

// Redrawing of a window off for the lifetime of the scope, then one repaint.
class TJednaAktualizacja {
 public:
  explicit TJednaAktualizacja(HWND window) : window_(window) {
    ::SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
  }
  ~TJednaAktualizacja() {
    ::SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(window_, nullptr, TRUE);
  }
  TJednaAktualizacja(const TJednaAktualizacja&) = delete;
  TJednaAktualizacja& operator=(const TJednaAktualizacja&) = delete;

 private:
  HWND window_;
};

TUchwytListyObrazow MakeImageList() {
  const int cx = ::GetSystemMetrics(SM_CXSMICON);
  const int cy = ::GetSystemMetrics(SM_CYSMICON);
  TUchwytListyObrazow list(::ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 3, 0));
  if (!list) {
    return list;
  }
  wchar_t directory[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH - 16) {
    return list;
  }
  std::wstring shell32(directory, length);
  shell32 += L"\\shell32.dll";
  for (int icon : kIkonyPowloki) {
    HICON small = nullptr;
    if (::ExtractIconExW(shell32.c_str(), icon, nullptr, &small, 1) == 0 || small == nullptr) {
      break;
    }
    TUchwytIkony owned(small);
    ::ImageList_AddIcon(list.Get(), owned.Get());
  }
  return list;
}

}  // namespace

TfrmKatalog::TfrmKatalog(TfrmKatalogDodaj& dodaj, TfrmPytanie& pytanie)
    : TOkno(L"TFRMKATALOG"), dodaj_(dodaj), pytanie_(pytanie) {
  SetLanguage(0);
}

TfrmKatalog::~TfrmKatalog() = default;

void TfrmKatalog::SetLanguage(LanguageId language) {
  language_ = language;
  caption_ = GetText(language, kTekstWybierzKatalog, true);
  captionOK_ = GetText(language, kTekstOK, false);
  captionAnuluj_ = GetText(language, kTekstAnuluj, false);
  captionUtworz_ = GetText(language, kTekstNowyKatalog, false);
  if (Handle() != nullptr) {
    ApplyLanguageFontToDialog(Handle(), language_);
    SetItemText(IDC_btnOK, captionOK_);
    SetItemText(IDC_btnAnuluj, captionAnuluj_);
    SetItemText(IDC_btnUtworz, captionUtworz_);
  }
}

TWideString TfrmKatalog::ChooseDirectory(const TWideString& initialPath, const std::string& caption,
                                         HWND owner) {
  initialPath_ = initialPath;
  windowCaption_ = caption.empty() ? GetText(language_, kTekstWybierzKatalog, false)
                                   : WidenText(caption, language_, true);
  owner_ = owner;
  result_.clear();
  const INT_PTR answer = ShowModal(owner);
  owner_ = nullptr;
  return answer == IDOK ? result_ : initialPath;
}

void TfrmKatalog::OnInitDialog() {
  ApplyLanguageFontToDialog(Handle(), language_);
  SetCaption(windowCaption_);
  SetItemText(IDC_btnOK, captionOK_);
  SetItemText(IDC_btnAnuluj, captionAnuluj_);
  SetItemText(IDC_btnUtworz, captionUtworz_);
  SetItemText(IDC_edtKatalog, initialPath_);
  if (!imlKatalog_) {
    imlKatalog_ = MakeImageList();
  }
  ::SendMessageW(Item(IDC_trvKatalog), TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(imlKatalog_.Get()));
  FillDrives();
  SelectPathOfEdit();
  EnableItem(IDC_btnUtworz, SelectedNode() != kBrakWezla);
  CentreOver(owner_);
  FocusItem(IDC_trvKatalog);
}

void TfrmKatalog::OnDestroy() {
  items_.clear();
  model_.Clear();
}

void TfrmKatalog::FillDrives() {
  TZajety busy(busy_);
  HWND tree = Item(IDC_trvKatalog);
  TJednaAktualizacja update(tree);
  ::SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  items_.clear();
  model_.FillDrives();
  items_.assign(model_.Size(), nullptr);
  for (int node : model_.TopLevel()) {
    InsertItem(node);
  }
}

// The tree item of a model node, last under its parent's item: a disk (image 0) at the top
// level, a folder (image 1, selected 2) below, marked expandable as the model says.
void TfrmKatalog::InsertItem(int node) {
  const TModelKatalogow::TWezel& entry = model_.Node(node);
  const bool disk = entry.parent == kBrakWezla;
  const TWideString text = platform::Platform().WidenPath(entry.text);
  TVINSERTSTRUCTW insert{};
  insert.hParent = disk ? TVI_ROOT : items_[static_cast<std::size_t>(entry.parent)];
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
  insert.item.pszText = const_cast<wchar_t*>(WideChars(text));
  insert.item.iImage = disk ? kObrazDysku : kObrazKatalogu;
  insert.item.iSelectedImage = disk ? kObrazDysku : kObrazKataloguOtwartego;
  insert.item.cChildren = entry.expandable ? 1 : 0;
  insert.item.lParam = node;
  items_[static_cast<std::size_t>(node)] = reinterpret_cast<HTREEITEM>(
      ::SendMessageW(Item(IDC_trvKatalog), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

// Inserts the tree items of the node's model children that have none yet, and updates the
// node's expandable mark.
void TfrmKatalog::InsertChildren(int node) {
  items_.resize(model_.Size(), nullptr);
  const TModelKatalogow::TWezel& parent = model_.Node(node);
  for (int child : parent.children) {
    if (items_[static_cast<std::size_t>(child)] == nullptr) {
      InsertItem(child);
    }
  }
  TVITEMW mark{};
  mark.mask = TVIF_CHILDREN | TVIF_HANDLE;
  mark.hItem = items_[static_cast<std::size_t>(node)];
  mark.cChildren = parent.children.empty() ? 0 : 1;
  ::SendMessageW(Item(IDC_trvKatalog), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&mark));
}

void TfrmKatalog::SelectPathOfEdit() {
  TZajety busy(busy_);
  HWND tree = Item(IDC_trvKatalog);
  std::vector<int> read;
  // A character the code page lacks becomes '?', which no folder name holds: the match stops
  // before it.
  std::string typed;
  platform::Platform().NarrowPath(ItemText(IDC_edtKatalog), typed);
  const int node = model_.SelectPath(typed, &read);
  {
    TJednaAktualizacja update(tree);
    for (int parent : read) {
      InsertChildren(parent);
    }
  }
  if (node == kBrakWezla) {
    return;
  }
  // Expand the matched chain from the top, then select its deepest node.
  std::vector<int> chain;
  for (int n = node; n != kBrakWezla; n = model_.Node(n).parent) {
    chain.insert(chain.begin(), n);
  }
  for (int n : chain) {
    ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND,
                   reinterpret_cast<LPARAM>(items_[static_cast<std::size_t>(n)]));
  }
  HTREEITEM item = items_[static_cast<std::size_t>(node)];
  ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  ::SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
}

int TfrmKatalog::SelectedNode() const {
  HWND tree = Item(IDC_trvKatalog);
  auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (item == nullptr) {
    return kBrakWezla;
  }
  TVITEMW query{};
  query.mask = TVIF_PARAM | TVIF_HANDLE;
  query.hItem = item;
  if (!::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) {
    return kBrakWezla;
  }
  const auto node = static_cast<int>(query.lParam);
  return node >= 0 && static_cast<std::size_t>(node) < model_.Size() ? node : kBrakWezla;
}

void TfrmKatalog::UserSelectionChanged() {
  const int node = SelectedNode();
  EnableItem(IDC_btnUtworz, node != kBrakWezla);
  if (node == kBrakWezla) {
    return;
  }
  SetItemText(IDC_edtKatalog, platform::Platform().WidenPath(model_.Path(node)));
  if (!model_.Node(node).childrenRead) {
    TJednaAktualizacja update(Item(IDC_trvKatalog));
    model_.ReadChildren(node);
    InsertChildren(node);
  }
}

void TfrmKatalog::btnUtworzClick() {
  const int node = SelectedNode();
  if (node == kBrakWezla) {
    return;
  }
  const std::optional<TWideString> typed = dodaj_.AskFolderName(Handle());
  if (!typed) {
    return;
  }
  platform::TPlatforma& system = platform::Platform();
  // A name the system cannot take (NarrowPath) is never created with a stand-in character.
  std::string name;
  const bool held = system.NarrowPath(*typed, name);
  const std::string path = WithTrailingBackslash(model_.Path(node)) + name;
  if (!held || !system.CreateDirectory(path)) {
    const TWideString text = FormatText(GetText(language_, kTekstNieUtworzonoKatalogu, false),
                                        {*typed}, false, language_);
    pytanie_.Ask(Handle(), text, kPytanieOK);
    return;
  }
  SetItemText(IDC_edtKatalog, system.WidenPath(path));
  if (!model_.Node(node).childrenRead) {
    model_.ReadChildren(node);  // lists the new folder too
  }
  int child = kBrakWezla;
  for (int existing : model_.Node(node).children) {
    if (PieceMatches(model_.Node(existing).text, name)) {
      child = existing;
    }
  }
  if (child == kBrakWezla) {
    child = model_.AddChild(node, name);
  }
  InsertChildren(node);
  HWND tree = Item(IDC_trvKatalog);
  ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND,
                 reinterpret_cast<LPARAM>(items_[static_cast<std::size_t>(node)]));
  // A selection change of the user's kind: edtKatalog follows and the new node is expanded.
  ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(items_[static_cast<std::size_t>(child)]));
}

bool TfrmKatalog::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) {
    return false;
  }
  switch (id) {
    case IDC_btnOK:
    case IDOK:
      result_ = ItemText(IDC_edtKatalog);
      EndModal(IDOK);
      return true;
    case IDC_btnAnuluj:
    case IDCANCEL:
      EndModal(IDCANCEL);
      return true;
    case IDC_btnUtworz:
      btnUtworzClick();
      return true;
    default:
      return false;
  }
}

bool TfrmKatalog::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.idFrom != IDC_trvKatalog) {
    return false;
  }
  switch (header.code) {
    case TVN_SELCHANGINGW: {
      // A tree without a selection selects its first node when it gets the focus (no mouse,
      // no key). That is neither the user's choice nor the dialog's: refusing it keeps a path
      // that names no fixed disk in edtKatalog, and the tree without a selection.
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      result = !busy_ && !keyIntoTree_ && change.action == TVC_UNKNOWN &&
               change.itemOld.hItem == nullptr;
      return true;
    }
    case TVN_KEYDOWN: {
      // With no selection the tree ignores the arrow keys: the first of them selects the
      // first disk, as the user's choice, so that the tree can be reached from the keyboard.
      const auto& key = reinterpret_cast<const NMTVKEYDOWN&>(header);
      if ((key.wVKey == VK_DOWN || key.wVKey == VK_UP || key.wVKey == VK_HOME) &&
          SelectedNode() == kBrakWezla) {
        HWND tree = Item(IDC_trvKatalog);
        const LPARAM first = ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        keyIntoTree_ = true;
        ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, first);
        keyIntoTree_ = false;
      }
      result = 0;
      return true;
    }
    case TVN_SELCHANGEDW:
      if (!busy_) {
        UserSelectionChanged();
      }
      result = 0;
      return true;
    case TVN_ITEMEXPANDINGW: {
      // The expandable mark of a node never selected: read its children now, so that the
      // node opens instead of losing its mark.
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      const auto node = static_cast<int>(change.itemNew.lParam);
      if (!busy_ && (change.action & TVE_EXPAND) != 0 && node >= 0 &&
          static_cast<std::size_t>(node) < model_.Size() && !model_.Node(node).childrenRead) {
        TZajety busy(busy_);
        model_.ReadChildren(node);
        InsertChildren(node);
      }
      result = FALSE;  // allow
      return true;
    }
    default:
      return false;
  }
}

}  // namespace orvala
