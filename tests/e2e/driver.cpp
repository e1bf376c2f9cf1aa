// Drives a running Brimview from outside, as a user or the shell would, and prints
// what it sees (UTF-8, one line per command).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

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

// A message box of the program: a dialog captioned "Brimview" (or the title in force).
HWND FindMessageBox() {
    for (HWND box : WindowsOfClass(L"#32770"))
        if (IsWindowVisible(box)) return box;
    return nullptr;
}

BOOL CALLBACK AppendStaticText(HWND child, LPARAM param) {
    wchar_t cls[64];
    GetClassNameW(child, cls, 64);
    if (std::wstring(cls) == L"Static" && GetWindowTextLengthW(child) > 0)
        *reinterpret_cast<std::wstring*>(param) += TextOf(child);
    return TRUE;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, AppendStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

int Fail(const char* why) {
    std::printf("error: %s\n", why);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Fail("usage: driver wait|state|close|command N|minimize|restore|count|messagebox [s]");
    std::wstring verb = argv[1];
    double seconds = argc > 2 ? _wtof(argv[2]) : 10;

    if (verb == L"count") {
        std::printf("%zu\n", WindowsOfClass(L"TForm1").size());
        return 0;
    }
    if (verb == L"wait" || verb == L"messagebox") {
        for (int tries = static_cast<int>(seconds * 10); tries >= 0; --tries) {
            // Started: the main window shown, or the application minimised to its taskbar entry.
            HWND form = MainForm();
            if (verb == L"wait" && form && (IsWindowVisible(form) || IsIconic(GetWindow(form, GW_OWNER)))) {
                Sleep(300);  // let the first paint finish
                std::printf("ok\n");
                return 0;
            }
            if (HWND box = verb == L"messagebox" ? FindMessageBox() : nullptr) {
                Sleep(300);  // a box shows its template's text until its text is set
                std::printf("%s|%s\n", Utf8(TextOf(box)).c_str(), Utf8(MessageBoxText(box)).c_str());
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return 0;
            }
            Sleep(100);
        }
        return Fail("nothing appeared");
    }

    HWND form = MainForm();
    if (!form) return Fail("no main window");
    HWND application = GetWindow(form, GW_OWNER);
    if (verb == L"state") {
        RECT r;
        GetWindowRect(form, &r);
        std::printf("visible=%d iconic=%d left=%ld top=%ld title=%s\n", IsWindowVisible(form) ? 1 : 0,
                    IsIconic(application) ? 1 : 0, r.left, r.top, Utf8(TextOf(application)).c_str());
    } else if (verb == L"close") {
        PostMessageW(form, WM_CLOSE, 0, 0);
    } else if (verb == L"command" && argc > 2) {
        PostMessageW(form, WM_COMMAND, static_cast<WPARAM>(_wtoi(argv[2])), 0);
    } else if (verb == L"minimize") {
        PostMessageW(form, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (verb == L"restore") {
        PostMessageW(application, WM_SYSCOMMAND, SC_RESTORE, 0);
    } else {
        return Fail("unknown command");
    }
    std::printf("ok\n");
    return 0;
}
