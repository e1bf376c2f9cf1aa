#pragma once
// The application object: the taskbar entry with its title, the forms it owns, the
// message loop, and the error report for failures that escape a handler.
#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "platform/LayeredWindows.h"
#include "ui/Component.h"

namespace brimview::ui {

class Form;

// The application's help event: (command, data, call-default-help flag) -> result.
using HelpEvent = std::function<bool(WORD command, DWORD_PTR data, bool& callHelp)>;

// The root of the owner tree: every component reaches it through its owners (App()).
class Application : public Component {
public:
    // `layeredWindows` are the calls the forms' whole-window translucency makes.
    explicit Application(const LayeredWindowApi& layeredWindows);
    ~Application() override;

    // The hidden application window; its text is the taskbar entry's text.
    HWND Handle() const { return handle_; }
    const std::wstring& Title() const { return title_; }
    void SetTitle(const std::wstring& title);

    bool showMainForm = true;
    Event<Component&> OnMinimize;
    Event<Component&> OnRestore;
    HelpEvent OnHelp;

    // Creates a form owned by the application; the first one is the main form.
    template <class T, class... Args>
    T& CreateForm(Args&&... args) {
        T& form = Make<T>(std::forward<Args>(args)...);
        if (!mainForm_) mainForm_ = &form;
        form.FinishCreation();
        return form;
    }
    Form* MainForm() const { return mainForm_; }

    // Shows the main form as the start-up show command asks and runs the loop
    // until the quit message arrives.
    void Run(int showCommand);
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Takes and dispatches one message; false once the quit message arrived.
    bool ProcessMessage();

    void Minimize();
    void Restore();
    bool IsMinimized() const { return IsIconic(handle_) != FALSE; }

    // Wakes the window's thread from any thread: each call raises OnWake once from the message
    // loop. It only posts a message, so it never waits. Run raises OnWake once more before it
    // shows the main form.
    void Wake() const;
    Event<Component&> OnWake;
    // The shell has made the taskbar button, at start or again after it restarted: what the
    // button shows besides its text is set from then on.
    Event<Component&> OnTaskbarButtonCreated;

    // The error report: a stop box with the title as caption.
    void ShowException(const std::exception& error);
    void RequestHelp(WORD command, DWORD_PTR data);

    const LayeredWindowApi& LayeredWindows() const { return layeredWindows_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM kind);

    HWND handle_ = nullptr;
    UINT taskbarButtonCreated_ = RegisterWindowMessageW(L"TaskbarButtonCreated");
    std::wstring title_;
    Form* mainForm_ = nullptr;
    bool terminated_ = false;
    bool minimized_ = false;
    const LayeredWindowApi layeredWindows_;
};

// The object a window of one of the program's own classes was made for, handed over as the
// creation's parameter and kept with the window from then on; null for the messages before.
// A window procedure calls it with each message it gets.
void* WindowObject(HWND hwnd, UINT msg, LPARAM lParam);

// The error report: the message in a stop box with the given caption, a "." appended
// unless the message ends in a full stop of its own.
void ShowErrorReport(HWND owner, const std::wstring& caption, const std::exception& error);

// Runs the program; a failure that escapes it, outside every handler (creating a window
// or the timer while the windows are built), gets the error report with the caption and
// the exit code 1.
int RunReportingFailures(const std::wstring& caption, const std::function<int()>& program);

}  // namespace brimview::ui
