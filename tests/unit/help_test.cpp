// The help component's decisions: which help file, which viewer call; and the version text.
#include <gtest/gtest.h>

#include "help/HelpRouting.h"

namespace brimview {
namespace {

TEST(HelpRouting, HelpFileFollowsFormThenApplicationThenExecutable) {
    struct Case {
        const char* form;
        const char* application;
        const char* executable;
        const char* helpFile;
    };
    const Case cases[] = {
        {"", "", "C:\\Tools\\brimview.exe", "C:\\Tools\\brimview.chm"},
        {"", "", "C:\\Tools\\brimview2.exe", "C:\\Tools\\brimview2.chm"},
        {"", "", "C:\\Tools\\BRIMVIEW.EXE", "C:\\Tools\\BRIMVIEW.chm"},
        {"", "", "C:\\Tools\\brimview.old.exe", "C:\\Tools\\brimview.old.chm"},
        {"", "", "C:\\My.Tools\\brimview", "C:\\My.Tools\\brimview.chm"},
        {"", "", "A.B:brimview", "A.B:brimview.chm"},
        // UTF-8: "\xC3\x96" is Ö, whose second byte starts a double-byte character in code page 932.
        {"", "", "C:\\x.y\\\xC3\x96\\brimview", "C:\\x.y\\\xC3\x96\\brimview.chm"},
        {"", "", "C:\\Ölçü-José-Ω\\brimview.exe", "C:\\Ölçü-José-Ω\\brimview.chm"},
        {"", "D:\\app.hlp", "C:\\Tools\\brimview.exe", "D:\\app.hlp"},
        {"E:\\form.chm", "D:\\app.chm", "C:\\Tools\\brimview.exe", "E:\\form.chm"},
        {"E:\\form.chm", "", "C:\\Tools\\brimview.exe", "E:\\form.chm"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CurrentHelpFile(c.form, c.application, c.executable), c.helpFile)
            << c.form << " | " << c.application << " | " << c.executable;
}

TEST(HelpRouting, OnlyChmFilesGoToTheViewer) {
    struct Case {
        const char* path;
        bool chm;
    };
    const Case cases[] = {
        {"C:\\Tools\\brimview.chm", true},   {"C:\\Tools\\brimview.CHM", true},
        {"C:\\Tools\\brimview.cHm", true},   {"C:.chm", true},
        {"C:\\Tools\\Ω.chm", true},          {"C:\\Tools\\brimview.hlp", false},
        {"C:\\Tools\\brimview.chmx", false}, {"C:\\Tools\\brimview.ch", false},
        {"C:\\Tools\\brimview", false},      {"C:\\Help.chm\\brimview", false},
        {"C:\\Tools\\brimview.chmΩ", false}, {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsHtmlHelpFile(c.path), c.chm) << c.path;
}

TEST(HelpRouting, CommandsTurnIntoViewerCalls) {
    struct Case {
        unsigned command;
        std::uint32_t data;
        HelpRoute route;
    };
    const HelpRoute none{};
    const Case cases[] = {
        {kHelpContext, 2, {HelpAction::ShowTopic, kHhHelpContext, 2, false, true}},
        {kHelpContext, 16, {HelpAction::ShowTopic, kHhHelpContext, 16, false, true}},
        {kHelpContext, 0xFFFFFFFF, {HelpAction::ShowTopic, kHhHelpContext, 0xFFFFFFFF, false, true}},
        {kHelpContents, 16, {HelpAction::ShowTopic, kHhDisplayTopic, 0, false, true}},
        {kHelpFinder, 2, {HelpAction::ShowTopic, kHhDisplayTopic, 0, false, true}},
        {kHelpContextPopup, 7, {HelpAction::ShowTopic, kHhHelpContext, 7, true, false}},
        {kHelpSetPopupPos, 0x00200010, {HelpAction::SetPopupPosition, 0, 0, false, false}},
        {0, 2, none},
        {2, 2, none},      // HELP_QUIT
        {4, 2, none},      // HELP_HELPONHELP
        {9, 2, none},      // HELP_FORCEFILE
        {0x101, 2, none},  // HELP_KEY
        {0x102, 2, none},  // HELP_COMMAND
    };
    for (const Case& c : cases) EXPECT_EQ(RouteHelpCommand(c.command, c.data), c.route) << c.command;
}

TEST(HelpRouting, PopupPositionIsTwoUnsignedHalves) {
    struct Case {
        std::uint32_t data;
        PopupPosition position;
    };
    const Case cases[] = {
        {0, {0, 0}},
        {0x00100020, {0x20, 0x10}},
        {0xFFFF8000, {0x8000, 0xFFFF}},
        {0x0000FFFF, {0xFFFF, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(PopupPositionFrom(c.data), c.position) << std::hex << c.data;
}

TEST(HelpRouting, ViewerErrorShownOnlyForFailureWithDescription) {
    struct Case {
        std::int32_t hr;
        bool hasDescription;
        bool shown;
    };
    const Case cases[] = {
        {static_cast<std::int32_t>(0x8004020Au), true, true},
        {static_cast<std::int32_t>(0x80000000u), true, true},
        {static_cast<std::int32_t>(0x8004020Au), false, false},
        {0, true, false},
        {1, true, false},
        {0x7FFFFFFF, true, false},
    };
    for (const Case& c : cases) EXPECT_EQ(ShowsViewerError(c.hr, c.hasDescription), c.shown) << std::hex << c.hr;
}

TEST(VersionText, FourUnsignedHalvesWithoutFilling) {
    struct Case {
        std::uint32_t mostSignificant;
        std::uint32_t leastSignificant;
        const char* text;
    };
    const Case cases[] = {
        {0x0001'0000, 0x0001'0000, "1.0.1.0"},
        {0x0002'000A, 0x0000'013B, "2.10.0.315"},
        {0, 0, "0.0.0.0"},
        {0xFFFF'FFFF, 0xFFFF'8000, "65535.65535.65535.32768"},
        {0x8000'0001, 0x0001'8000, "32768.1.1.32768"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatVersion(c.mostSignificant, c.leastSignificant), c.text) << c.text;
}

}  // namespace
}  // namespace brimview
