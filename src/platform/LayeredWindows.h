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

// The system's calls, SetLayeredWindowAttributes looked up in user32 where it has it.
LayeredWindowApi SystemLayeredWindows();

}  // namespace brimview
