#pragma once
// The dpi the program's windows are shown at, and the one scale that turns the layout's
// pixels at 96 dpi into pixels at another dpi. The calls that know a window's or a
// monitor's dpi came with Windows 10 1607: they are looked up while the program runs, and
// older systems give the system's dpi.
#include <windows.h>

#include <string>

#include "platform/GdiHandles.h"

namespace brimview::ui {

// The dpi the layout is written for.
constexpr int kDesignDpi = 96;

// A length of the layout, in pixels at 96 dpi, in pixels at dpi, rounded as the system rounds.
inline int ScaleToDpi(int value, int dpi) {
    return MulDiv(value, dpi, kDesignDpi);
}

// The dpi of the screen the program starts on.
int SystemDpi();
// The dpi of the monitor the window is on.
int WindowDpi(HWND hwnd);
// A system metric (SM_CXICON, ...) at dpi.
int SystemMetricForDpi(int index, int dpi);

// The name of the picture resource drawn for dpi: the art comes in 100, 150 and 200 %, and
// the nearest scale that is not smaller is taken ("HARD", "HARD150", "HARD200").
std::wstring ArtName(const std::wstring& name, int dpi);
UniqueBitmap LoadArt(const std::wstring& name, int dpi);

}  // namespace brimview::ui
