#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/SettingsFakes.h"
#include "platform/AppError.h"
#include "settings/WindowSettings.h"

namespace brimview {
namespace {

// The main window as the sequences see it, recording what they handed it.
class FakeWindow : public SettingsWindow {
public:
    WindowSettings state{{60, 50}, 'C', {}};
    int applied = 0;
    bool timerEnabled = true;

    WindowSettings Current() const override { return state; }
    void Apply(const WindowSettings& settings) override {
        state = settings;
        ++applied;
    }
    void DisableTimer() override { timerEnabled = false; }
    int Width() const override { return 176; }
    int Height() const override { return 169; }
    std::vector<Rect> WorkAreas() const override { return {{0, 0, 1024, 738}}; }
};

constexpr char kIni[] = "C:\\Tools\\brimview.ini";

struct Fixture {
    fakes::MemoryFileStore files;
    fakes::FakeTextServices text;
    FakeWindow window;
    void Start() { ReadStartupSettings(files, text, window); }
};

TEST(StartupSettings, FirstStartWritesTheSkinSwitchOffWhenTheSkinIsMissing) {
    Fixture f;
    f.Start();
    EXPECT_EQ(f.files.files.at(kIni), "[Display]\r\nSkin=0\r\n\r\n");
    const WindowSettings& s = f.window.state;
    EXPECT_FALSE(s.options.skinEnabled);
    EXPECT_EQ(s.options.skinFile, "");
    // Everything else keeps the window's present state.
    EXPECT_EQ(s.position.top, 50);
    EXPECT_EQ(s.position.left, 60);
    EXPECT_EQ(s.drive, 'C');
    EXPECT_EQ(s.options.timerInterval, 3000);
    EXPECT_FALSE(s.options.minimized);
}

TEST(StartupSettings, FirstStartWithTheDefaultSkinSavesAnEmptyFile) {
    Fixture f;
    f.files.files["skin\\bg.bmp"] = "BM";
    f.Start();
    EXPECT_EQ(f.files.files.at(kIni), "");
    EXPECT_TRUE(f.window.state.options.skinEnabled);
    EXPECT_EQ(f.window.state.options.skinFile, "bg.bmp");
}

TEST(StartupSettings, TakesTheCopyAnEndedSaveLeftOnlyWhenTheFileIsMissing) {
    const std::string saved = "[Window]\r\nTop=10\r\n\r\n[Display]\r\nSkin=0\r\n\r\n";
    for (const bool missing : {true, false}) {
        Fixture f;
        if (!missing) f.files.files[kIni] = "[Window]\r\nTop=20\r\n";
        f.files.interrupted[kIni] = saved;
        f.Start();
        EXPECT_EQ(f.window.state.position.top, missing ? 10 : 20) << missing;
        EXPECT_EQ(f.files.interrupted.contains(kIni), !missing) << missing;
    }
}

TEST(StartupSettings, ReadsEveryKeyAndHandsTheWindowItsStateOnce) {
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
        // The window takes the opacity's low 8 bits.
        {"[Display]\r\nTransparency=1\r\nTransparent_Position=300\r\nPanelTransparent=1\r\n", false, 50, 60, 'C', 3000,
         true, 300, true},
        {"[Display]\r\nTransparent_Position=256\r\n[General]\r\nInterval=$BB8\r\n", false, 50, 60, 'C', 3000, false,
         256, false},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.files.files[kIni] = c.ini;
        f.Start();
        SCOPED_TRACE(c.ini);
        const WindowSettings& s = f.window.state;
        EXPECT_EQ(s.options.minimized, c.minimized);
        EXPECT_EQ(s.position.top, c.top);
        EXPECT_EQ(s.position.left, c.left);
        EXPECT_EQ(s.drive, c.drive);
        EXPECT_EQ(s.options.timerInterval, c.interval);
        EXPECT_EQ(s.options.alphaBlend, c.alpha);
        EXPECT_EQ(s.options.alphaBlendValue, c.alphaValue);
        EXPECT_EQ(s.options.panelTransparent, c.panel);
        EXPECT_EQ(f.window.applied, 1);
    }
}

TEST(StartupSettings, TheWarningIsReadAndNeverWritten) {
    Fixture f;
    f.files.files["skin\\bg.bmp"] = "BM";
    const std::string ini = "[Alert]\r\nEnabled=1\r\nFree_Below=50\r\n";
    f.files.files[kIni] = ini;
    f.Start();
    EXPECT_EQ(f.window.state.options.alert, (LowSpaceAlert{true, 50, LowSpaceAlert::Percent}));
    EXPECT_EQ(f.files.files.at(kIni), ini + "\r\n");
}

TEST(StartupSettings, APositionOffEveryScreenComesBackOntoTheNearestWorkArea) {
    // A window of 176 x 169 on a screen of 1024 x 738 (the taskbar below) and a second
    // monitor of 1280 x 1024 to its right.
    const std::vector<Rect> one{{0, 0, 1024, 738}};
    const std::vector<Rect> two{{0, 0, 1024, 738}, {1024, 0, 2304, 1024}};
    struct Case {
        const char* what;
        Position saved;
        std::vector<Rect> areas;
        Position shown;
    };
    const Case cases[] = {
        {"far below and right", {5000, 5000}, one, {848, 569}},
        {"far above and left, as after a monitor went", {-5000, -5000}, one, {0, 0}},
        {"far right, level with the screen", {5000, 300}, one, {848, 300}},
        {"partly off to the top left: kept", {-100, -50}, one, {-100, -50}},
        {"one pixel row on the screen: kept", {1023, 737}, one, {1023, 737}},
        {"touching the screen's right edge only", {1024, 100}, one, {848, 100}},
        {"on the second monitor: kept", {2000, 900}, two, {2000, 900}},
        {"beyond the second monitor", {3000, 500}, two, {2128, 500}},
        {"below the first, nearer it than the second", {100, 1000}, two, {100, 569}},
        // The nearest area is the one at the shortest straight-line gap: 10 across beats 50 down, 10 down
        // beats 50 across, 30 across and 30 down (42 apart) beat 50 across, which beats 40 and 40 (57).
        {"50 below one area, 10 left of another", {100, 788}, {{0, 0, 1024, 738}, {286, 760, 1000, 1200}}, {286, 788}},
        {"50 right of one area, 10 above another",
         {1074, 100},
         {{0, 0, 1024, 738}, {1030, 279, 1600, 900}},
         {1074, 279}},
        {"30 off one corner, 50 left of another",
         {1054, 768},
         {{0, 0, 1024, 738}, {1280, 700, 2000, 1400}},
         {848, 569}},
        {"40 off one corner, 50 left of another",
         {1064, 778},
         {{0, 0, 1024, 738}, {1290, 700, 2000, 1400}},
         {1290, 778}},
        {"the extremes of a stored integer", {2147483647, -2147483647 - 1}, one, {848, 0}},
        {"no work areas known: kept", {5000, 5000}, {}, {5000, 5000}},
    };
    for (const Case& c : cases) EXPECT_EQ(KeepOnScreen(c.saved, 176, 169, c.areas), c.shown) << c.what;
    // Larger than the work area: its top-left corner goes to the area's.
    EXPECT_EQ(KeepOnScreen({-3000, 4000}, 2000, 1000, one), (Position{0, 0}));

    Fixture f;
    f.files.files[kIni] = "[Window]\r\nTop=5000\r\nLeft=5000\r\n";
    f.Start();
    EXPECT_EQ(f.window.state.position, (Position{848, 569}));
    EXPECT_EQ(f.files.files.at(kIni), "[Window]\r\nTop=5000\r\nLeft=5000\r\n\r\n[Display]\r\nSkin=0\r\n\r\n")
        << "the file changes only when the window closes where it is";
}

TEST(StartupSettings, AnEmptyOrMissingSkinFileSwitchesTheSkinOffAndForgetsTheName) {
    for (const char* ini : {"[Display]\r\nSkin=1\r\nSkin_File=\r\n", "[Display]\r\nSkin=1\r\nSkin_File=gone.bmp\r\n"}) {
        Fixture f;
        f.files.files[kIni] = ini;
        f.files.folders.insert("skin\\");
        f.Start();
        EXPECT_FALSE(f.window.state.options.skinEnabled);
        EXPECT_EQ(f.files.files.at(kIni), "[Display]\r\nSkin=0\r\n\r\n") << ini;
    }
}

TEST(StartupSettings, FailuresStopTheSequence) {
    Fixture unreadable;
    unreadable.files.unreadable.insert(kIni);
    EXPECT_THROW(unreadable.Start(), AppError);
    EXPECT_EQ(unreadable.window.applied, 0);

    Fixture unwritable;
    unwritable.files.failWrites = true;
    try {
        unwritable.Start();
        FAIL() << "the save must fail";
    } catch (const AppError& e) {
        EXPECT_EQ(std::string(e.what()), "ファイル <C:\\Tools\\brimview.ini> を作成できません");
    }
    EXPECT_EQ(unwritable.window.applied, 1) << "the window takes its state before the save";
}

TEST(PaintSettings, ReadsTheSwitchesAndNeverWaitsForAHeldFile) {
    struct PaintSettings {
        bool stayOnTop, skinEnabled;
        std::string skinFile;
    };
    struct Case {
        const char* what;
        std::string ini;
        PaintSettings read;
    };
    const Case cases[] = {
        {"no file", "", {false, true, "bg.bmp"}},
        {"every key", "[Display]\r\nOn_Top=1\r\nSkin=0\r\nSkin_File=wood.bmp\r\n", {true, false, "wood.bmp"}},
    };
    for (const Case& c : cases) {
        Fixture f;
        if (!c.ini.empty()) f.files.files[kIni] = c.ini;
        const WindowOptions read = ReadPaintSettings(f.files, f.text);
        EXPECT_EQ(read.stayOnTop, c.read.stayOnTop) << c.what;
        EXPECT_EQ(read.skinEnabled, c.read.skinEnabled) << c.what;
        EXPECT_EQ(read.skinFile, c.read.skinFile) << c.what;
    }

    // Start-up waits a moment for a held file; the paint gives up at once.
    Fixture f;
    f.files.held.insert(kIni);
    EXPECT_THROW(f.Start(), AppError);
    EXPECT_EQ(f.files.waits, 1);
    EXPECT_THROW(ReadPaintSettings(f.files, f.text), AppError);
    EXPECT_EQ(f.files.waits, 1) << "the paint waited for a held file";
}

TEST(ClosingSettings, SavesPositionAndDriveThenStopsTheTimer) {
    Fixture f;
    f.files.files[kIni] = "[Window]\r\nDrive=D\r\n";
    f.window.state.position = {-3, 7};
    f.window.state.drive = '\0';
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
