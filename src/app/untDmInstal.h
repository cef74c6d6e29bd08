// TdmInstal: the data module of the setup program, holding the image list of language flags.
//
// Created by the program entry after the dialogs and kept to exit; while it exists, dmInstal()
// returns it. The flags are one strip bitmap of the program's resources (IDB_imlFlagi, or its
// larger drawing for the system DPI), one image per language in flag-image-index order
// (FlagImageIndex).
#pragma once

#include "dialogs/untUchwytyDialogow.h"
#include "platform/win32/untWindows.h"

namespace orvala {

class TdmInstal {
 public:
  TdmInstal();
  ~TdmInstal();
  TdmInstal(const TdmInstal&) = delete;
  TdmInstal& operator=(const TdmInstal&) = delete;

  HIMAGELIST imlFlagi() const { return imlFlagi_.Get(); }
  // The flag of image index `index` as an icon (owned by the caller), or null.
  HICON FlagIcon(int index) const;

 private:
  TUchwytListyObrazow imlFlagi_;
  TdmInstal* previous_;
};

// The data module that exists now (the program entry creates it); null before and after.
TdmInstal* dmInstal();

}  // namespace orvala
