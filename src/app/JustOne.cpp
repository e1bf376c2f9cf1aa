#include "app/JustOne.h"

#include <string>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Text.h"

namespace brimview {
namespace {

struct Search {
    std::wstring title;
    std::wstring formClass;
    HWND found = nullptr;
};

// The running copy's main window: a window of the main form's class whose caption is
// the title, in another process. Its caption stays the title while the taskbar text
// changes, and this copy's own hidden main window is passed over.
BOOL CALLBACK FindRunningCopy(HWND hwnd, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId()) return TRUE;
    wchar_t text[256];
    GetClassNameW(hwnd, text, 256);
    if (search.formClass != text) return TRUE;
    GetWindowTextW(hwnd, text, 256);
    if (search.title != text) return TRUE;
    search.found = hwnd;
    return FALSE;
}

void BringForward(HWND mainForm) {
    HWND application = GetWindow(mainForm, GW_OWNER);
    if (application && IsIconic(application))
        ShowWindow(application, SW_RESTORE);
    else
        BringWindowToTop(mainForm);
    SetForegroundWindow(mainForm);
}

}  // namespace

void TXJustOne::Loaded() {
    std::string name = ui::WideToAnsi(App().Title()).substr(0, 255);
    SingleInstanceMutex.reset(CreateMutexA(nullptr, FALSE, name.c_str()));
    if (GetLastError() != ERROR_ALREADY_EXISTS && SingleInstanceMutex) return;

    gaveWay_ = true;
    if (AlreadyExist) AlreadyExist(*this);
    if (SwitchToPrevious) {
        SetWindowTextW(App().Handle(), L"");
        wchar_t formClass[256] = L"";
        if (App().MainForm()) GetClassNameW(App().MainForm()->Handle(), formClass, 256);
        Search search{App().Title(), formClass};
        EnumWindows(FindRunningCopy, reinterpret_cast<LPARAM>(&search));
        if (search.found) BringForward(search.found);
    }
    App().showMainForm = false;
    App().Terminate();
}

}  // namespace brimview
