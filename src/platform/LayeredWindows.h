#pragma once
// The calls whole-window translucency makes, gathered so that tests can count them.
#include <windows.h>

namespace brimview {

struct LayeredWindowApi {
    using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    // Null where the system has no layered windows (before Windows 2000).
    SetLayeredFn setLayeredWindowAttributes = nullptr;
    LONG(WINAPI* getWindowLong)(HWND, int) = GetWindowLongW;
    LONG(WINAPI* setWindowLong)(HWND, int, LONG) = SetWindowLongW;
    BOOL(WINAPI* redrawWindow)(HWND, const RECT*, HRGN, UINT) = RedrawWindow;
};

// The calls in use: SetLayeredWindowAttributes is looked up in user32 once, at start-up.
LayeredWindowApi& LayeredWindows();

}  // namespace brimview
