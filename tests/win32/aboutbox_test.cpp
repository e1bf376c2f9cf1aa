// The About box on real windows under Wine: its texts, set once at creation from the
// application title and this program's own version record, and its OK button.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "help/About.h"
#include "platform/Win32FileStore.h"
#include "resources/resource.h"
#include "TestApplication.h"
#include "ui/Text.h"

namespace brimview {
namespace {

const Win32FileStore files;

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)), L'\0');
    GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()) + 1);
    return text;
}

// Puts the application title back when a test ends: the tests share one application.
struct TitleScope {
    std::wstring previous = test::App().Title();
    ~TitleScope() { test::App().SetTitle(previous); }
};

TEST(AboutBox, CaptionAndLabelsFromTheTitleAndTheOwnVersionRecord) {
    TitleScope scope;
    // The tests carry the program's resource script, so their version record is the program's.
    const std::wstring version = L"Version: " + ui::AnsiToWide(BRIMVIEW_FILEVERSION_TEXT);
    for (const wchar_t* title : {L"Brimview", L"ドライブ容量"}) {
        test::App().SetTitle(title);
        TAboutBox box(&test::App(), files);
        box.FinishCreation();
        const std::wstring caption = std::wstring(title) + L" のバージョン情報";
        EXPECT_EQ(WindowText(box.Handle()), caption);
        EXPECT_EQ(box.ProductName->Caption(), title);
        EXPECT_EQ(box.Version->Caption(), version);

        // The texts are those of the moment of creation.
        test::App().SetTitle(L"later");
        EXPECT_EQ(WindowText(box.Handle()), caption);
        EXPECT_EQ(box.ProductName->Caption(), title);
    }
}

std::function<void()> pendingAction;

void CALLBACK RunPendingAction(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    pendingAction();
}

// Ends a modal loop that a press failed to end, so that the test fails instead of hanging.
void CALLBACK CancelActiveWindow(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostMessageW(GetActiveWindow(), WM_COMMAND, IDCANCEL, 0);
}

TEST(AboutBox, OkButtonAndEnterCloseTheBoxWithOk) {
    TAboutBox box(&test::App(), files);
    box.FinishCreation();
    HWND okButton = FindWindowExW(box.Handle(), nullptr, L"Button", L"OK");
    ASSERT_NE(okButton, nullptr);
    struct Case {
        const char* name;
        std::function<void()> press;
    };
    const Case cases[] = {
        {"click", [&] { SendMessageW(okButton, BM_CLICK, 0, 0); }},
        {"Enter",
         [&] {
             EXPECT_EQ(GetFocus(), okButton) << "the box opens with the focus on OK";
             INPUT keys[2] = {};
             keys[0].type = keys[1].type = INPUT_KEYBOARD;
             keys[0].ki.wVk = keys[1].ki.wVk = VK_RETURN;
             keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
             EXPECT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
         }},
    };
    for (const Case& c : cases) {
        pendingAction = c.press;
        SetTimer(nullptr, 0, 200, RunPendingAction);
        const UINT_PTR guard = SetTimer(nullptr, 0, 5000, CancelActiveWindow);
        EXPECT_EQ(box.ShowModal(), ui::mrOk) << c.name;
        KillTimer(nullptr, guard);
        EXPECT_FALSE(IsWindowVisible(box.Handle())) << c.name;
    }
}

}  // namespace
}  // namespace brimview
