#include "ui/Dpi.h"

namespace brimview::ui {
namespace {

// A function of user32 that older systems lack, or null.
template <class Function>
Function User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

int SystemDpi() {
    static const int dpi = [] {
        const WindowDc screen(nullptr);
        return GetDeviceCaps(screen.get(), LOGPIXELSX);
    }();
    return dpi;
}

int WindowDpi(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    const int dpi = getDpiForWindow ? static_cast<int>(getDpiForWindow(hwnd)) : 0;
    return dpi > 0 ? dpi : SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}

UniqueBitmap LoadArt(const std::wstring& name, int percent) {
    const std::wstring art = percent == 100 ? name : name + std::to_wstring(percent);
    return UniqueBitmap(
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), art.c_str(), IMAGE_BITMAP, 0, 0, 0)));
}

}  // namespace brimview::ui
