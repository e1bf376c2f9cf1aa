// Drives a running Brimview from outside, as a user or the shell would, and prints
// what it sees (UTF-8, one line per command).
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr char kUsage[] =
    "usage: driver wait|state|close|command N|minimize|restore|count|messagebox [s]|drives|titles N [s]|ping s"
    "|window CLASS [s]|gone CLASS [s]|controls CLASS|settext CLASS CHILDCLASS TEXT|click CLASS CAPTION"
    "|tab CLASS N|focus CLASS TABS|key CLASS CODE|hold FILE SECONDS|layout CLASS|clickat CLASS X "
    "Y|closes|runvalue|signin";

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[512] = L"";
    GetWindowTextW(hwnd, text, 512);
    return text;
}

// A control's own text: an edit field keeps it to itself, so ask the control.
std::wstring ControlText(HWND hwnd) {
    wchar_t text[512] = L"";
    DWORD_PTR unused;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &unused);
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = L"";
    GetClassNameW(hwnd, name, 64);
    return name;
}

std::vector<HWND> WindowsOfClass(const wchar_t* className) {
    std::vector<HWND> found;
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(nullptr, hwnd, className, nullptr))) found.push_back(hwnd);
    return found;
}

HWND MainForm() {
    auto forms = WindowsOfClass(L"TForm1");
    return forms.empty() ? nullptr : forms.front();
}

HWND VisibleWindowOfClass(const wchar_t* className) {
    for (HWND hwnd : WindowsOfClass(className))
        if (IsWindowVisible(hwnd)) return hwnd;
    return nullptr;
}

