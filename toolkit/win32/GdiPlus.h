#pragma once

// GDI+ for the Win32 backend and its tests. The build defines NOMINMAX, so that the Windows
// headers' min and max macros never shadow std::min and std::max; GDI+'s own headers still call
// min and max unqualified, as the macros once provided them, so the standard ones are brought in
// before it. Include GDI+ only through this header.
#include <windows.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>
