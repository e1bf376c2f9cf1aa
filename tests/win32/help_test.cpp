// The help component against a recording viewer and against the real one, and the About
// box's operations on the system.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/WideText.h"
#include "help/About.h"
#include "help/HtmlHelp.h"
#include "platform/Win32FileStore.h"
#include "resources/resource.h"
#include "TestApplication.h"

namespace brimview {
namespace {

constexpr DWORD kNoCookie = static_cast<DWORD>(-1);

std::string ExecutablePath() {
    return Win32FileStore().ExecutablePath();
}

// The help file the component looks for: the test program's own path with ".chm".
std::string OwnHelpFile() {
    const std::string exe = ExecutablePath();
    return exe.substr(0, exe.size() - 4) + ".chm";
}

// The help file the build compiles: <build>\help\brimview.chm, this program being
// <build>\tests\win32\win32_tests.exe.
std::string BuiltHelpFile() {
    const std::string exe = ExecutablePath();
    return exe.substr(0, exe.rfind('\\')) + "\\..\\..\\help\\brimview.chm";
}

enum class Caller { Desktop, Active };
enum class File { None, Help, Popups };

// One call as the viewer received it; the data of the records passed by address is left out.
struct ViewerCall {
    HWND caller;
    bool hasFile;
    std::string file;
    UINT command;
    DWORD_PTR data;
};

// Stands in for HtmlHelpA and records what it is asked.
struct RecordingViewer {
    DWORD cookie = 0x2A;         // handed out by HH_INITIALIZE; kNoCookie hands out nothing, as Wine's viewer
    HWND topicWindow = nullptr;  // what the topic calls return
    HRESULT errorCode = S_OK;    // the last-error record's code
    const wchar_t* errorText = nullptr;

    std::vector<ViewerCall> calls;
    std::vector<HH_POPUP> popups;
    std::vector<int> errorRecordSizes;

    HtmlHelpFunction Function() {
        return [this](HWND caller, LPCWSTR file, UINT command, DWORD_PTR data) -> HWND {
            const bool byAddress =
                command == HH_INITIALIZE || command == HH_GET_LAST_ERROR || command == HH_DISPLAY_TEXT_POPUP;
            calls.push_back({caller, file != nullptr, file ? Narrow(file) : "", command, byAddress ? 0 : data});
            switch (command) {
                case HH_INITIALIZE:
                    if (cookie != kNoCookie) *reinterpret_cast<DWORD*>(data) = cookie;
                    return nullptr;
                case HH_GET_LAST_ERROR: {
                    auto& record = *reinterpret_cast<HhLastError*>(data);
                    errorRecordSizes.push_back(record.cbStruct);
                    record.hr = errorCode;
                    record.description = errorText ? SysAllocString(errorText) : nullptr;
                    return nullptr;
                }
                case HH_DISPLAY_TEXT_POPUP:
                    popups.push_back(*reinterpret_cast<const HH_POPUP*>(data));
                    return nullptr;
                case HH_HELP_CONTEXT:
                case HH_DISPLAY_TOPIC:
                    return topicWindow;
                default:
                    return nullptr;
            }
        };
    }
};

// Message boxes of this thread, read and dismissed from a thread of their own while the
// request that shows them waits.
class BoxWatcher {
public:
    struct Box {
        std::wstring caption;
        std::wstring text;
        bool errorIcon;
    };

    BoxWatcher() : uiThread_(GetCurrentThreadId()), thread_([this] { Watch(); }) {}
    ~BoxWatcher() { Stop(); }

    std::vector<Box> Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return boxes_;
    }

private:
    void Watch() {
        while (!stop_) {
            EnumThreadWindows(uiThread_, FoundWindow, reinterpret_cast<LPARAM>(this));
            Sleep(50);
        }
    }

    static BOOL CALLBACK FoundWindow(HWND window, LPARAM self) {
        wchar_t className[32] = {};
        GetClassNameW(window, className, 32);
        if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
        auto& watcher = *reinterpret_cast<BoxWatcher*>(self);
        Box box{Text(window), {}, false};
        EnumChildWindows(window, FoundChild, reinterpret_cast<LPARAM>(&box));
        watcher.boxes_.push_back(box);
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 100 && IsWindow(window); ++i) Sleep(20);
        return TRUE;
    }

