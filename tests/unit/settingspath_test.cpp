// Where the settings file lies, from the executable's path.
#include <gtest/gtest.h>

#include "../support/SettingsFakes.h"
#include "settings/SettingsPath.h"

namespace brimview {
namespace {

TEST(SettingsPath, ExtensionIsReplacedOrIniAppended) {
    struct Case {
        const char* executable;
        const char* settings;
    };
    const Case cases[] = {
        {"C:\\Tools\\brimview.exe", "C:\\Tools\\brimview.ini"},
        {"C:\\Tools\\brimview.old.exe", "C:\\Tools\\brimview.old.ini"},
        {"C:\\Tools\\brimview", "C:\\Tools\\brimview.ini"},
        {"C:\\My.Tools\\brimview", "C:\\My.Tools\\brimview.ini"},
        {"C:\\Tools\\brimview.", "C:\\Tools\\brimview.ini"},
        {"C:\\Tools\\.exe", "C:\\Tools\\.ini"},
        {"C:brimview", "C:brimview.ini"},
        {"A.B:brimview", "A.B:brimview.ini"},
        {"brimview.exe", "brimview.ini"},
        {"", ".ini"},
        // Shift-JIS: 0x95 0x5C is one character whose second byte has the code of "\".
        {"C:\\\x95\x5c\\brimview.exe", "C:\\\x95\x5c\\brimview.ini"},
        {"C:\\Tools\\brim.v\x95\x5cw", "C:\\Tools\\brim.ini"},
        {"C:\\x.y\\\x95\x5c", "C:\\x.y\\\x95\x5c.ini"},
    };
    fakes::FakeTextServices text;
    for (const Case& c : cases) EXPECT_EQ(IniPathFor(c.executable, text), c.settings) << c.executable;
}

TEST(SettingsPath, FollowsTheRunningExecutable) {
    fakes::MemoryFileStore files;
    fakes::FakeTextServices text;
    files.executable = "D:\\Apps\\Brimview\\brimview.exe";
    EXPECT_EQ(SettingsFilePath(files, text), "D:\\Apps\\Brimview\\brimview.ini");
    files.executable = "E:\\brimview";
    EXPECT_EQ(SettingsFilePath(files, text), "E:\\brimview.ini") << "worked out anew at every call";
}

}  // namespace
}  // namespace brimview
