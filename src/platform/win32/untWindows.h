// The one wrapper around <windows.h>: every Win32 source includes this instead.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif

#include <windows.h>

// The platform seam has methods of these names; the A/W-selecting macros would rename them in
// the files that see <windows.h>. Call the A or W function by its full name instead.
#undef CreateDirectory
#undef RemoveDirectory
#undef DeleteFile
#undef ReplaceFile
#undef SetFileAttributes