    static BOOL CALLBACK FoundChild(HWND child, LPARAM boxAddress) {
        auto& box = *reinterpret_cast<Box*>(boxAddress);
        wchar_t className[32] = {};
        GetClassNameW(child, className, 32);
        if (std::wstring(className) != L"Static") return TRUE;
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            box.errorIcon = icon == LoadIconW(nullptr, IDI_ERROR);
        } else if (const std::wstring text = Text(child); !text.empty()) {
            box.text = text;
        }
        return TRUE;
    }

    static std::wstring Text(HWND window) {
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        return text;
    }

    DWORD uiThread_;
    std::atomic<bool> stop_{false};
    std::vector<Box> boxes_;
    std::thread thread_;
};

class HtmlHelpTest : public testing::Test {
protected:
    void SetUp() override {
        savedTitle_ = test::App().Title();
        test::App().SetTitle(L"Brimview");
        DeleteFileA(OwnHelpFile().c_str());
    }
    void TearDown() override {
        DeleteFileA(OwnHelpFile().c_str());
        test::App().SetTitle(savedTitle_);
    }

    // Asks through the application's help event, as the program's handlers do.
    static bool Request(WORD command, DWORD_PTR data) {
        bool callHelp = true;
        if (test::App().OnHelp) test::App().OnHelp(command, data, callHelp);
        return callHelp;
    }

    Win32FileStore files_;

private:
    std::wstring savedTitle_;
};

TEST_F(HtmlHelpTest, CommandsReachTheViewerAsRouted) {
    struct Expected {
        Caller caller;
        File file;
        UINT command;
        DWORD_PTR data;
    };
    struct Case {
        WORD command;
        DWORD_PTR data;
        bool opensWindow;
        std::vector<Expected> calls;  // after the initialisation
    };
    const Expected lastError{Caller::Desktop, File::None, HH_GET_LAST_ERROR, 0};
    const std::vector<Case> cases = {
        {HELP_CONTEXT, 2, true, {{Caller::Desktop, File::Help, HH_HELP_CONTEXT, 2}}},
        {HELP_CONTEXT, 16, false, {{Caller::Desktop, File::Help, HH_HELP_CONTEXT, 16}, lastError}},
        {HELP_CONTENTS, 16, true, {{Caller::Desktop, File::Help, HH_DISPLAY_TOPIC, 0}}},
        {HELP_CONTENTS, 16, false, {{Caller::Desktop, File::Help, HH_DISPLAY_TOPIC, 0}, lastError}},
        {HELP_FINDER, 5, false, {{Caller::Desktop, File::Help, HH_DISPLAY_TOPIC, 0}, lastError}},
        {HELP_CONTEXTPOPUP, 7, true, {{Caller::Desktop, File::Help, HH_HELP_CONTEXT, 7}}},
        {HELP_CONTEXTPOPUP,
         7,
         false,
         {{Caller::Desktop, File::Help, HH_HELP_CONTEXT, 7}, {Caller::Active, File::Popups, HH_DISPLAY_TEXT_POPUP, 0}}},
        {HELP_SETPOPUP_POS, 0x00200010, false, {}},
        {HELP_QUIT, 0, false, {}},
        {HELP_HELPONHELP, 0, false, {}},
        {HELP_KEY, 0, false, {}},
    };

    // The text popup belongs to the active window.
    HWND active = CreateWindowExW(0, L"STATIC", L"active", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    SetActiveWindow(active);
    ASSERT_EQ(GetActiveWindow(), active);

    const std::string helpFile = OwnHelpFile();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.command << ", data " << c.data << ", opens "
                                        << c.opensWindow);
        RecordingViewer viewer;
        viewer.topicWindow = c.opensWindow ? test::App().Handle() : nullptr;
        {
            THTMLHelp help(&test::App(), files_, viewer.Function());
            EXPECT_FALSE(Request(c.command, c.data)) << "a .chm file leaves nothing to the default help";
        }
        ASSERT_GE(viewer.calls.size(), 2u);
        EXPECT_EQ(viewer.calls.front().command, static_cast<UINT>(HH_INITIALIZE));
        EXPECT_EQ(viewer.calls.back().command, static_cast<UINT>(HH_UNINITIALIZE));
        const std::vector<ViewerCall> calls(viewer.calls.begin() + 1, viewer.calls.end() - 1);
        ASSERT_EQ(calls.size(), c.calls.size());
        for (std::size_t i = 0; i < calls.size(); ++i) {
            const Expected& e = c.calls[i];
            const HWND caller = e.caller == Caller::Desktop ? GetDesktopWindow() : active;
            EXPECT_EQ(calls[i].caller, caller) << i;
            EXPECT_EQ(calls[i].hasFile, e.file != File::None) << i;
            const std::string file = e.file == File::Help     ? helpFile
                                     : e.file == File::Popups ? helpFile + "::/cshelp.txt"
                                                              : "";
            EXPECT_EQ(calls[i].file, file) << i;
            EXPECT_EQ(calls[i].command, e.command) << i;
            EXPECT_EQ(calls[i].data, e.data) << i;
        }
        for (int size : viewer.errorRecordSizes) EXPECT_EQ(size, static_cast<int>(sizeof(HhLastError)));
    }
    DestroyWindow(active);
}

