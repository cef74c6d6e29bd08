// Windows-1250 strings (paths, folder names) shown in and read from UTF-16 controls.
//
// Paths are converted by the code page itself, not by the display widening of the text table,
// so a path read back from a control is the path that was put into it.
#pragma once

#include <string>
#include <string_view>

#include "textutil/untTekst.h"

namespace orvala {

TWideString Text1250ToWide(std::string_view text);
// Characters Windows-1250 cannot hold become '?'.
std::string WideToText1250(const TWideString& text);

}  // namespace orvala
