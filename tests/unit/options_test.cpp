#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "../support/SettingsFakes.h"
#include "platform/AppError.h"
#include "settings/MemIniFile.h"
#include "settings/OptionsLogic.h"

namespace brimview {
namespace {

constexpr char kIni[] = "C:\\Tools\\brimview.ini";

std::string Describe(const WindowOptions& o) {
    std::ostringstream out;
    out << "interval " << o.timerInterval << " s" << o.intervalSeconds << " m" << o.intervalMinutes << " min"
        << o.minimized << " top" << o.stayOnTop << " tr" << o.alphaBlend << " pos " << o.alphaBlendValue << " skin"
        << o.skinEnabled << " " << o.skinFile << " panel" << o.panelTransparent << " alert" << o.alert.enabled << " "
        << o.alert.freeBelow << " unit " << o.alert.unit << " forecast" << o.forecastEnabled << " taskbar"
        << o.taskbarProgress;
    return out.str();
}

struct Fixture {
    fakes::MemoryFileStore files;
    fakes::FakeTextServices text;
    // The list as the sorted combo box shows it; only bg.bmp and Night.BMP exist on disk.
    std::vector<std::string> skins{"bg.bmp", "gone.bmp", "Night.BMP"};

    Fixture() {
        files.files["skin\\bg.bmp"] = "BM";
        files.files["skin\\Night.BMP"] = "BM";
    }
    std::string Read(const char* section, const char* key) {
        return TMemIniFile(kIni, files, text).GetText(section, key, "<absent>");
    }
};

TEST(OptionsFilling, ReadsEachControlWithItsPresentStateAsDefault) {
    using Change = std::function<void(WindowOptions&)>;
    struct Case {
        const char* name;
        std::optional<std::string> ini;  // nothing: no settings file at all
        Change present;                  // from the layout's state
        Change expected;                 // from the present state
    };
    const Change none = [](WindowOptions&) {};
    const Case cases[] = {
        {"no file: the layout, with bg.bmp selected", std::nullopt, none, none},
        {"empty file", "", none, none},
        {"90000 in seconds is held at 60", "[General]\nInterval=90000\nInterval_s=1\n", none,
         [](WindowOptions& o) { o.timerInterval = 60000; }},
        {"90000 in minutes is truncated to 1", "[General]\nInterval=90000\nInterval_s=0\nInterval_m=1\n", none,
         [](WindowOptions& o) {
             o.timerInterval = 60000;
             o.intervalSeconds = false;
             o.intervalMinutes = true;
         }},
        {"500 in seconds is held at 1", "[General]\nInterval=500\nInterval_s=1\n", none,
         [](WindowOptions& o) { o.timerInterval = 1000; }},
        {"a negative interval is held at 1", "[General]\nInterval=-5000\n", none,
         [](WindowOptions& o) { o.timerInterval = 1000; }},
        {"both flags 1 select minutes", "[General]\nInterval=120000\nInterval_s=1\nInterval_m=1\n", none,
         [](WindowOptions& o) {
             o.timerInterval = 120000;
             o.intervalSeconds = false;
             o.intervalMinutes = true;
         }},
        {"both flags 0 select neither and leave the count", "[General]\nInterval=600000\nInterval_s=0\nInterval_m=0\n",
         none, [](WindowOptions& o) { o.intervalSeconds = false; }},
        {"selecting seconds deselects the present minutes", "[General]\nInterval=7000\nInterval_s=1\n",
         [](WindowOptions& o) {
             o.intervalSeconds = false;
             o.intervalMinutes = true;
             o.timerInterval = 180000;
         },
         [](WindowOptions& o) {
             o.intervalSeconds = true;
             o.intervalMinutes = false;
             o.timerInterval = 7000;
         }},
        {"the present count is the default in the unit read", "[General]\nInterval_m=1\n", none,
         [](WindowOptions& o) {
             o.intervalSeconds = false;
             o.intervalMinutes = true;
             o.timerInterval = 180000;
         }},
        {"absent flags keep minutes", "[General]\nInterval=300000\n",
         [](WindowOptions& o) {
             o.intervalSeconds = false;
             o.intervalMinutes = true;
         },
         [](WindowOptions& o) { o.timerInterval = 300000; }},
        {"an unreadable interval keeps the count, held", "[General]\nInterval=soon\n",
         [](WindowOptions& o) { o.timerInterval = 99000; }, [](WindowOptions& o) { o.timerInterval = 60000; }},
        {"a huge count does not overflow the default", "",
         [](WindowOptions& o) {
             o.timerInterval = INT_MAX;
             o.intervalSeconds = false;
             o.intervalMinutes = true;
         },
         [](WindowOptions& o) { o.timerInterval = 3600000; }},
        {"display flags", "[Display]\nMinimized=1\nOn_Top=1\nTransparency=1\nSkin=0\nPanelTransparent=1\n", none,
         [](WindowOptions& o) {
             o.minimized = o.stayOnTop = o.alphaBlend = o.panelTransparent = true;
             o.skinEnabled = false;
         }},
        {"the opacity as stored: the slider holds it", "[Display]\nTransparent_Position=300\n",
         [](WindowOptions& o) { o.alphaBlendValue = 40; }, [](WindowOptions& o) { o.alphaBlendValue = 300; }},
        {"an absent opacity stays", "", [](WindowOptions& o) { o.alphaBlendValue = 40; }, none},
        {"the skin name matches without letter case", "[Display]\nSkin_File=night.bmp\n", none,
         [](WindowOptions& o) { o.skinFile = "Night.BMP"; }},
        {"an unlisted skin name selects nothing", "[Display]\nSkin_File=other.bmp\n",
         [](WindowOptions& o) { o.skinFile = "gone.bmp"; }, [](WindowOptions& o) { o.skinFile = ""; }},
        {"an empty skin name selects nothing", "[Display]\nSkin_File=\n", none,
         [](WindowOptions& o) { o.skinFile = ""; }},
        {"the warning", "[Alert]\nEnabled=1\nFree_Below=200\nUnit=2\n", none,
         [](WindowOptions& o) {
             o.alert = {true, 200, LowSpaceAlert::GB};
         }},
        {"an unknown unit turns the warning off", "[Alert]\nEnabled=1\nUnit=3\n", none,
         [](WindowOptions& o) { o.alert.unit = 3; }},
        {"an absent warning keeps the controls", "",
         [](WindowOptions& o) {
             o.alert = {true, 5, LowSpaceAlert::MB};
         },
         none},
        {"the forecast and the gauge, and a flag that is no number", "[Forecast]\nEnabled=1\n[Taskbar]\nProgress=yes\n",
         [](WindowOptions& o) { o.taskbarProgress = true; }, [](WindowOptions& o) { o.forecastEnabled = true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        if (c.ini) f.files.files[kIni] = *c.ini;
        WindowOptions present;
        c.present(present);
        WindowOptions expected = present;
        c.expected(expected);
        EXPECT_EQ(Describe(FillOptions(f.files, f.text, present, f.skins)), Describe(expected));
    }
}

TEST(OptionsConfirming, WritesEveryKeyAndHandsBackWhatToApply) {
    constexpr char kAbsent[] = "<absent>";
    struct Applied {
        std::int32_t timerInterval;
        bool stayOnTop, alphaBlend;
        int alphaBlendValue;
        bool panelTransparent;
    };
    struct Case {
        const char* name;
        std::string ini;
        std::function<void(WindowOptions&)> change;  // from the layout's state with bg.bmp selected
        std::string interval, intervalS, intervalM, position, skin, skinFile;
        Applied result;
    };
    WindowOptions present;
    present.timerInterval = 4242;
    present.stayOnTop = present.alphaBlend = present.panelTransparent = true;
    present.alphaBlendValue = 9;
    present.skinFile = "wood.bmp";
    const Case cases[] = {
        {"60 minutes",
         "",
         [](WindowOptions& o) {
             o.timerInterval = 3600000;
             o.intervalSeconds = false;
             o.intervalMinutes = true;
         },
         "3600000",
         "0",
         "1",
         "255",
         "1",
         "bg.bmp",
         {3600000, false, false, 255, false}},
        {"1 second",
         "",
         [](WindowOptions& o) { o.timerInterval = 1000; },
         "1000",
         "1",
         "0",
         "255",
         "1",
         "bg.bmp",
         {1000, false, false, 255, false}},
        {"no unit leaves the stored interval",
         "[General]\nInterval=7000\n",
         [](WindowOptions& o) { o.intervalSeconds = false; },
         "7000",
         "0",
         "0",
         "255",
         "1",
         "bg.bmp",
         {7000, false, false, 255, false}},
        {"no unit and no interval keep the timer",
         "",
         [](WindowOptions& o) { o.intervalSeconds = false; },
         kAbsent,
         "0",
         "0",
         "255",
         "1",
         "bg.bmp",
         {4242, false, false, 255, false}},
        {"the hidden slider's position is stored",
         "",
         [](WindowOptions& o) {
             o.alphaBlendValue = 77;
             o.stayOnTop = true;
             o.panelTransparent = true;
         },
         "3000",
         "1",
         "0",
         "77",
         "1",
         "bg.bmp",
         {3000, true, false, 77, true}},
        {"translucent",
         "",
         [](WindowOptions& o) { o.alphaBlend = true; },
         "3000",
         "1",
         "0",
         "255",
         "1",
         "bg.bmp",
         {3000, false, true, 255, false}},
        {"an unticked skin still stores its name",
         "",
         [](WindowOptions& o) { o.skinEnabled = false; },
         "3000",
         "1",
         "0",
         "255",
         "0",
         "bg.bmp",
         {3000, false, false, 255, false}},
        {"an unticked skin is still checked",
         "",
         [](WindowOptions& o) {
             o.skinEnabled = false;
             o.skinFile = "gone.bmp";
         },
         "3000",
         "1",
         "0",
         "255",
         "0",
         kAbsent,
         {3000, false, false, 255, false}},
        {"a vanished skin turns the skin off",
         "[Display]\nSkin_File=gone.bmp\n",
         [](WindowOptions& o) { o.skinFile = "gone.bmp"; },
         "3000",
         "1",
         "0",
         "255",
         "0",
         kAbsent,
         {3000, false, false, 255, false}},
        {"nothing selected",
         "[Display]\nSkin_File=bg.bmp\n",
         [](WindowOptions& o) { o.skinFile = ""; },
         "3000",
         "1",
         "0",
         "255",
         "0",
         kAbsent,
         {3000, false, false, 255, false}},
        {"another existing skin",
         "",
         [](WindowOptions& o) { o.skinFile = "Night.BMP"; },
         "3000",
         "1",
         "0",
         "255",
         "1",
         "Night.BMP",
         {3000, false, false, 255, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.files.files[kIni] = c.ini;
        WindowOptions shown;
        c.change(shown);
        const WindowOptions got = ConfirmOptions(f.files, f.text, shown, present);
        EXPECT_EQ(f.Read("General", "Interval"), c.interval);
        EXPECT_EQ(f.Read("General", "Interval_s"), c.intervalS);
        EXPECT_EQ(f.Read("General", "Interval_m"), c.intervalM);
        EXPECT_EQ(f.Read("Display", "Transparent_Position"), c.position);
        EXPECT_EQ(f.Read("Display", "Skin"), c.skin);
        EXPECT_EQ(f.Read("Display", "Skin_File"), c.skinFile);
        EXPECT_EQ(got.timerInterval, c.result.timerInterval);
        EXPECT_EQ(got.stayOnTop, c.result.stayOnTop);
        EXPECT_EQ(got.alphaBlend, c.result.alphaBlend);
        EXPECT_EQ(got.alphaBlendValue, c.result.alphaBlendValue);
        EXPECT_EQ(got.panelTransparent, c.result.panelTransparent);
        EXPECT_EQ(got.skinEnabled, c.skin == "1") << "as the paint reads it";
    }

    Fixture f;
    WindowOptions warning;
    warning.alert = {true, 3, LowSpaceAlert::GB};
    EXPECT_EQ(ConfirmOptions(f.files, f.text, warning, present).alert, warning.alert);
    EXPECT_EQ(f.Read("Alert", "Free_Below"), "3");
}

TEST(OptionsConfirming, RefusesANegativeWarningOrOneOver100Percent) {
    const std::pair<LowSpaceAlert, bool> cases[] = {
        {{true, 100, LowSpaceAlert::Percent}, false}, {{true, 101, LowSpaceAlert::Percent}, true},
        {{true, 101, LowSpaceAlert::MB}, false},      {{true, 0, LowSpaceAlert::GB}, false},
        {{true, -1, LowSpaceAlert::GB}, true},        {{false, -1, LowSpaceAlert::Percent}, false},
    };
    for (auto [alert, refused] : cases)
        EXPECT_EQ(AlertRefusal(alert).has_value(), refused) << alert.freeBelow << " unit " << alert.unit;
}

// The sign-in list in memory; a list that refuses changes, as under a policy.
class MemoryRunList : public RunList {
public:
    std::optional<std::string> value;
    bool refuse = false;
    std::optional<std::string> Command(const std::string& name) const override {
        EXPECT_EQ(name, "Brimview");
        return value;
    }
    void SetCommand(const std::string&, const std::string& command) override {
        if (refuse) throw AppError("アクセスが拒否されました。");
        value = command;
    }
    void Remove(const std::string&) override {
        if (refuse) throw AppError("アクセスが拒否されました。");
        value.reset();
    }
};

TEST(StartWithWindows, TheBoxShowsAndSetsTheValueThatNamesThisCopy) {
    const std::string self = "C:\\Tools\\brimview.exe";
    struct Case {
        std::optional<std::string> value;
        bool shown;                           // the box as filled
        std::optional<std::string> ticked;    // the value after OK with the box ticked
        std::optional<std::string> unticked;  // and unticked
    };
    const std::string quoted = "\"C:\\Tools\\brimview.exe\"";
    const Case cases[] = {
        {std::nullopt, false, quoted, std::nullopt},
        {quoted, true, quoted, std::nullopt},
        {"\"c:\\tools\\BRIMVIEW.EXE\" /min", true, "\"c:\\tools\\BRIMVIEW.EXE\" /min", std::nullopt},
        {"C:\\Tools\\brimview.exe", true, "C:\\Tools\\brimview.exe", std::nullopt},
        {"\"D:\\Old\\brimview.exe\"", false, quoted, "\"D:\\Old\\brimview.exe\""},
        {"\"C:\\Tools\\brimview.exe.bak\"", false, quoted, "\"C:\\Tools\\brimview.exe.bak\""},
        {"C:\\Tools\\brimview.exe2", false, quoted, "C:\\Tools\\brimview.exe2"},
    };
    fakes::FakeTextServices text;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.value_or("<none>"));
        MemoryRunList run;
        run.value = c.value;
        EXPECT_EQ(StartsWithWindows(run, self, text), c.shown);
        SetStartWithWindows(run, true, self, text);
        EXPECT_EQ(run.value, c.ticked);
        run.value = c.value;
        SetStartWithWindows(run, false, self, text);
        EXPECT_EQ(run.value, c.unticked);
    }
    MemoryRunList refusing;
    refusing.refuse = true;
    EXPECT_THROW(SetStartWithWindows(refusing, true, self, text), AppError);
    EXPECT_FALSE(refusing.value);
}

TEST(OptionsConfirming, OkUnchangedOnTheFirstStartsEmptyFileWritesTheLayoutsKeysInOrder) {
    Fixture f;
    f.files.files[kIni] = "";
    const WindowOptions shown = FillOptions(f.files, f.text, WindowOptions{}, f.skins);
    ConfirmOptions(f.files, f.text, shown, WindowOptions{});
    EXPECT_EQ(f.files.files.at(kIni),
              "[General]\r\nInterval=3000\r\nInterval_s=1\r\nInterval_m=0\r\n\r\n"
              "[Display]\r\nMinimized=0\r\nOn_Top=0\r\nTransparency=0\r\nTransparent_Position=255\r\nSkin=1\r\n"
              "Skin_File=bg.bmp\r\nPanelTransparent=0\r\n\r\n");
}

TEST(OptionsConfirming, WritesASectionBeyondTheLayoutOnlyOnceItIsInTheFileOrTurnedOn) {
    constexpr char kAbsent[] = "<absent>";
    struct Case {
        const char* ini;
        std::function<void(WindowOptions&)> change;
        const char *alert, *freeBelow, *forecast, *taskbar;
    };
    const Case cases[] = {
        {"", [](WindowOptions&) {}, kAbsent, kAbsent, kAbsent, kAbsent},
        {"", [](WindowOptions& o) { o.alert.enabled = o.forecastEnabled = o.taskbarProgress = true; }, "1", "10", "1",
         "1"},
        {"[alert]\r\n[Forecast]\r\nEnabled=1\r\n[Taskbar]\r\n", [](WindowOptions&) {}, "0", "10", "0", "0"},
        {"[Taskbar]\r\n", [](WindowOptions& o) { o.forecastEnabled = true; }, kAbsent, kAbsent, "1", "0"},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.files.files[kIni] = c.ini;
        WindowOptions shown;
        c.change(shown);
        ConfirmOptions(f.files, f.text, shown, WindowOptions{});
        EXPECT_EQ(f.Read("Alert", "Enabled"), c.alert) << c.ini;
        EXPECT_EQ(f.Read("Alert", "Free_Below"), c.freeBelow) << c.ini;
        EXPECT_EQ(f.Read("Forecast", "Enabled"), c.forecast) << c.ini;
        EXPECT_EQ(f.Read("Taskbar", "Progress"), c.taskbar) << c.ini;
    }
}

TEST(OptionsFailures, AFileThatCannotBeReadOrSavedStopsTheHandler) {
    Fixture unreadable;
    unreadable.files.unreadable.insert(kIni);
    EXPECT_THROW(FillOptions(unreadable.files, unreadable.text, {}, unreadable.skins), AppError);
    EXPECT_THROW(ConfirmOptions(unreadable.files, unreadable.text, {}, {}), AppError);

    Fixture unwritable;
    unwritable.files.files[kIni] = "[General]\r\nInterval=7000\r\n";
    unwritable.files.failWrites = true;
    try {
        ConfirmOptions(unwritable.files, unwritable.text, {}, {});
        FAIL() << "the save must fail";
    } catch (const AppError& e) {
        EXPECT_EQ(std::string(e.what()), "ファイル <C:\\Tools\\brimview.ini> を作成できません");
    }
    EXPECT_EQ(unwritable.files.files.at(kIni), "[General]\r\nInterval=7000\r\n");
}

TEST(OptionsInterval, TheCountIsHeldWithinOneToSixty) {
    const std::pair<int, int> cases[] = {{INT_MIN, 1}, {-5, 1},  {0, 1},   {1, 1},
                                         {30, 30},     {60, 60}, {61, 60}, {INT_MAX, 60}};
    for (auto [count, held] : cases) EXPECT_EQ(HoldIntervalCount(count), held) << count;
}

}  // namespace
}  // namespace brimview
