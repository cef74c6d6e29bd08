// TStronaKreatora: a page panel's creation, presence, default entry and captions, and the
// commands it passes on.
#include "app/untStronaKreatora.h"

#include "config/untInstalTeksty.h"
#include "textutil/untUtilsEdytor.h"
#include "untIdentyfikatory.h"

namespace orvala {

TStronaKreatora::TStronaKreatora(const wchar_t* templateName, int panelId, TRamaKreatora& frame)
    : TOkno(templateName), panelId_(panelId), frame_(frame) {}

bool TStronaKreatora::CreatePanel(HWND frame) {
  if (!Create(frame)) {
    return false;
  }
  ::SetWindowLongPtrW(Handle(), GWLP_ID, panelId_);
  ::ShowWindow(Handle(), SW_HIDE);
  return true;
}

void TStronaKreatora::Present(bool current) const {
  if (Handle() == nullptr) {
    return;
  }
  ::EnableWindow(Handle(), current ? TRUE : FALSE);
  ::ShowWindow(Handle(), current ? SW_SHOW : SW_HIDE);
  if (current) {
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
}

void TStronaKreatora::OnEnter() {
  frame_.FocusControl(frame_.FrameButton(IDC_btnDalej));
}

void TStronaKreatora::ApplyLanguage(LanguageId language, bool) {
  if (Handle() != nullptr) {
    ApplyLanguageFontToDialog(Handle(), language);
  }
}

bool TStronaKreatora::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) {
    return false;
  }
  if (id == IDOK || id == IDCANCEL) {
    frame_.FrameCommand(id);
    return true;
  }
  return OnClick(id);
}

void TStronaKreatora::SetItemTexts(std::span<const std::pair<int, int>> captions) const {
  for (const auto& [id, textId] : captions) {
    SetItemText(id, GetText(Language(), textId, false));
  }
}

}  // namespace orvala