// A message box of the program: a dialog captioned "Brimview" (or the title in force).
HWND FindMessageBox() {
    return VisibleWindowOfClass(L"#32770");
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

// Every window inside the given one, depth first.
std::vector<HWND> Descendants(HWND hwnd) {
    std::vector<HWND> children;
    EnumChildWindows(hwnd, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND FindDescendant(HWND hwnd, const std::wstring& className, const std::wstring* text = nullptr) {
    for (HWND child : Descendants(hwnd))
        if (ClassOf(child) == className && (!text || TextOf(child) == *text)) return child;
    return nullptr;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    for (HWND child : Descendants(box))
        if (ClassOf(child) == L"Static") text += TextOf(child);
    return text;
}

// Polls the condition until it holds or the time is up.
template <class Condition>
bool WaitUntil(double seconds, Condition holds) {
    for (int tries = static_cast<int>(seconds * 10); tries >= 0; --tries) {
        if (holds()) return true;
        Sleep(100);
    }
    return false;
}

int Fail(const char* why) {
    std::printf("error: %s\n", why);
    return 2;
}

// The program's sign-in value, as the registry holds it; empty when there is none.
std::wstring RunValue() {
    wchar_t value[2048] = L"";
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Brimview",
                     RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

// Starts the sign-in value's command line as it stands, with the system folder current, as
// Windows starts it at sign-in.
int SignIn() {
    std::wstring command = RunValue();
    if (command.empty()) return Fail("no sign-in value");
    wchar_t system[MAX_PATH] = L"";
    GetSystemDirectoryW(system, MAX_PATH);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, system, &startup, &process))
        return Fail("the command did not start");
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::printf("%s in %s\n", Utf8(command).c_str(), Utf8(system).c_str());
    return 0;
}

// Prints every change of the application window's text, the taskbar entry's text, with
// the milliseconds since the start, until `changes` were seen or the time is up. Each line
// is flushed at once: the shell acts on them while this runs.
int WatchTitles(HWND application, int changes, double seconds) {
    const DWORD start = GetTickCount();
    std::wstring title = TextOf(application);
    std::printf("watching %s\n", Utf8(title).c_str());
    std::fflush(stdout);
    while (changes > 0 && GetTickCount() - start < seconds * 1000) {
        Sleep(20);
        std::wstring now = TextOf(application);
        if (now == title) continue;
        title = now;
        --changes;
        std::printf("%lu %s\n", GetTickCount() - start, Utf8(title).c_str());
        std::fflush(stdout);
    }
    return changes > 0 ? Fail("too few changes") : 0;
}

// Sends WM_NULL to the window every 50 ms for the given time, as a watchdog asking whether the
// program still answers, and prints how many answers came within 250 ms and the longest wait,
// then the time and wait of each late one.
int Ping(HWND window, double seconds) {
    LARGE_INTEGER frequency, start, before, after;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const auto elapsed = [&frequency](const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
        return (to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
    };
    int sent = 0, prompt = 0;
    double longest = 0;
    std::string late;
    do {
        DWORD_PTR unused;
        QueryPerformanceCounter(&before);
        const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &unused) != 0;
        QueryPerformanceCounter(&after);
        const double wait = answered ? elapsed(before, after) : 10000;
        ++sent;
        prompt += wait < 250;
        if (wait >= 250)
            late += " at " + std::to_string(static_cast<int>(elapsed(start, before))) +
                    " ms: " + std::to_string(static_cast<int>(wait)) + " ms;";
        if (wait > longest) longest = wait;
        Sleep(50);
    } while (elapsed(start, after) < seconds * 1000);
    std::printf("answered %d of %d within 250 ms, longest %.0f ms%s\n", prompt, sent, longest, late.c_str());
    return 0;
}

// Prints the window's client size, then each window inside it, depth first, as its class,
// its rectangle in its parent's client area and its font's character height. The pages of
// a tab control have "tab-page:" before their class: they lie over the display area the
// system makes for the tabs, whose height it rounds its own way.
int PrintLayout(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    std::printf("client 0 0 %ld %ld 0\n", client.right, client.bottom);
    for (HWND child : Descendants(window)) {
        if (ClassOf(GetParent(child)) == WC_TABCONTROLW) std::printf("tab-page:");
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
        LOGFONTW font{};
        auto handle = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
        if (handle) GetObjectW(handle, sizeof font, &font);
        std::printf("%s %ld %ld %ld %ld %ld\n", Utf8(ClassOf(child)).c_str(), r.left, r.top, r.right - r.left,
                    r.bottom - r.top, font.lfHeight < 0 ? -font.lfHeight : font.lfHeight);
    }
    return 0;
}

// Selects a page of a tab control as the keyboard does, so the control tells its parent.
bool SelectTab(HWND tabs, int page) {
    for (int step = 0; step < 16; ++step) {
        int current = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        if (current == page) return true;
        SendMessageW(tabs, WM_KEYDOWN, current < page ? VK_RIGHT : VK_LEFT, 0);
    }
    return false;
}

// The control that has the keyboard focus in the thread of the window.
HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Presses a key as the keyboard would: down and up, to the control that has the focus.
void PressKey(HWND window, WPARAM key) {
    HWND focus = FocusOf(window);
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
}

// Prints the control that has the focus as class|text, then presses Tab so many times and
// prints it after each; every press must move the focus.
int WalkFocus(HWND window, int tabs) {
    HWND focus = FocusOf(window);
    std::printf("%s|%s\n", Utf8(ClassOf(focus)).c_str(), Utf8(ControlText(focus)).c_str());
    for (int i = 0; i < tabs; ++i) {
        PressKey(window, VK_TAB);
        HWND before = focus;
        if (!WaitUntil(2, [&] { return (focus = FocusOf(window)) != before; })) return Fail("the focus stayed");
        std::printf("%s|%s\n", Utf8(ClassOf(focus)).c_str(), Utf8(ControlText(focus)).c_str());
    }
    return 0;
}

// Holds the file open without sharing for the given time, as another program that locks it
// would, while the main window is made to repaint every 250 ms. Each error box that comes is
// read and answered at once, which gives the program every chance to show the next one.
// Prints how many came, then their texts, one per line.
int HoldAndRepaint(HWND form, const wchar_t* path, double seconds) {
    HANDLE file = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail("cannot open the file");
    std::vector<std::string> boxes;
    HWND answered = nullptr;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < seconds * 1000) {
        RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        Sleep(250);
        HWND box = FindMessageBox();
        if (!box || box == answered) continue;
        Sleep(300);  // a box shows its template's text until its text is set
        boxes.push_back(Utf8(TextOf(box)) + "|" + Utf8(MessageBoxText(box)));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        answered = box;
    }
    CloseHandle(file);
    std::printf("%zu\n", boxes.size());
    for (const std::string& box : boxes) std::printf("%s\n", box.c_str());
    return 0;
}

// For each line read, waits for a main window other than the one closed last, asks it to
// close and says so at once: one driver for many copies started one after another, so that
// the caller learns within a moment when the close begins.
int CloseEach() {
    HWND closed = nullptr;
    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
        HWND form = nullptr;
        if (!WaitUntil(60, [&] { return (form = MainForm()) && form != closed && IsWindowVisible(form); }))
            return Fail("nothing appeared");
        PostMessageW(form, WM_CLOSE, 0, 0);
        closed = form;
        std::printf("closing\n");
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Fail(kUsage);
    std::wstring verb = argv[1];
    double seconds = argc > 2 ? _wtof(argv[2]) : 10;

    if (verb == L"count") {
        std::printf("%zu\n", WindowsOfClass(L"TForm1").size());
        return 0;
    }
    if (verb == L"closes") return CloseEach();
    if (verb == L"signin") return SignIn();
    if (verb == L"runvalue") {
        std::printf("%s\n", Utf8(RunValue()).c_str());
        return 0;
    }
    if (verb == L"wait") {
        // Started: the main window shown, or the application minimised to its taskbar entry.
        bool started = WaitUntil(seconds, [] {
            HWND form = MainForm();
            return form && (IsWindowVisible(form) || IsIconic(GetWindow(form, GW_OWNER)));
        });
        if (!started) return Fail("nothing appeared");
        Sleep(300);  // let the first paint finish
        std::printf("ok\n");
        return 0;
    }
    if (verb == L"messagebox") {
        HWND box = nullptr;
        if (!WaitUntil(seconds, [&] { return (box = FindMessageBox()) != nullptr; })) return Fail("nothing appeared");
        Sleep(300);  // a box shows its template's text until its text is set
        std::printf("%s|%s\n", Utf8(TextOf(box)).c_str(), Utf8(MessageBoxText(box)).c_str());
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    if ((verb == L"window" || verb == L"gone") && argc > 2) {
        const wchar_t* className = argv[2];
        seconds = argc > 3 ? _wtof(argv[3]) : 10;
        if (verb == L"gone") {
            if (!WaitUntil(seconds, [&] { return !VisibleWindowOfClass(className); })) return Fail("still shown");
            std::printf("ok\n");
            return 0;
        }
        HWND hwnd = nullptr;
        if (!WaitUntil(seconds, [&] { return (hwnd = VisibleWindowOfClass(className)) != nullptr; }))
            return Fail("nothing appeared");
        // Whatever is still to be painted is painted now; then the screen catches up.
        RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(300);
        RECT r;
        GetWindowRect(hwnd, &r);
        POINT client{0, 0};
        ClientToScreen(hwnd, &client);
        std::printf("left=%ld top=%ld width=%ld height=%ld client=%ld,%ld caption=%s\n", r.left, r.top,
                    r.right - r.left, r.bottom - r.top, client.x, client.y, Utf8(TextOf(hwnd)).c_str());
        return 0;
    }
    if ((verb == L"controls" || verb == L"settext" || verb == L"click" || verb == L"tab" || verb == L"focus" ||
         verb == L"key" || verb == L"layout" || verb == L"clickat") &&
        argc > 2) {
        HWND window = VisibleWindowOfClass(argv[2]);
        if (!window) return Fail("no such window shown");
        if (verb == L"focus") return WalkFocus(window, argc > 3 ? _wtoi(argv[3]) : 0);
        if (verb == L"layout") return PrintLayout(window);
        if (verb == L"clickat" && argc > 4) {
            // A click of the left button at that point of the client area, as the mouse makes it.
            const LPARAM at = MAKELPARAM(_wtoi(argv[3]), _wtoi(argv[4]));
            PostMessageW(window, WM_MOUSEMOVE, 0, at);
            PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(window, WM_LBUTTONUP, 0, at);
            std::printf("ok\n");
            return 0;
        }
        if (verb == L"controls") {
            // class|text|visible|checked, one line per control
            for (HWND child : Descendants(window)) {
                LRESULT checked = ClassOf(child) == L"Button" ? SendMessageW(child, BM_GETCHECK, 0, 0) : 0;
                std::printf("%s|%s|%d|%d\n", Utf8(ClassOf(child)).c_str(), Utf8(ControlText(child)).c_str(),
                            IsWindowVisible(child) ? 1 : 0, checked == BST_CHECKED ? 1 : 0);
            }
            return 0;
        }
        if (verb == L"settext" && argc > 4) {
            HWND field = FindDescendant(window, argv[3]);
            if (!field) return Fail("no such control");
            SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
        } else if (verb == L"click" && argc > 3) {
            const std::wstring caption = argv[3];
            HWND button = FindDescendant(window, L"Button", &caption);
            if (!button) return Fail("no such button");
            // A click as the mouse makes it; a handler may open a modal box, so do not wait on it for long.
            DWORD_PTR unused;
            SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &unused);
        } else if (verb == L"key" && argc > 3) {
            PressKey(window, static_cast<WPARAM>(_wtoi(argv[3])));
        } else if (verb == L"tab" && argc > 3) {
            HWND tabs = FindDescendant(window, WC_TABCONTROLW);
            if (!tabs || !SelectTab(tabs, _wtoi(argv[3]))) return Fail("no such page");
        } else {
            return Fail(kUsage);
        }
        std::printf("ok\n");
        return 0;
    }

    HWND form = MainForm();
    if (!form) return Fail("no main window");
    HWND application = GetWindow(form, GW_OWNER);
    if (verb == L"state") {
        RECT r;
        GetWindowRect(form, &r);
        bool topmost = GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_TOPMOST;
        // The bar's state (1 normal, 2 error; Wine answers 1 always) and colour (ff000000: the
        // default; 0000ff: red).
        HWND bar = FindDescendant(form, PROGRESS_CLASSW);
        int barState = bar ? static_cast<int>(SendMessageW(bar, PBM_GETSTATE, 0, 0)) : 0;
        auto barColor = bar ? static_cast<unsigned long>(SendMessageW(bar, PBM_GETBARCOLOR, 0, 0)) : 0ul;
        std::printf("visible=%d iconic=%d left=%ld top=%ld topmost=%d hwnd=%p bar=%d barcolor=%06lx title=%s\n",
                    IsWindowVisible(form) ? 1 : 0, IsIconic(application) ? 1 : 0, r.left, r.top, topmost ? 1 : 0,
                    static_cast<void*>(form), barState, barColor, Utf8(TextOf(application)).c_str());
    } else if (verb == L"drives") {
        // The drive list's entries, the selected one marked with "*".
        HWND combo = FindDescendant(form, WC_COMBOBOXW);
        if (!combo) return Fail("no drive list");
        int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        int selected = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[256] = L"";
            if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 256)
                SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            std::printf("%s%s\n", i == selected ? "*" : "", Utf8(text).c_str());
        }
        return 0;
    } else if (verb == L"ping" && argc > 2) {
        return Ping(form, seconds);
    } else if (verb == L"hold" && argc > 3) {
        return HoldAndRepaint(form, argv[2], _wtof(argv[3]));
    } else if (verb == L"titles" && argc > 2) {
        return WatchTitles(application, _wtoi(argv[2]), argc > 3 ? _wtof(argv[3]) : 60);
    } else if (verb == L"close") {
        PostMessageW(form, WM_CLOSE, 0, 0);
    } else if (verb == L"command" && argc > 2) {
        PostMessageW(form, WM_COMMAND, static_cast<WPARAM>(_wtoi(argv[2])), 0);
    } else if (verb == L"minimize") {
        PostMessageW(form, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (verb == L"restore") {
        PostMessageW(application, WM_SYSCOMMAND, SC_RESTORE, 0);
    } else {
        return Fail(kUsage);
    }
    std::printf("ok\n");
    return 0;
}
