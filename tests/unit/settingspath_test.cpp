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
        // UTF-8: "\xC3\x96" is Ö, whose second byte starts a double-byte character in code page 932.
        {"C:\\x.y\\\xC3\x96\\brimview", "C:\\x.y\\\xC3\x96\\brimview.ini"},
        {"C:\\Ölçü-José-Ω\\brimview.exe", "C:\\Ölçü-José-Ω\\brimview.ini"},
    };
    for (const Case& c : cases) EXPECT_EQ(IniPathFor(c.executable), c.settings) << c.executable;
}

TEST(SettingsPath, FollowsTheRunningExecutable) {
    fakes::MemoryFileStore files;
    files.executable = "D:\\Apps\\Brimview\\brimview.exe";
    EXPECT_EQ(SettingsFilePath(files), "D:\\Apps\\Brimview\\brimview.ini");
    files.executable = "E:\\brimview";
    EXPECT_EQ(SettingsFilePath(files), "E:\\brimview.ini") << "worked out anew at every call";
}

}  // namespace
}  // namespace brimview
