#include "ui/Form.h"

#include <optional>

#include "ui/Application.h"
#include "ui/StdCtrls.h"

namespace brimview::ui {

Form::Form(Component* owner, std::wstring className)
    : WinControl(owner, nullptr), className_(std::move(className)), dpi_(SystemDpi()) {
    visible_ = false;
    SetFont(Font());  // the base made it before the form knew its dpi
}

void Form::FinishCreation() {
    if (!windowOnFirstShow) Handle();
    NotifyLoaded();
    if (!OnCreate) return;
    try {
        OnCreate(*this);
    } catch (const std::exception& e) {
        App().ShowException(e);
    }
}

void Form::CreateParamsFor(CreateParams& params) {
    params.ownClass = className_;
    params.caption = caption;
    params.parent = App().Handle();  // the owner: no taskbar entry of its own
    params.style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (minimizeBox ? WS_MINIMIZEBOX : 0);
    params.exStyle = border == FormBorder::Dialog ? WS_EX_DLGMODALFRAME : 0;
    // Created without the layered style even when translucent: see WindowCreated.
    if (topmostStyle_) params.exStyle |= WS_EX_TOPMOST;
    // A first guess at the frame: WindowCreated measures it.
    RECT r{0, 0, Scale(clientWidth), Scale(clientHeight)};
    AdjustWindowRectEx(&r, params.style, FALSE, params.exStyle);
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
    params.width = width_;
    params.height = height_;
    if (placed_) {
        params.x = left_;
        params.y = top_;
    } else if (position == FormPosition::ScreenCenter) {
        params.x = (GetSystemMetrics(SM_CXSCREEN) - width_) / 2;
        params.y = (GetSystemMetrics(SM_CYSCREEN) - height_) / 2;
    } else {
        params.x = params.y = CW_USEDEFAULT;
    }
}

void Form::WindowCreated() {
    // Made on a monitor of another dpi than the system's: the layout follows the monitor's
    // before the controls get their windows.
    if (const int dpi = WindowDpi(Handle()); dpi != dpi_) {
        dpi_ = dpi;
        DpiChanged();
    }
    FitClientArea();
    RECT r;
    GetWindowRect(Handle(), &r);
    left_ = r.left;
    top_ = r.top;
    placed_ = true;
    ApplyLayeredAttributes();
}

// The frame is measured rather than computed: the system's computation for a dialog frame
// can be short of what it draws at high dpi.
void Form::FitClientArea() {
    RECT window, client;
    GetWindowRect(Handle(), &window);
    GetClientRect(Handle(), &client);
    width_ = window.right - window.left + Scale(clientWidth) - client.right;
    height_ = window.bottom - window.top + Scale(clientHeight) - client.bottom;
    if (client.right != Scale(clientWidth) || client.bottom != Scale(clientHeight))
        SetWindowPos(Handle(), nullptr, 0, 0, width_, height_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Moved to a monitor of another dpi, or its scale changed: the contents are laid out and
// drawn at the new dpi, and the window goes where the system suggests. The suggested size is
// the old one scaled as a whole, frame included, while a per-monitor v1 system leaves the
// frame as it was and fractional scales round it apart: the frame is measured, as at creation.
LRESULT Form::OnDpiChangedMessage(WPARAM wParam, LPARAM lParam) {
    dpi_ = LOWORD(wParam);
    DpiChanged();
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    SetBounds(suggested.left, suggested.top, suggested.right - suggested.left, suggested.bottom - suggested.top);
    FitClientArea();
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return 0;
}

void Form::SetBounds(int left, int top, int width, int height) {
    placed_ = true;
    Control::SetPixelBounds(left, top, width, height);
    if (HandleAllocated()) SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show() {
    activatedSinceShow_ = false;
    focused_ = nullptr;
    if (position == FormPosition::ScreenCenter && HandleAllocated()) {
        SetBounds((GetSystemMetrics(SM_CXSCREEN) - width_) / 2, (GetSystemMetrics(SM_CYSCREEN) - height_) / 2, width_,
                  height_);
    }
    visible_ = true;
    ShowWindow(Handle(), windowState == WindowState::Maximized ? SW_SHOWMAXIMIZED : SW_SHOW);
    SetForegroundWindow(Handle());
}

void Form::Hide() {
    visible_ = false;
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

void Form::Close() {
    // A failing close handler is reported, and the form closes all the same: the
    // user is never trapped in a window that cannot be closed.
    if (OnClose) {
        try {
            OnClose(*this);
        } catch (const std::exception& e) {
            App().ShowException(e);
        }
    }
    if (App().MainForm() == this) {
        Hide();
        App().Terminate();
    } else if (modalResult == mrNone) {
        modalResult = mrCancel;
    }
}

int Form::ShowModal() {
    modalResult = mrNone;
    // The main window is asked for its window again afterwards: a handler of the dialog
    // may have re-created it meanwhile.
    Form* owner = App().MainForm() != this ? App().MainForm() : nullptr;
    if (owner) EnableWindow(owner->Handle(), FALSE);
    Show();
    while (modalResult == mrNone && App().ProcessMessage()) {
    }
    if (owner) EnableWindow(owner->Handle(), TRUE);
    Hide();
    if (owner && IsWindowVisible(owner->Handle())) SetForegroundWindow(owner->Handle());
    if (App().Terminated()) PostQuitMessage(0);  // leave the quit message to the main loop
    return modalResult;
}

void Form::SetTopmostStyle(bool on) {
    if (on == topmostStyle_) return;
    topmostStyle_ = on;
    bool shown = HandleAllocated() && IsWindowVisible(Handle());
    RecreateWnd();
    if (shown) ShowWindow(Handle(), SW_SHOWNA);
}

void Form::SetAlphaBlend(bool on) {
    if (on == alphaBlend_) return;
    alphaBlend_ = on;
    ApplyLayeredAttributes();
}

void Form::SetAlphaBlendValue(BYTE value) {
    if (value == alphaBlendValue_) return;
    alphaBlendValue_ = value;
    ApplyLayeredAttributes();
}

void Form::ApplyLayeredAttributes() {
    const LayeredWindowApi& api = App().LayeredWindows();
    if (!api.setLayeredWindowAttributes || !HandleAllocated()) return;
    HWND hwnd = Handle();
    LONG style = api.getWindowLong(hwnd, GWL_EXSTYLE);
    if (alphaBlend_) {
        if (!(style & WS_EX_LAYERED)) api.setWindowLong(hwnd, GWL_EXSTYLE, style | WS_EX_LAYERED);
        api.setLayeredWindowAttributes(hwnd, 0, alphaBlendValue_, LWA_ALPHA);
    } else {
        api.setWindowLong(hwnd, GWL_EXSTYLE, style & ~WS_EX_LAYERED);
        api.redrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

void Form::PaintTo(HDC dc, const RECT& client) {
    UniqueBrush face(CreateSolidBrush(color_));
    FillRect(dc, &client, face.get());
    canvas_ = dc;
    struct ClearCanvas {
        HDC& canvas;
        ~ClearCanvas() { canvas = nullptr; }
    } clear{canvas_};
    if (OnPaint) OnPaint(*this);
    PaintGraphicChildren(dc);
}

LRESULT Form::OnPaintMessage(HDC target) {
    try {
        PaintWindow(target);
    } catch (const std::exception&) {
        // The paint was abandoned: with double buffering nothing reached the screen, without
        // it a part did, and the area is validated either way. The whole window is painted
        // again, by which time the failure has been reported and the paint passes over it.
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        throw;
    }
    return 0;
}

void Form::PaintWindow(HDC target) {
    RECT client;
    GetClientRect(Handle(), &client);
    std::optional<PaintDc> painting;
    if (!target) painting.emplace(Handle());
    HDC dc = target ? target : painting->get();
    if (!doubleBuffered_) {
        PaintTo(dc, client);
        return;
    }
    // Drawn off-screen and copied in one step: a failed paint leaves the screen as it was.
    HDC memory = offscreen_.Get(client.right, client.bottom);
    PaintTo(memory, client);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
}

LRESULT Form::OnSysCommand(WPARAM wParam, LPARAM lParam) {
    switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
            if (App().MainForm() == this) {
                App().Minimize();
                return 0;
            }
            break;
        case SC_CLOSE:
            Close();
            return 0;
        default:
            break;
    }
    return DefaultHandler(WM_SYSCOMMAND, wParam, lParam);
}

LRESULT Form::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam == 0 && HIWORD(wParam) <= 1) {
        int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            DialogCommand(id);
        } else if (popupMenu) {
            popupMenu->Click(id);
        }
        return 0;
    }
    return WinControl::WndProc(WM_COMMAND, wParam, lParam);
}

LRESULT Form::OnActivateMessage(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        focused_ = focus && IsChild(Handle(), focus) ? focus : nullptr;
        return WinControl::WndProc(WM_ACTIVATE, wParam, lParam);
    }
    // Once per showing: coming back from a message box or the help viewer keeps what the
    // user has changed meanwhile.
    if (!activatedSinceShow_) {
        activatedSinceShow_ = true;
        if (OnActivate) OnActivate(*this);
    }
    // As in a dialog, the focus goes back to where it was, or at a new showing to the first control.
    HWND focus = focused_;
    if (!focus || !IsChild(Handle(), focus) || !IsWindowVisible(focus) || !IsWindowEnabled(focus))
        focus = GetNextDlgTabItem(Handle(), nullptr, FALSE);
    if (!focus || IsIconic(Handle())) return WinControl::WndProc(WM_ACTIVATE, wParam, lParam);
    SetFocus(focus);
    return 0;
}

void Form::DialogCommand(int id) {
    if (App().MainForm() != this) modalResult = id == IDOK ? mrOk : mrCancel;
}

LRESULT Form::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;  // the paint fills the background itself
        case WM_PAINT:
            return OnPaintMessage(nullptr);
        case WM_PRINTCLIENT:
            return OnPaintMessage(reinterpret_cast<HDC>(wParam));
        case WM_CLOSE:
            Close();
            return 0;
        case WM_SYSCOMMAND:
            return OnSysCommand(wParam, lParam);
        case WM_COMMAND:
            return OnCommand(wParam, lParam);
        case WM_CONTEXTMENU:
            if (popupMenu) {
                POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                if (lParam == -1) GetCursorPos(&at);  // from the keyboard
                popupMenu->Popup(Handle(), at);
            }
            return 0;
        case WM_ACTIVATE:
            return OnActivateMessage(wParam, lParam);
        case WM_DPICHANGED:
            return OnDpiChangedMessage(wParam, lParam);
        case WM_MOVE: {
            RECT r;
            GetWindowRect(Handle(), &r);
            left_ = r.left;
            top_ = r.top;
            break;
        }
        default:
            break;
    }
    return WinControl::WndProc(msg, wParam, lParam);
}

}  // namespace brimview::ui
