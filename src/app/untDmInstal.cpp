#include "app/untDmInstal.h"

#include <commctrl.h>

#include "untIdentyfikatory.h"

namespace orvala {

namespace {
TdmInstal* gDmInstal = nullptr;
}  // namespace

TdmInstal::TdmInstal() : previous_(gDmInstal) {
  imlFlagi_.Reset(::ImageList_LoadImageW(::GetModuleHandleW(nullptr),
                                         MAKEINTRESOURCEW(IDB_imlFlagi), kSzerokoscFlagi, 0,
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
