#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/SettingsFakes.h"
#include "platform/AppError.h"
#include "settings/WindowSettings.h"

namespace brimview {
namespace {

// The main window as the sequences see it, recording what they did in order.
class FakeWindow : public SettingsWindow {
public:
    std::vector<std::string> log;
    bool minimized = false;
    int top = 50, left = 60;
    char drive = 'C';
    std::int32_t interval = 3000;
    bool alphaBlend = false;
    std::uint8_t alphaValue = 255;
    bool panelTransparent = false;
    bool timerEnabled = true;

    void StartMinimized() override { minimized = true; }
    int Top() const override { return top; }
    int Left() const override { return left; }
    void MoveTo(int l, int t) override {
        left = l;
        top = t;
        log.push_back("move");
    }
    char SelectedDrive() const override { return drive; }
    void SetSelectedDrive(char letter) override {
        drive = letter;
        log.push_back(std::string("drive:") + (letter ? std::string(1, letter) : "0"));
    }
    std::int32_t TimerInterval() const override { return interval; }
    void SetTimerInterval(std::int32_t ms) override { interval = ms; }
    bool AlphaBlend() const override { return alphaBlend; }
    void SetAlphaBlend(bool on) override {
        alphaBlend = on;
        log.push_back("alpha");
    }
    std::uint8_t AlphaBlendValue() const override { return alphaValue; }
    void SetAlphaBlendValue(std::uint8_t value) override {
        alphaValue = value;
        log.push_back("alphaValue");
    }
    bool PanelTransparent() const override { return panelTransparent; }
    void SetPanelTransparent(bool on) override { panelTransparent = on; }
    void DisableTimer() override { timerEnabled = false; }
};

constexpr char kIni[] = "C:\\Tools\\brimview.ini";

struct Fixture {
    fakes::MemoryFileStore files;
    fakes::FakeTextServices text;
    FakeWindow window;
    bool skinEnabled = false;
    std::string skinFile;
    void Start() { ReadStartupSettings(files, text, window, {skinEnabled, skinFile}); }
};

TEST(StartupSettings, FirstStartWritesTheSkinSwitchOffWhenTheSkinIsMissing) {
    Fixture f;
    f.Start();
    EXPECT_EQ(f.files.files.at(kIni), "[Display]\r\nSkin=0\r\n\r\n");
    EXPECT_FALSE(f.skinEnabled);
    EXPECT_EQ(f.skinFile, "");
    // Everything else keeps the window's present state.
    EXPECT_EQ(f.window.top, 50);
    EXPECT_EQ(f.window.left, 60);
    EXPECT_EQ(f.window.drive, 'C');
    EXPECT_EQ(f.window.interval, 3000);
    EXPECT_FALSE(f.window.minimized);
}

TEST(StartupSettings, FirstStartWithTheDefaultSkinSavesAnEmptyFile) {
    Fixture f;
    f.files.files["skin\\bg.bmp"] = "BM";
    f.Start();
    EXPECT_EQ(f.files.files.at(kIni), "");
    EXPECT_TRUE(f.skinEnabled);
    EXPECT_EQ(f.skinFile, "bg.bmp");
}

TEST(StartupSettings, ReadsEveryKeyInOrder) {
    struct Case {
        std::string ini;
        bool minimized;
        int top, left;
        char drive;
        std::int32_t interval;
        bool alpha;
        int alphaValue;
        bool panel;
    };
    const Case cases[] = {
        {"[Display]\r\nMinimized=1\r\n[Window]\r\nTop=10\r\nLeft=-20\r\nDrive=d\r\n", true, 10, -20, 'd', 3000, false,
         255, false},
        {"[Window]\r\nDrive=\r\n[General]\r\nInterval=0\r\n", false, 50, 60, '\0', 0, false, 255, false},
        {"[Display]\r\nTransparency=1\r\nTransparent_Position=300\r\nPanelTransparent=1\r\n", false, 50, 60, 'C', 3000,
         true, 44, true},
        {"[Display]\r\nTransparent_Position=256\r\n[General]\r\nInterval=$BB8\r\n", false, 50, 60, 'C', 3000, false, 0,
         false},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.files.files[kIni] = c.ini;
        f.Start();
        SCOPED_TRACE(c.ini);
        EXPECT_EQ(f.window.minimized, c.minimized);
        EXPECT_EQ(f.window.top, c.top);
        EXPECT_EQ(f.window.left, c.left);
        EXPECT_EQ(f.window.drive, c.drive);
        EXPECT_EQ(f.window.interval, c.interval);
        EXPECT_EQ(f.window.alphaBlend, c.alpha);
        EXPECT_EQ(f.window.alphaValue, c.alphaValue);
        EXPECT_EQ(f.window.panelTransparent, c.panel);
        // The window moves before the drive is set, and the flag comes before the opacity.
        std::vector<std::string> order{"move", std::string("drive:") + (c.drive ? std::string(1, c.drive) : "0"),
                                       "alpha", "alphaValue"};
        EXPECT_EQ(f.window.log, order);
    }
}

TEST(StartupSettings, AnEmptyOrMissingSkinFileSwitchesTheSkinOffAndForgetsTheName) {
    for (const char* ini : {"[Display]\r\nSkin=1\r\nSkin_File=\r\n", "[Display]\r\nSkin=1\r\nSkin_File=gone.bmp\r\n"}) {
        Fixture f;
        f.files.files[kIni] = ini;
        f.files.folders.insert("skin\\");
        f.Start();
        EXPECT_FALSE(f.skinEnabled);
        EXPECT_EQ(f.files.files.at(kIni), "[Display]\r\nSkin=0\r\n\r\n") << ini;
    }
}

TEST(StartupSettings, FailuresStopTheSequence) {
    Fixture unreadable;
    unreadable.files.unreadable.insert(kIni);
    EXPECT_THROW(unreadable.Start(), AppError);
    EXPECT_TRUE(unreadable.window.log.empty());

    Fixture unwritable;
    unwritable.files.failWrites = true;
    try {
        unwritable.Start();
        FAIL() << "the save must fail";
    } catch (const AppError& e) {
        EXPECT_EQ(std::string(e.what()), "ファイル <C:\\Tools\\brimview.ini> を作成できません");
    }
}

TEST(ClosingSettings, SavesPositionAndDriveThenStopsTheTimer) {
    Fixture f;
    f.files.files[kIni] = "[Window]\r\nDrive=D\r\n";
    f.window.top = 7;
    f.window.left = -3;
    f.window.drive = '\0';
    SaveClosingSettings(f.files, f.text, f.window);
    // No drive is an empty value: a NUL would end the text when the file is read again.
    EXPECT_EQ(f.files.files.at(kIni), "[Window]\r\nDrive=\r\nTop=7\r\nLeft=-3\r\n\r\n");
    EXPECT_FALSE(f.window.timerEnabled);

    Fixture failing;
    failing.files.failWrites = true;
    EXPECT_THROW(SaveClosingSettings(failing.files, failing.text, failing.window), AppError);
    EXPECT_TRUE(failing.window.timerEnabled);
}

TEST(ErrorReport, AppendsAFullStopUnlessTheMessageEndsInOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"skinフォルダを作成できません。", "skinフォルダを作成できません。"},
        {"ファイル a は開けません", "ファイル a は開けません."},
        {"Done.", "Done."},
        {"Stop!", "Stop!"},
        {"(x)", "(x)"},
        {"a,", "a,"},
        {"abc", "abc."},
        {"", "."},
        {"終わり", "終わり."},
    };
    for (auto [message, shown] : cases) EXPECT_EQ(ErrorReportText(message), shown) << message;
}

}  // namespace
}  // namespace brimview
