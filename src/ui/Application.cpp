#include "ui/Application.h"

#include <commctrl.h>

#include "platform/AppError.h"
#include "ui/Form.h"
#include "ui/Text.h"

namespace brimview::ui {
namespace {

constexpr wchar_t kClassName[] = L"TApplication";
constexpr UINT kWakeMessage = WM_APP;

}  // namespace

Application::Application(const LayeredWindowApi& layeredWindows) : Component(this), layeredWindows_(layeredWindows) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(wc.hInstance, L"MAINICON");
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    // A zero-sized window in the middle of the screen: it carries the taskbar entry
    // while the forms it owns carry none.
    int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    handle_ = CreateWindowExW(0, kClassName, L"", WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              x, y, 0, 0, nullptr, nullptr, wc.hInstance, this);
}

Application::~Application() {
    // The forms go first, while the application window still owns them.
    DestroyComponents();
    mainForm_ = nullptr;
    DestroyWindow(handle_);
}

void Application::SetTitle(const std::wstring& title) {
    if (title == title_) return;
    title_ = title;
    SetWindowTextW(handle_, title_.c_str());
}

void Application::Terminate() {
    if (!terminated_) PostQuitMessage(0);
}

bool Application::ProcessMessage() {
    MSG msg;
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
        terminated_ = true;
        return false;
    }
    // Tab, the arrows, Enter, Esc and the access keys move between and press the controls of
    // the active form; its controls see the keys first.
    HWND active = GetActiveWindow();
    if (WinControl* form = active ? WinControl::FromHandle(active) : nullptr) {
        if (msg.message == WM_KEYDOWN && IsChild(active, msg.hwnd) && form->DialogKey(msg)) return true;
        if (IsDialogMessageW(active, &msg)) return true;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void Application::Run(int showCommand) {
    // Answers that came in while the windows were built are shown before the windows are:
    // the first paint has them, and nothing is drawn twice. The wake is sent, so that a failing
    // handler is reported as from the loop; the wake messages still queued find nothing left.
    // (Taking those out instead would take a quit message too.)
    SendMessageW(handle_, kWakeMessage, 0, 0);
    if (mainForm_) {
        if (showCommand == SW_SHOWMINNOACTIVE) mainForm_->windowState = WindowState::Minimized;
        if (showCommand == SW_SHOWMAXIMIZED) mainForm_->windowState = WindowState::Maximized;
        if (showMainForm) {
            if (mainForm_->windowState == WindowState::Minimized) {
                ShowWindow(handle_, SW_SHOWMINNOACTIVE);
            } else {
                ShowWindow(handle_, SW_SHOWNOACTIVATE);
                mainForm_->Show();
            }
        }
    }
    while (ProcessMessage()) {
    }
}

void Application::Minimize() {
    if (!IsIconic(handle_)) ShowWindow(handle_, SW_MINIMIZE);
}

void Application::Restore() {
    if (IsIconic(handle_)) ShowWindow(handle_, SW_RESTORE);
}

LRESULT Application::OnSize(WPARAM kind) {
    if (kind == SIZE_MINIMIZED && !minimized_) {
        minimized_ = true;
        if (mainForm_) ShowWindow(mainForm_->Handle(), SW_HIDE);
        OnMinimize(*this);
    } else if (kind == SIZE_RESTORED && minimized_) {
        minimized_ = false;
        if (mainForm_) {
            mainForm_->windowState = WindowState::Normal;
            mainForm_->Show();
            SetForegroundWindow(mainForm_->Handle());
        }
        OnRestore(*this);
    }
    return 0;
}

void Application::Wake() const {
    PostMessageW(handle_, kWakeMessage, 0, 0);
}

void Application::ShowException(const std::exception& error) {
    HWND owner = mainForm_ && mainForm_->HandleAllocated() && IsWindowVisible(mainForm_->Handle()) ? mainForm_->Handle()
                                                                                                   : nullptr;
    ShowErrorReport(owner, title_, error);
}

void* WindowObject(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<void*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void ShowErrorReport(HWND owner, const std::wstring& caption, const std::exception& error) {
    const std::wstring text = Widen(ErrorReportText(error.what()));
    MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
}

int RunReportingFailures(const std::wstring& caption, const std::function<int()>& program) {
    try {
        return program();
    } catch (const std::exception& e) {
        ShowErrorReport(nullptr, caption, e);
        return 1;
    }
}

void Application::RequestHelp(WORD command, DWORD_PTR data) {
    bool callHelp = true;
    if (OnHelp) OnHelp(command, data, callHelp);
}

LRESULT CALLBACK Application::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* app = static_cast<Application*>(WindowObject(hwnd, msg, lParam));
    if (!app) return DefWindowProcW(hwnd, msg, wParam, lParam);
    try {
        switch (msg) {
            case WM_SIZE:
                return app->OnSize(wParam);
            case WM_CLOSE:
                if (app->mainForm_) app->mainForm_->Close();
                return 0;
            case kWakeMessage:
                app->OnWake(*app);
                return 0;
            case WM_SETFOCUS:
                if (app->mainForm_ && IsWindowVisible(app->mainForm_->Handle())) SetFocus(app->mainForm_->Handle());
                return 0;
            default:
                if (msg == app->taskbarButtonCreated_ && msg != 0) app->OnTaskbarButtonCreated(*app);
                break;
        }
    } catch (const std::exception& e) {
        app->ShowException(e);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace brimview::ui