TEST_F(HtmlHelpTest, TextPopupAtTheLastPositionSet) {
    RecordingViewer viewer;
    THTMLHelp help(&test::App(), files_, viewer.Function());
    Request(HELP_CONTEXTPOPUP, 7);
    Request(HELP_SETPOPUP_POS, 0xFFFE0010);
    Request(HELP_CONTEXTPOPUP, 9);
    ASSERT_EQ(viewer.popups.size(), 2u);
    EXPECT_EQ(viewer.popups[0].pt.x, 0);
    EXPECT_EQ(viewer.popups[0].pt.y, 0);
    const HH_POPUP& popup = viewer.popups[1];
    EXPECT_EQ(popup.cbStruct, static_cast<int>(sizeof(HH_POPUP)));
    EXPECT_EQ(popup.hinst, nullptr);
    EXPECT_EQ(popup.idString, 9u);
    EXPECT_EQ(popup.pszText, nullptr);
    EXPECT_EQ(popup.pt.x, 0x10);
    EXPECT_EQ(popup.pt.y, 0xFFFE) << "the high half is unsigned";
    EXPECT_EQ(popup.clrForeground, static_cast<COLORREF>(-1));
    EXPECT_EQ(popup.clrBackground, static_cast<COLORREF>(-1));
    EXPECT_EQ(popup.rcMargins.left, -1);
    EXPECT_EQ(popup.rcMargins.top, -1);
    EXPECT_EQ(popup.rcMargins.right, -1);
    EXPECT_EQ(popup.rcMargins.bottom, -1);
    EXPECT_EQ(popup.pszFont, nullptr);
}

TEST_F(HtmlHelpTest, ViewerInitialisedUntilItHandsOutACookie) {
    struct Case {
        DWORD cookie;
        int requests;
        int initialisations;
        int uninitialisations;
    };
    const Case cases[] = {
        {0x2A, 1, 1, 1},
        {0x2A, 3, 1, 1},
        {0, 2, 1, 1},
        {kNoCookie, 3, 3, 0},  // Wine's viewer hands out nothing: asked again every time
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cookie " << c.cookie << ", requests " << c.requests);
        RecordingViewer viewer;
        viewer.cookie = c.cookie;
        viewer.topicWindow = test::App().Handle();
        {
            THTMLHelp help(&test::App(), files_, viewer.Function());
            for (int i = 0; i < c.requests; ++i) Request(HELP_CONTEXT, 2);
        }
        int initialisations = 0, uninitialisations = 0;
        for (const ViewerCall& call : viewer.calls) {
            if (call.command == HH_INITIALIZE) {
                ++initialisations;
                EXPECT_EQ(call.caller, nullptr);
                EXPECT_FALSE(call.hasFile);
            }
            if (call.command == HH_UNINITIALIZE) {
                ++uninitialisations;
                EXPECT_EQ(call.data, c.cookie) << "the cookie the viewer handed out";
                EXPECT_EQ(call.caller, nullptr);
                EXPECT_FALSE(call.hasFile);
            }
        }
        EXPECT_EQ(initialisations, c.initialisations);
        EXPECT_EQ(uninitialisations, c.uninitialisations);
    }
}

TEST_F(HtmlHelpTest, LastMadeComponentServesAndTakesItsHandlerBack) {
    RecordingViewer first, second;
    THTMLHelp outer(&test::App(), files_, first.Function());
    {
        THTMLHelp inner(&test::App(), files_, second.Function());
        Request(HELP_SETPOPUP_POS, 0);
        EXPECT_TRUE(first.calls.empty());
        EXPECT_EQ(second.calls.size(), 1u) << "the initialisation";
    }
    EXPECT_FALSE(test::App().OnHelp) << "no handler left that leads to a destroyed component";
    EXPECT_TRUE(Request(HELP_CONTEXT, 2)) << "nobody served the request";
    EXPECT_TRUE(first.calls.empty());
}

