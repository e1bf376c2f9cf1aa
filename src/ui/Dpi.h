#pragma once
// The dpi the program's windows are shown at, and the one scale that turns the layout's
// pixels at 96 dpi into pixels at another dpi. The calls that know a window's or a
// monitor's dpi came with Windows 10 1607: they are looked up while the program runs, and
// older systems give the system's dpi.
#include <windows.h>

#include <string>

#include "platform/GdiHandles.h"
#include "ui/DpiScale.h"

namespace brimview::ui {

// The dpi of the screen the program starts on.
int SystemDpi();
// The dpi of the monitor the window is on.
int WindowDpi(HWND hwnd);
// A system metric (SM_CXICON, ...) at dpi.
int SystemMetricForDpi(int index, int dpi);

// The picture resource of that name drawn at percent (see ArtPercent): "HARD" at 100 %,
// "HARD125" at 125 %.
UniqueBitmap LoadArt(const std::wstring& name, int percent);

}  // namespace brimview::ui
