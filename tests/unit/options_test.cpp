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
#include "ui/SpinRules.h"

namespace brimview {
namespace {

constexpr char kIni[] = "C:\\Tools\\brimview.ini";

std::string Describe(const OptionsState& s) {
    std::ostringstream out;
    out << "spin " << s.spinValue << " s" << s.seconds << " m" << s.minutes << " min" << s.minimized << " top"
        << s.onTop << " tr" << s.transparency << " pos " << s.trackPosition << " skin" << s.skin << " index "
        << s.skinIndex << " panel" << s.panelTransparent << " alert" << s.alert.enabled << " " << s.alert.freeBelow
        << " unit " << s.alert.unit;
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
    using Change = std::function<void(OptionsState&)>;
    struct Case {
        const char* name;
        std::optional<std::string> ini;  // nothing: no settings file at all
        Change present;                  // from the layout's state
        Change expected;                 // from the present state
    };
    const Change none = [](OptionsState&) {};
    const Case cases[] = {
        {"no file: the layout, with bg.bmp selected", std::nullopt, none, [](OptionsState& s) { s.skinIndex = 0; }},
        {"empty file", "", none, [](OptionsState& s) { s.skinIndex = 0; }},
        {"90000 in seconds is held at 60", "[General]\nInterval=90000\nInterval_s=1\n", none,
         [](OptionsState& s) {
             s.spinValue = 60;
             s.skinIndex = 0;
         }},
        {"90000 in minutes is truncated to 1", "[General]\nInterval=90000\nInterval_s=0\nInterval_m=1\n", none,
         [](OptionsState& s) {
             s.spinValue = 1;
             s.seconds = false;
             s.minutes = true;
             s.skinIndex = 0;
         }},
        {"500 in seconds is held at 1", "[General]\nInterval=500\nInterval_s=1\n", none,
         [](OptionsState& s) {
             s.spinValue = 1;
             s.skinIndex = 0;
         }},
        {"a negative interval is held at 1", "[General]\nInterval=-5000\n", none,
         [](OptionsState& s) {
             s.spinValue = 1;
             s.skinIndex = 0;
         }},
        {"both flags 1 select minutes", "[General]\nInterval=120000\nInterval_s=1\nInterval_m=1\n", none,
         [](OptionsState& s) {
             s.spinValue = 2;
             s.seconds = false;
             s.minutes = true;
             s.skinIndex = 0;
         }},
        {"both flags 0 select neither and leave the spin", "[General]\nInterval=600000\nInterval_s=0\nInterval_m=0\n",
         none,
         [](OptionsState& s) {
             s.seconds = false;
             s.skinIndex = 0;
         }},
        {"selecting seconds deselects the present minutes", "[General]\nInterval=7000\nInterval_s=1\n",
         [](OptionsState& s) {
             s.seconds = false;
             s.minutes = true;
         },
         [](OptionsState& s) {
             s.seconds = true;
             s.minutes = false;
             s.spinValue = 7;
             s.skinIndex = 0;
         }},
        {"absent flags keep minutes", "[General]\nInterval=300000\n",
         [](OptionsState& s) {
             s.seconds = false;
             s.minutes = true;
         },
         [](OptionsState& s) {
             s.spinValue = 5;
             s.skinIndex = 0;
         }},
        {"an unreadable interval keeps the spin, held", "[General]\nInterval=soon\n",
         [](OptionsState& s) { s.spinValue = 99; },
         [](OptionsState& s) {
             s.spinValue = 60;
             s.skinIndex = 0;
         }},
        {"a huge typed count does not overflow the default", "",
         [](OptionsState& s) {
             s.spinValue = INT_MAX;
             s.seconds = false;
             s.minutes = true;
         },
         [](OptionsState& s) {
             s.spinValue = 60;
             s.skinIndex = 0;
         }},
        {"display flags", "[Display]\nMinimized=1\nOn_Top=1\nTransparency=1\nSkin=0\nPanelTransparent=1\n", none,
         [](OptionsState& s) {
             s.minimized = s.onTop = s.transparency = s.panelTransparent = true;
             s.skin = false;
             s.skinIndex = 0;
         }},
        {"opacity 0 shows 1", "[Display]\nTransparent_Position=0\n", none,
         [](OptionsState& s) {
             s.trackPosition = 1;
             s.skinIndex = 0;
         }},
        {"opacity 300 shows 255", "[Display]\nTransparent_Position=300\n",
         [](OptionsState& s) { s.trackPosition = 40; },
         [](OptionsState& s) {
             s.trackPosition = 255;
             s.skinIndex = 0;
         }},
        {"an absent opacity stays", "", [](OptionsState& s) { s.trackPosition = 40; },
         [](OptionsState& s) { s.skinIndex = 0; }},
        {"the skin name matches without letter case", "[Display]\nSkin_File=night.bmp\n", none,
         [](OptionsState& s) { s.skinIndex = 2; }},
        {"an unlisted skin name selects nothing", "[Display]\nSkin_File=other.bmp\n",
         [](OptionsState& s) { s.skinIndex = 1; }, [](OptionsState& s) { s.skinIndex = -1; }},
        {"an empty skin name selects nothing", "[Display]\nSkin_File=\n", none, none},
        {"the warning", "[Alert]\nEnabled=1\nFree_Below=200\nUnit=2\n", none,
         [](OptionsState& s) {
             s.alert = {true, 200, LowSpaceAlert::GB};
             s.skinIndex = 0;
         }},
        {"an absent warning keeps the controls", "",
         [](OptionsState& s) {
             s.alert = {true, 5, LowSpaceAlert::MB};
         },
         [](OptionsState& s) { s.skinIndex = 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        if (c.ini) f.files.files[kIni] = *c.ini;
        OptionsState present;
        c.present(present);
        OptionsState expected = present;
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
    struct ConfirmedOptions {
        Applied window;
        bool skinOff;
    };
    struct Case {
        const char* name;
        std::string ini;
        std::function<void(OptionsState&)> change;  // from the layout's state with bg.bmp selected
        std::string interval, intervalS, intervalM, position, skin, skinFile;
        ConfirmedOptions result;
    };
    const WindowOptions present{4242, true, true, 9, true, true, "wood.bmp", {}};
    const Case cases[] = {
        {"60 minutes",
         "",
         [](OptionsState& s) {
             s.spinValue = 60;
             s.seconds = false;
             s.minutes = true;
         },
         "3600000",
         "0",
         "1",
         "255",
         "1",
         "bg.bmp",
         {{3600000, false, false, 255, false}, false}},
        {"1 second",
         "",
         [](OptionsState& s) { s.spinValue = 1; },
         "1000",
         "1",
         "0",
         "255",
         "1",
         "bg.bmp",
         {{1000, false, false, 255, false}, false}},
        {"99 typed",
         "",
         [](OptionsState& s) { s.spinValue = ui::SpinEditValue(L"99"); },
         "60000",
         "1",
         "0",
         "255",
         "1",
         "bg.bmp",
         {{60000, false, false, 255, false}, false}},
        {"an emptied field",
         "",
         [](OptionsState& s) { s.spinValue = ui::SpinEditValue(L""); },
         "1000",
         "1",
         "0",
         "255",
         "1",
         "bg.bmp",
         {{1000, false, false, 255, false}, false}},
        {"no unit leaves the stored interval",
         "[General]\nInterval=7000\n",
         [](OptionsState& s) { s.seconds = false; },
         "7000",
         "0",
         "0",
         "255",
         "1",
         "bg.bmp",
         {{7000, false, false, 255, false}, false}},
        {"no unit and no interval keep the timer",
         "",
         [](OptionsState& s) { s.seconds = false; },
         kAbsent,
         "0",
         "0",
         "255",
         "1",
         "bg.bmp",
         {{4242, false, false, 255, false}, false}},
        {"the hidden slider's position is stored",
         "",
         [](OptionsState& s) {
             s.trackPosition = 77;
             s.onTop = true;
             s.panelTransparent = true;
         },
         "3000",
         "1",
         "0",
         "77",
         "1",
         "bg.bmp",
         {{3000, true, false, 77, true}, false}},
        {"translucent",
         "",
         [](OptionsState& s) { s.transparency = true; },
         "3000",
         "1",
         "0",
         "255",
         "1",
         "bg.bmp",
         {{3000, false, true, 255, false}, false}},
        {"an unticked skin still stores its name",
         "",
         [](OptionsState& s) { s.skin = false; },
         "3000",
         "1",
         "0",
         "255",
         "0",
         "bg.bmp",
         {{3000, false, false, 255, false}, false}},
        {"an unticked skin is still checked",
         "",
         [](OptionsState& s) {
             s.skin = false;
             s.skinIndex = 1;
         },
         "3000",
         "1",
         "0",
         "255",
         "0",
         kAbsent,
         {{3000, false, false, 255, false}, true}},
        {"a vanished skin turns the skin off",
         "[Display]\nSkin_File=gone.bmp\n",
         [](OptionsState& s) { s.skinIndex = 1; },
         "3000",
         "1",
         "0",
         "255",
         "0",
         kAbsent,
         {{3000, false, false, 255, false}, true}},
        {"nothing selected",
         "[Display]\nSkin_File=bg.bmp\n",
         [](OptionsState& s) { s.skinIndex = -1; },
         "3000",
         "1",
         "0",
         "255",
         "0",
         kAbsent,
         {{3000, false, false, 255, false}, true}},
        {"another existing skin",
         "",
         [](OptionsState& s) { s.skinIndex = 2; },
         "3000",
         "1",
         "0",
         "255",
         "1",
         "Night.BMP",
         {{3000, false, false, 255, false}, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.files.files[kIni] = c.ini;
        OptionsState state;
        state.skinIndex = 0;
        c.change(state);
        const WindowOptions got = ConfirmOptions(f.files, f.text, state, f.skins, present);
        EXPECT_EQ(f.Read("General", "Interval"), c.interval);
        EXPECT_EQ(f.Read("General", "Interval_s"), c.intervalS);
        EXPECT_EQ(f.Read("General", "Interval_m"), c.intervalM);
        EXPECT_EQ(f.Read("Display", "Transparent_Position"), c.position);
        EXPECT_EQ(f.Read("Display", "Skin"), c.skin);
        EXPECT_EQ(f.Read("Display", "Skin_File"), c.skinFile);
        EXPECT_EQ(got.timerInterval, c.result.window.timerInterval);
        EXPECT_EQ(got.stayOnTop, c.result.window.stayOnTop);
        EXPECT_EQ(got.alphaBlend, c.result.window.alphaBlend);
        EXPECT_EQ(got.alphaBlendValue, c.result.window.alphaBlendValue);
        EXPECT_EQ(got.panelTransparent, c.result.window.panelTransparent);
        EXPECT_EQ(got.skinEnabled, !c.result.skinOff);
        EXPECT_EQ(got.skinFile, present.skinFile) << "the paint reads the file's name";
    }

    Fixture f;
    OptionsState warning;
    warning.alert = {true, 3, LowSpaceAlert::GB};
    EXPECT_EQ(ConfirmOptions(f.files, f.text, warning, f.skins, present).alert, warning.alert);
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

TEST(OptionsConfirming, OkOnTheFirstStartsEmptyFileWritesEveryKeyInOrder) {
    Fixture f;
    f.files.files[kIni] = "";
    const OptionsState shown = FillOptions(f.files, f.text, OptionsState{}, f.skins);
    ConfirmOptions(f.files, f.text, shown, f.skins, WindowOptions{});
    EXPECT_EQ(f.files.files.at(kIni),
              "[General]\r\nInterval=3000\r\nInterval_s=1\r\nInterval_m=0\r\n\r\n"
              "[Display]\r\nMinimized=0\r\nOn_Top=0\r\nTransparency=0\r\nTransparent_Position=255\r\nSkin=1\r\n"
              "Skin_File=bg.bmp\r\nPanelTransparent=0\r\n\r\n"
              "[Alert]\r\nEnabled=0\r\nFree_Below=10\r\nUnit=0\r\n\r\n");
}

TEST(OptionsConfirming, StoredOpacityZeroComesBackAsOne) {
    Fixture f;
    f.files.files[kIni] = "[Display]\r\nTransparent_Position=0\r\n";
    const OptionsState shown = FillOptions(f.files, f.text, OptionsState{}, f.skins);
    const WindowOptions got = ConfirmOptions(f.files, f.text, shown, f.skins, WindowOptions{});
    EXPECT_EQ(f.Read("Display", "Transparent_Position"), "1");
    EXPECT_EQ(got.alphaBlendValue, 1);
}

TEST(OptionsFailures, AFileThatCannotBeReadOrSavedStopsTheHandler) {
    Fixture unreadable;
    unreadable.files.unreadable.insert(kIni);
    EXPECT_THROW(FillOptions(unreadable.files, unreadable.text, OptionsState{}, unreadable.skins), AppError);
    EXPECT_THROW(ConfirmOptions(unreadable.files, unreadable.text, OptionsState{}, unreadable.skins, {}), AppError);

    Fixture unwritable;
    unwritable.files.files[kIni] = "[General]\r\nInterval=7000\r\n";
    unwritable.files.failWrites = true;
    try {
        ConfirmOptions(unwritable.files, unwritable.text, OptionsState{}, unwritable.skins, {});
        FAIL() << "the save must fail";
    } catch (const AppError& e) {
        EXPECT_EQ(std::string(e.what()), "ファイル C:\\Tools\\brimview.ini を作成できません");
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