TEST_F(HtmlHelpTest, ViewerErrorShownWithTheApplicationTitle) {
    struct Case {
        HRESULT code;
        const wchar_t* description;
        bool shown;
    };
    const Case cases[] = {
        {static_cast<HRESULT>(0x8004020A), L"ヘルプ ファイルが見つかりません。", true},
        {E_FAIL, L"second failure", true},
        {S_OK, L"a description without a failure", false},
        {S_FALSE, L"a description without a failure", false},
        {E_FAIL, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.code);
        RecordingViewer viewer;
        viewer.errorCode = c.code;
        viewer.errorText = c.description;
        THTMLHelp help(&test::App(), files_, viewer.Function());
        BoxWatcher watcher;
        Request(HELP_CONTEXT, 2);
        const std::vector<BoxWatcher::Box> boxes = watcher.Stop();
        ASSERT_EQ(boxes.size(), c.shown ? 1u : 0u);
        if (!c.shown) continue;
        EXPECT_EQ(boxes[0].caption, L"Brimview");
        EXPECT_EQ(boxes[0].text, c.description);
        EXPECT_TRUE(boxes[0].errorIcon);
    }
}

TEST_F(HtmlHelpTest, HelpFileTopicsOpenInTheViewer) {
    ASSERT_TRUE(CopyFileA(BuiltHelpFile().c_str(), OwnHelpFile().c_str(), FALSE))
        << "the compiled help file " << BuiltHelpFile() << " is built with the program";
    struct Case {
        WORD command;
        DWORD_PTR data;
    };
    const Case cases[] = {{HELP_CONTEXT, 2}, {HELP_CONTEXT, 16}, {HELP_CONTENTS, 0}, {HELP_FINDER, 0}};
    THTMLHelp help(&test::App(), files_);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.command << ", data " << c.data);
        ASSERT_EQ(FindWindowA("HH Parent", nullptr), nullptr);
        BoxWatcher watcher;
        Request(c.command, c.data);
        EXPECT_TRUE(watcher.Stop().empty());
        HWND viewerWindow = FindWindowA("HH Parent", nullptr);
        ASSERT_NE(viewerWindow, nullptr);
        EXPECT_EQ(GetParent(viewerWindow), nullptr) << "the viewer's window is no window's child";
        SendMessageW(viewerWindow, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(viewerWindow));
    }
    // The windows above come from the file's map: a number it does not map opens nothing.
    EXPECT_EQ(HtmlHelpA(GetDesktopWindow(), OwnHelpFile().c_str(), HH_HELP_CONTEXT, 99), nullptr);
}

TEST_F(HtmlHelpTest, MissingHelpFileShowsTheViewersErrorEveryTime) {
    // Wine's viewer keeps no cookie and no last error; the stand-in adds both, as the platform's
    // viewer does, and leaves everything else to the real one.
    int initialisations = 0;
    HtmlHelpFunction viewer = [&](HWND caller, LPCWSTR file, UINT command, DWORD_PTR data) -> HWND {
        HWND opened = HtmlHelpW(caller, file, command, data);
        if (command == HH_INITIALIZE) {
            ++initialisations;
            auto& cookie = *reinterpret_cast<DWORD*>(data);
            if (cookie == kNoCookie) cookie = 0x2A;
        }
        if (command == HH_GET_LAST_ERROR) {
            auto& record = *reinterpret_cast<HhLastError*>(data);
            if (!record.description) {
                record.hr = static_cast<HRESULT>(0x8004020A);
                record.description = SysAllocString(L"指定されたファイルが見つかりません。");
            }
        }
        return opened;
    };
    THTMLHelp help(&test::App(), files_, viewer);
    BoxWatcher watcher;
    Request(HELP_CONTEXT, 2);
    Request(HELP_CONTEXT, 16);
    const std::vector<BoxWatcher::Box> boxes = watcher.Stop();
    EXPECT_EQ(initialisations, 1);
    ASSERT_EQ(boxes.size(), 2u);
    for (const BoxWatcher::Box& box : boxes) {
        EXPECT_EQ(box.caption, L"Brimview");
        EXPECT_EQ(box.text, L"指定されたファイルが見つかりません。");
    }
    EXPECT_EQ(FindWindowA("HH Parent", nullptr), nullptr);
}

// The fixed part of a version record as the resource compiler lays it out.
struct VersionRecord {
    WORD length = sizeof(VersionRecord);
    WORD valueLength = sizeof(VS_FIXEDFILEINFO);
    WORD type = 0;
    wchar_t key[16] = L"VS_VERSION_INFO";  // with its end, bringing the value to a 4-byte boundary
    WORD padding = 0;
    VS_FIXEDFILEINFO value{};
};

