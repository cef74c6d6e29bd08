// The question dialog's geometry: sizes from the measured text, and the centred position.
#include "dialogs/untUkladPytania.h"

namespace orvala {

TUkladPytania ComputeAskLayout(const TWymiaryPytania& in) {
  const std::uint8_t mode = in.mode > 3 ? 0 : in.mode;
  TUkladPytania out{};
  switch (mode) {
    case 1:
    case 2:
      out.rowWidth = in.widthTak + in.widthNie + in.gap;
      break;
    case 3:
      out.rowWidth = in.widthTak + in.widthNie + in.widthAnuluj + 2 * in.gap;
      break;
    default:
      out.rowWidth = in.widthTak;
      break;
  }
  out.labelWidth = in.labelWidth < out.rowWidth ? out.rowWidth : in.labelWidth;
  const int x = in.labelLeft + (out.labelWidth - out.rowWidth) / 2;
  out.xTak = x;
  out.xNie = x + in.widthTak + in.gap;
  out.xAnuluj = x + in.widthTak + in.widthNie + 2 * in.gap;
  out.buttonsTop = in.labelTop + in.labelHeight + in.gap;
  out.clientWidth = 2 * in.labelLeft + out.labelWidth;
  out.clientHeight = 2 * in.labelTop + in.labelHeight + in.heightTak + in.gap;
  return out;
}

TPunkt CentredPosition(int ownerLeft, int ownerTop, int ownerWidth, int ownerHeight, int width,
                       int height) {
  return {ownerLeft + (ownerWidth - width) / 2, ownerTop + (ownerHeight - height) / 2};
}

}  // namespace orvala
