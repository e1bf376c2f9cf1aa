// The floors for the start-up benchmark: a bare Win32 window of the same size, built the
// same way (static runtime, same flags), that paints its face and waits. Built with
// BRIMVIEW_FLOOR_STYLED it also has what the program must have at start whatever its code:
// the manifest asking for common controls 6, their initialisation, a line of text in each
// of the window's four fonts, and the drop-down list and progress bar the window shows,
// themed. BRIMVIEW_FLOOR_WORKER adds one thread that ends at once, as a drive query does:
// a program that no drive can freeze needs one, and under Wine any thread, ended or not,
// holds about 1 MB of the host's memory.
#include <windows.h>
#ifdef BRIMVIEW_FLOOR_STYLED
#include <commctrl.h>
#endif

namespace {

#ifdef BRIMVIEW_FLOOR_STYLED
void PaintFonts(HWND hwnd) {
    struct Face {
        const wchar_t* name;
        int height;
    };
    static constexpr Face kFaces[] = {
        {L"ＭＳ Ｐゴシック", 12}, {L"ＭＳ Ｐゴシック", 13}, {L"Tahoma", 12}, {L"Tahoma", 13}};
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    FillRect(dc, &paint.rcPaint, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    SetBkMode(dc, TRANSPARENT);
    int top = 4;
    for (const Face& face : kFaces) {
        HFONT font =
            CreateFontW(-face.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, 0, 0, 0, 0, face.name);
        HGDIOBJ previous = SelectObject(dc, font);
        TextOutW(dc, 8, top, L"74.52 GB", 8);
        SelectObject(dc, previous);
        DeleteObject(font);
        top += 20;
    }
    EndPaint(hwnd, &paint);
}
#endif

#ifdef BRIMVIEW_FLOOR_WORKER
DWORD WINAPI EndAtOnce(void*) {
    return 0;
}
#endif

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
#ifdef BRIMVIEW_FLOOR_STYLED
    if (msg == WM_PAINT) {
        PaintFonts(hwnd);
        return 0;
    }
#endif
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
#ifdef BRIMVIEW_FLOOR_STYLED
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
#endif
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"BareWindow";
    RegisterClassW(&wc);
    RECT r{0, 0, 170, 140};
    AdjustWindowRect(&r, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE);
    HWND hwnd = CreateWindowW(L"BareWindow", L"Bare", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                              CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
#ifdef BRIMVIEW_FLOOR_STYLED
    HWND list = CreateWindowW(WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 9,
                              8, 154, 150, hwnd, nullptr, instance, nullptr);
    HFONT listFont =
        CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, 0, 0, 0, 0, L"ＭＳ Ｐゴシック");
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(listFont), FALSE);
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"C: []"));
    SendMessageW(list, CB_SETCURSEL, 0, 0);
    HWND bar =
        CreateWindowW(PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 17, 86, 138, 10, hwnd, nullptr, instance, nullptr);
    SendMessageW(bar, PBM_SETPOS, 56, 0);
#endif
#ifdef BRIMVIEW_FLOOR_WORKER
    CloseHandle(CreateThread(nullptr, 0, EndAtOnce, nullptr, 0, nullptr));
#endif
    ShowWindow(hwnd, show);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
