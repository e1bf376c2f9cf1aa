#pragma once
// Reads and dismisses the message boxes a test provokes: a thread watches for a dialog
// window of this process, records its caption and text, and presses OK.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brimview::test {

class MessageBoxWatcher {
public:
    MessageBoxWatcher() : thread_([this] { Watch(); }) {}
    ~MessageBoxWatcher() {
        stop_ = true;
        thread_.join();
    }
    // "caption|text" of every box seen so far.
    std::vector<std::wstring> Seen() {
        std::vector<std::wstring> copy;
        {
            std::lock_guard lock(mutex_);
            copy = seen_;
        }
        return copy;
    }

private:
    struct Found {
        HWND box = nullptr;
    };
    static BOOL CALLBACK FindBox(HWND hwnd, LPARAM param) {
        DWORD process = 0;
        GetWindowThreadProcessId(hwnd, &process);
        wchar_t cls[16] = L"";
        GetClassNameW(hwnd, cls, 16);
        if (process == GetCurrentProcessId() && std::wstring(cls) == L"#32770" && IsWindowVisible(hwnd)) {
            reinterpret_cast<Found*>(param)->box = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK CollectText(HWND child, LPARAM param) {
        wchar_t cls[16] = L"", text[512] = L"";
        GetClassNameW(child, cls, 16);
        GetWindowTextW(child, text, 512);
        if (std::wstring(cls) == L"Static" && text[0]) *reinterpret_cast<std::wstring*>(param) += text;
        return TRUE;
    }
    void Watch() {
        while (!stop_) {
            Found found;
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&found));
            if (found.box) {
                Sleep(300);  // a box shows its template's text until its text is set
                wchar_t caption[256] = L"";
                GetWindowTextW(found.box, caption, 256);
                std::wstring text;
                EnumChildWindows(found.box, CollectText, reinterpret_cast<LPARAM>(&text));
                {
                    std::lock_guard lock(mutex_);
                    seen_.push_back(std::wstring(caption) + L"|" + text);
                }
                PostMessageW(found.box, WM_COMMAND, IDOK, 0);
                Sleep(300);  // the box closes before the next look
            }
            Sleep(50);
        }
    }

    std::atomic<bool> stop_ = false;
    std::mutex mutex_;
    std::vector<std::wstring> seen_;
    std::thread thread_;
};

}  // namespace brimview::test
