// TdmInstal: the flag image list at the window's DPI, and the process-wide data module.
#include "app/untDmInstal.h"

#include <commctrl.h>

#include "app/untKreator.h"
#include "dialogs/untOkno.h"
#include "untIdentyfikatory.h"

namespace orvala {

namespace {
TdmInstal* gDmInstal = nullptr;

// The flag strip drawn for the system DPI and the width of one flag in it.
struct TPasekFlag {
  int resource;
  int flagWidth;
};
TPasekFlag FlagStrip(int dpi) {
  switch (ArtworkForDpi(dpi)) {
    case TSkalaGrafiki::Poltorej:
      return {IDB_imlFlagi_144, kSzerokoscFlagi * 3 / 2};
    case TSkalaGrafiki::Podwojna:
      return {IDB_imlFlagi_192, kSzerokoscFlagi * 2};
    default:
      return {IDB_imlFlagi, kSzerokoscFlagi};
  }
}
}  // namespace

TdmInstal::TdmInstal() : previous_(gDmInstal) {
  const TPasekFlag strip = FlagStrip(SystemDpi());
  imlFlagi_.Reset(::ImageList_LoadImageW(::GetModuleHandleW(nullptr),
                                         MAKEINTRESOURCEW(strip.resource), strip.flagWidth, 0,
                                         CLR_NONE, IMAGE_BITMAP, LR_CREATEDIBSECTION));
  gDmInstal = this;
}

TdmInstal::~TdmInstal() {
  gDmInstal = previous_;
}

HICON TdmInstal::FlagIcon(int index) const {
  if (!imlFlagi_ || index < 0 || index >= ::ImageList_GetImageCount(imlFlagi_.Get())) {
    return nullptr;
  }
  return ::ImageList_GetIcon(imlFlagi_.Get(), index, ILD_NORMAL);
}

TdmInstal* dmInstal() {
  return gDmInstal;
}

}  // namespace orvala
