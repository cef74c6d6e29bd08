// The geometry of the question dialog (TfrmPytanie), as plain arithmetic on device pixels.
#pragma once

#include <cstdint>

namespace orvala {

struct TWymiaryPytania {
  std::uint8_t mode = 0;  // 0..3 (above 3 counts as 0)
  int labelLeft = 0;      // lblPytanie's position from the template
  int labelTop = 0;
  int labelWidth = 0;   // after automatic sizing (longest line, at most the wrap width)
  int labelHeight = 0;  // after word wrapping at that width
  int widthTak = 0;     // button sizes from the template
  int widthNie = 0;
  int widthAnuluj = 0;
  int heightTak = 0;
  int gap = 8;  // space between buttons, and below the label (8 at 96 dpi)
};

struct TUkladPytania {
  int labelWidth;           // widened to the button row when narrower
  int rowWidth;             // W
  int xTak, xNie, xAnuluj;  // button lefts (a hidden button keeps its computed place)
  int buttonsTop;           // label top + label height + gap
  int clientWidth;          // 2 * labelLeft + labelWidth
  int clientHeight;         // 2 * labelTop + labelHeight + heightTak + gap
};

// Button row, label widening, row start (integer division) and client size.
TUkladPytania ComputeAskLayout(const TWymiaryPytania& in);

// The window's top-left corner centred over the owner rectangle (integer division; it may
// extend beyond the owner or the screen).
struct TPunkt {
  int x, y;
};
TPunkt CentredPosition(int ownerLeft, int ownerTop, int ownerWidth, int ownerHeight, int width,
                       int height);

}  // namespace orvala