using ResourceKeys = std::vector<std::pair<WORD, WORD>>;  // name and language

BOOL CALLBACK FoundRecordLanguage(HMODULE, LPCSTR, LPCSTR name, WORD language, LONG_PTR keys) {
    reinterpret_cast<ResourceKeys*>(keys)->emplace_back(LOWORD(reinterpret_cast<ULONG_PTR>(name)), language);
    return TRUE;
}

BOOL CALLBACK FoundRecordName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR keys) {
    if (IS_INTRESOURCE(name)) EnumResourceLanguagesA(module, type, name, FoundRecordLanguage, keys);
    return TRUE;
}

// The version records this program carries.
ResourceKeys OwnVersionRecords() {
    ResourceKeys keys;
    EnumResourceNamesA(nullptr, MAKEINTRESOURCEA(16), FoundRecordName, reinterpret_cast<LONG_PTR>(&keys));
    return keys;
}

// A copy of this program in the temporary folder whose version records all read as the
// given one (Wine cannot delete a resource, but it replaces one); empty when it could not be made.
std::string CopyOfThisProgram(const char* name, const VersionRecord& record) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string copy = std::string(folder) + name;
    if (!CopyFileA(ExecutablePath().c_str(), copy.c_str(), FALSE)) return {};
    ResourceKeys keys = OwnVersionRecords();
    if (keys.empty()) keys.emplace_back(1, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
    if (!update) return {};
    bool done = true;
    for (const auto& [id, language] : keys)
        done &= UpdateResourceA(update, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(id), language,
                                const_cast<VersionRecord*>(&record), sizeof record) != FALSE;
    if (!EndUpdateResourceA(update, !done) || !done) return {};
    return copy;
}

TEST(AboutBox, VersionTextFromTheFilesVersionRecord) {
    VersionRecord record;
    record.value.dwSignature = VS_FFI_SIGNATURE;
    record.value.dwStrucVersion = VS_FFI_STRUCVERSION;
    record.value.dwFileVersionMS = MAKELONG(10, 2);
    record.value.dwFileVersionLS = MAKELONG(315, 0);
    record.value.dwProductVersionMS = MAKELONG(8, 9);  // not shown
    record.value.dwProductVersionLS = MAKELONG(6, 7);
    record.value.dwFileOS = VOS__WINDOWS32;
    record.value.dwFileType = VFT_APP;
    const std::string versioned = CopyOfThisProgram("brimview_versioned.exe", record);
    ASSERT_FALSE(versioned.empty());
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string text = std::string(folder) + "brimview_version.txt";
    std::ofstream(text) << "no program, no version record\r\n";

    struct Case {
        std::string path;
        const char* version;
    };
    const Case cases[] = {
        {versioned, "2.10.0.315"},
        {text, ""},
        {ExecutablePath() + ".missing", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FileVersionText(c.path), c.version) << c.path;
    DeleteFileA(versioned.c_str());
    DeleteFileA(text.c_str());
}

TEST(AboutBox, VersionTextOfTheRunningProgram) {
    // The tests carry the program's resource script, so their version record is the program's.
    EXPECT_EQ(ReadVersionText(Win32FileStore()), BRIMVIEW_FILEVERSION_TEXT);
}

// What the shell has run of a script that adds a line to a log at every start.
std::string WaitForLog(const std::string& log, const std::string& expected) {
    std::string content;
    for (int i = 0; i < 300 && content != expected; ++i) {
        Sleep(100);
        std::ifstream in(log, std::ios::binary);
        content.assign(std::istreambuf_iterator<char>(in), {});
    }
    return content;
}

TEST(AboutBox, LinkOpensWithTheShellEveryClick) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string log = std::string(folder) + "brimview_link.log";
    const std::string script = std::string(folder) + "brimview_link.cmd";
    DeleteFileA(log.c_str());
    std::ofstream(script) << "@echo opened>>\"" << log << "\"\r\n";
    // One at a time: two scripts writing the log at once could lose a line.
    OpenLink(test::App().Handle(), script);
    EXPECT_EQ(WaitForLog(log, "opened\r\n"), "opened\r\n");
    OpenLink(test::App().Handle(), script);
    EXPECT_EQ(WaitForLog(log, "opened\r\nopened\r\n"), "opened\r\nopened\r\n");
    DeleteFileA(script.c_str());
    DeleteFileA(log.c_str());
}

}  // namespace
}  // namespace brimview
