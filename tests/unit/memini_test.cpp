// The settings document: loading, lookup, conversion, writing, removing, saving, failures.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "../support/SettingsFakes.h"
#include "platform/AppError.h"
#include "settings/MemIniFile.h"

namespace brimview {
namespace {

using namespace std::string_literals;  // for texts with NUL bytes

const std::string kPath = "C:\\Tools\\brimview.ini";

struct Fixture {
    fakes::MemoryFileStore files;
    fakes::FakeTextServices text;

    explicit Fixture(const std::string& content) { files.files[kPath] = content; }
    TMemIniFile Open() { return TMemIniFile(kPath, files, text); }
};

// The bytes a document loaded from `content` writes after `change`.
std::string SavedAfter(const std::string& content, const std::function<void(TMemIniFile&)>& change) {
    Fixture fixture(content);
    TMemIniFile ini = fixture.Open();
    change(ini);
    ini.Save();
    return fixture.files.files.at(kPath);
}

std::string Resaved(const std::string& content) {
    return SavedAfter(content, [](TMemIniFile&) {});
}

TEST(MemIniFile, LoadingKeepsSectionsEntriesAndBareLinesOnly) {
    struct Case {
        const char* name;
        std::string content;
        std::string saved;
    };
    const Case cases[] = {
        {"empty file", "", ""},
        {"CR, LF and CR LF end lines", "[A]\rk=1\nj=2\r\nl=3\r\n", "[A]\r\nk=1\r\nj=2\r\nl=3\r\n\r\n"},
        {"a last line without ending counts", "[A]\r\nk=1", "[A]\r\nk=1\r\n\r\n"},
        {"LF CR is two line ends", "[A]\n\rk=1\n\r", "[A]\r\nk=1\r\n\r\n"},
        {"NUL ends the text", "[A]\r\nk=1\0\r\nj=2"s, "[A]\r\nk=1\r\n\r\n"},
        {"NUL inside a header line", "[A\0]\r\n[B]"s, ""},
        {"blanks and control bytes are trimmed", " \t[ A \x01]\x1f\r\n \x7f  k \t=\x02 v w \x0b",
         "[A]\r\n\x7f  k=v w\r\n\r\n"},
        {"value keeps later equals signs", "[A]\r\nk = a = b\r\n", "[A]\r\nk=a = b\r\n\r\n"},
        {"empty name and empty value", "[A]\r\n=\r\n k = \r\n = v\r\n", "[A]\r\n=\r\nk=\r\n=v\r\n\r\n"},
        {"comments and empty lines vanish", "[A]\r\n; note\r\n\r\n  ;k=1\r\n   \r\nk=;v\r\n", "[A]\r\nk=;v\r\n\r\n"},
        {"lines before the first header vanish", "k=1\r\nbare\r\n[A]\r\nj=2\r\n", "[A]\r\nj=2\r\n\r\n"},
        {"duplicate sections and entries stay", "[A]\r\nk=1\r\n[a]\r\nk=2\r\nK=3\r\n",
         "[A]\r\nk=1\r\n\r\n[a]\r\nk=2\r\nK=3\r\n\r\n"},
        {"bare lines stay as read", "[A]\r\n  just  text \r\n[unclosed\r\n", "[A]\r\njust  text\r\n[unclosed\r\n\r\n"},
        {"a lone [ is a bare line", "[A]\r\n[\r\n", "[A]\r\n[\r\n\r\n"},
        {"a lone [ before any header vanishes", "[", ""},
        {"empty and bracketed section names", "[]\r\n[[x]]\r\n[a=b]\r\n", "[]\r\n\r\n[[x]]\r\n\r\n[a=b]\r\n\r\n"},
        {"lower case names keep their case", "[display]\r\n  skin  =  1  \r\n", "[display]\r\nskin=1\r\n\r\n"},
        {"bytes above 127 pass unchanged", "[\x90\xdd\x92\xe8]\r\n\x96\xbc=\x95\x5c\r\n",
         "[\x90\xdd\x92\xe8]\r\n\x96\xbc=\x95\x5c\r\n\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(Resaved(c.content), c.saved) << c.name;
}

// A file as a Unicode editor saves it: the byte-order mark FF FE, then each character as
// two bytes, the low one first.
std::string Utf16File(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) bytes.append({static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)});
    return bytes;
}

TEST(MemIniFile, UnicodeFilesLoadAsAnsiText) {
    struct Case {
        const char* name;
        std::string content;
        std::string saved;
    };
    const Case cases[] = {
        {"a UTF-8 mark before the first header", "\xEF\xBB\xBF[Display]\r\nSkin=1\r\n[Window]\r\nTop=5\r\n",
         "[Display]\r\nSkin=1\r\n\r\n[Window]\r\nTop=5\r\n\r\n"},
        {"a UTF-8 mark alone", "\xEF\xBB\xBF", ""},
        {"a UTF-8 mark elsewhere is text", "[A]\r\nk=\xEF\xBB\xBFv\r\n", "[A]\r\nk=\xEF\xBB\xBFv\r\n\r\n"},
        {"UTF-16", Utf16File(u"[Display]\r\nSkin = 1\r\n[Window]\r\nTop=-5\r\n"),
         "[Display]\r\nSkin=1\r\n\r\n[Window]\r\nTop=-5\r\n\r\n"},
        {"UTF-16 characters beyond ASCII go through the code page", Utf16File(u"[Display]\r\nSkin_File=\u6728.bmp"),
         "[Display]\r\nSkin_File=?.bmp\r\n\r\n"},
        {"UTF-16 ends at a NUL character", Utf16File(std::u16string(u"[A]\r\nk=1\r\n\0j=2", 13)), "[A]\r\nk=1\r\n\r\n"},
        {"an odd last byte of UTF-16 is no character", Utf16File(u"[A]\r\nk=1") + "2", "[A]\r\nk=1\r\n\r\n"},
        {"a UTF-16 mark alone", "\xFF\xFE", ""},
        {"a lone FF is text", "\xFF[A]\r\n[B]\r\n", "[B]\r\n\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(Resaved(c.content), c.saved) << c.name;
}

TEST(MemIniFile, LookupFindsTheLastMatchWithoutLetterCase) {
    struct Case {
        const char* name;
        std::string content;
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"names compare without case", "[display]\r\n  skin  =  1  \r\n", "Display", "Skin", "1"},
        {"blanks around the value go", "[Display]\r\nSkin_File = bg.bmp  \r\n", "Display", "Skin_File", "bg.bmp"},
        {"value is everything after the first =", "[A]\r\nk==x=y\r\n", "A", "k", "=x=y"},
        {"empty value is not the fallback", "[A]\r\nk=\r\n", "A", "k", ""},
        {"later entry of a key wins", "[A]\r\nk=1\r\nK=2\r\nj=3\r\n", "A", "k", "2"},
        {"later section of a name wins", "[A]\r\nk=1\r\n[a]\r\nk=2\r\n", "A", "k", "2"},
        {"earlier section is not searched", "[A]\r\nk=1\r\n[A]\r\nj=2\r\n", "A", "k", "fallback"},
        {"absent section", "[A]\r\nk=1\r\n", "B", "k", "fallback"},
        {"absent key", "[A]\r\nk=1\r\n", "A", "j", "fallback"},
        {"bare line never matches", "[A]\r\nk\r\n", "A", "k", "fallback"},
        {"key of another section", "[A]\r\nk=1\r\n[B]\r\n", "B", "k", "fallback"},
        {"double-byte names", "[\x90\xdd\x92\xe8]\r\n\x83\x61=1\r\n", "\x90\xdd\x92\xe8", "\x83\x61", "1"},
        {"trail bytes are not letters", "[A]\r\n\x83\x61=1\r\n", "A", "\x83\x41", "fallback"},
    };
    for (const Case& c : cases) {
        Fixture fixture(c.content);
        EXPECT_EQ(fixture.Open().GetText(c.section, c.key, "fallback"), c.expected) << c.name;
    }
}

TEST(MemIniFile, IntegerConversionTakesTheWholeTextOrTheFallback) {
    constexpr int kFallback = 77;
    struct Case {
        const char* value;
        int expected;
    };
    const Case cases[] = {
        {"3000", 3000},
        {"0x0BB8", 3000},
        {"0XbB8", 3000},
        {"$BB8", 3000},
        {"$bb8", 3000},
        {"00000000000000000000012", 12},
        {"  12", 12},
        {"+12", 12},
        {"-12", -12},
        {" -$10", -16},
        {"+$ff", 255},
        {"0x1", 1},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"$7FFFFFFF", INT_MAX},
        {"$FFFFFFFF", -1},
        {"$80000000", INT_MIN},
        {"0x000000000000000A", 10},
        {"3000ms", kFallback},
        {"3.5", kFallback},
        {"", kFallback},
        {"12 ", kFallback},
        {"\t12", kFallback},
        {"- 1", kFallback},
        {"+-1", kFallback},
        {"2147483648", kFallback},
        {"-2147483649", kFallback},
        {"99999999999999999999", kFallback},
        {"$100000000", kFallback},
        {"0x", kFallback},
        {"0x-1", kFallback},
        {" 0x10", kFallback},
        {"-0x10", kFallback},
        {"$", kFallback},
        {"-", kFallback},
        {"$-1", kFallback},
        {"$G", kFallback},
        {"1e3", kFallback},
        {"yes", kFallback},
    };
    for (const Case& c : cases) {
        Fixture fixture("");
        TMemIniFile ini = fixture.Open();
        ini.PutText("General", "Interval", c.value);
        EXPECT_EQ(ini.GetInteger("General", "Interval", kFallback), c.expected) << '"' << c.value << '"';
    }
    Fixture fixture("[General]\r\nInterval = 0x0BB8 \r\n");
    EXPECT_EQ(fixture.Open().GetInteger("general", "INTERVAL", kFallback), 3000) << "read from a file";
    EXPECT_EQ(fixture.Open().GetInteger("General", "Absent", kFallback), kFallback) << "absent key";
}

TEST(MemIniFile, FlagIsAnyIntegerOtherThanZero) {
    struct Case {
        std::string content;
        bool fallback;
        bool expected;
    };
    const Case cases[] = {
        {"Skin=1", false, true},  {"Skin=0", true, false},    {"Skin=2", false, true},  {"Skin=-1", false, true},
        {"Skin=$0", true, false}, {"Skin=0x10", false, true}, {"Skin=yes", true, true}, {"Skin=yes", false, false},
        {"Skin=", true, true},    {"Skin=", false, false},    {"Other=0", true, true},  {"Other=1", false, false},
    };
    for (const Case& c : cases) {
        Fixture fixture("[Display]\r\n" + c.content + "\r\n");
        EXPECT_EQ(fixture.Open().GetFlag("Display", "Skin", c.fallback), c.expected)
            << c.content << " with fallback " << c.fallback;
    }
}

TEST(MemIniFile, WritingReplacesTheLastMatchInPlaceOrAppends) {
    struct Case {
        const char* name;
        std::string content;
        std::function<void(TMemIniFile&)> change;
        std::string saved;
    };
    const Case cases[] = {
        {"replaced in place in the caller's case", "[display]\r\n skin = 1 \r\nOn_Top=1\r\n",
         [](TMemIniFile& ini) { ini.PutText("Display", "Skin", "0"); }, "[display]\r\nSkin=0\r\nOn_Top=1\r\n\r\n"},
        {"appended to the end of its section", "[A]\r\nk=1\r\n[B]\r\nj=2\r\n",
         [](TMemIniFile& ini) { ini.PutText("a", "New", "v"); }, "[A]\r\nk=1\r\nNew=v\r\n\r\n[B]\r\nj=2\r\n\r\n"},
        {"new section appended in the caller's case", "[A]\r\nk=1\r\n",
         [](TMemIniFile& ini) { ini.PutText("Window", "Drive", "C"); },
         "[A]\r\nk=1\r\n\r\n[Window]\r\nDrive=C\r\n\r\n"},
        {"only the later duplicate section changes", "[A]\r\nk=1\r\n[A]\r\nj=2\r\n",
         [](TMemIniFile& ini) { ini.PutText("A", "k", "3"); }, "[A]\r\nk=1\r\n\r\n[A]\r\nj=2\r\nk=3\r\n\r\n"},
        {"only the later duplicate entry changes", "[A]\r\nk=1\r\nj=2\r\nk=3\r\n",
         [](TMemIniFile& ini) { ini.PutText("A", "K", "4"); }, "[A]\r\nk=1\r\nj=2\r\nK=4\r\n\r\n"},
        {"a bare line is not an entry", "[A]\r\nk\r\n", [](TMemIniFile& ini) { ini.PutText("A", "k", "v"); },
         "[A]\r\nk\r\nk=v\r\n\r\n"},
        {"empty value", "[A]\r\nk=1\r\n", [](TMemIniFile& ini) { ini.PutText("A", "k", ""); }, "[A]\r\nk=\r\n\r\n"},
        {"integers in decimal", "",
         [](TMemIniFile& ini) {
             ini.PutInteger("W", "Top", -5);
             ini.PutInteger("W", "Left", 0);
             ini.PutInteger("W", "Min", INT_MIN);
             ini.PutInteger("W", "Max", INT_MAX);
         },
         "[W]\r\nTop=-5\r\nLeft=0\r\nMin=-2147483648\r\nMax=2147483647\r\n\r\n"},
        {"flags as 1 and 0", "[D]\r\nOn_Top=yes\r\n",
         [](TMemIniFile& ini) {
             ini.PutFlag("D", "On_Top", true);
             ini.PutFlag("D", "Skin", false);
         },
         "[D]\r\nOn_Top=1\r\nSkin=0\r\n\r\n"},
        {"first start without the skin file", "",
         [](TMemIniFile& ini) {
             ini.PutFlag("Display", "Skin", false);
             ini.RemoveKey("Display", "Skin_File");
         },
         "[Display]\r\nSkin=0\r\n\r\n"},
        {"options confirmed, then closed", "",
         [](TMemIniFile& ini) {
             ini.PutInteger("General", "Interval", 3000);
             ini.PutFlag("General", "Interval_s", true);
             ini.PutFlag("General", "Interval_m", false);
             ini.PutFlag("Display", "Minimized", false);
             ini.PutFlag("Display", "On_Top", false);
             ini.PutFlag("Display", "Transparency", false);
             ini.PutInteger("Display", "Transparent_Position", 255);
             ini.PutFlag("Display", "Skin", true);
             ini.PutText("Display", "Skin_File", "bg.bmp");
             ini.PutFlag("Display", "PanelTransparent", false);
             ini.PutInteger("Window", "Top", 120);
             ini.PutInteger("Window", "Left", -8);
             ini.PutText("Window", "Drive", "C");
         },
         "[General]\r\nInterval=3000\r\nInterval_s=1\r\nInterval_m=0\r\n\r\n"
         "[Display]\r\nMinimized=0\r\nOn_Top=0\r\nTransparency=0\r\nTransparent_Position=255\r\nSkin=1\r\n"
         "Skin_File=bg.bmp\r\nPanelTransparent=0\r\n\r\n"
         "[Window]\r\nTop=120\r\nLeft=-8\r\nDrive=C\r\n\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(SavedAfter(c.content, c.change), c.saved) << c.name;
}

TEST(MemIniFile, RemovingDeletesTheLastMatchOnly) {
    struct Case {
        const char* name;
        std::string content;
        std::string saved;
        const char* readAfter;  // Display/Skin after the removal
    };
    const Case cases[] = {
        {"later duplicate goes, earlier one is read", "[Display]\r\nSkin=1\r\nSkin=0\r\n",
         "[Display]\r\nSkin=1\r\n\r\n", "1"},
        {"section stays when emptied", "[Display]\r\nskin=1\r\n[Window]\r\nTop=1\r\n",
         "[Display]\r\n\r\n[Window]\r\nTop=1\r\n\r\n", "absent"},
        {"bare lines are not removed", "[Display]\r\nSkin\r\n", "[Display]\r\nSkin\r\n\r\n", "absent"},
        {"absent key changes nothing", "[Display]\r\nOn_Top=1\r\n", "[Display]\r\nOn_Top=1\r\n\r\n", "absent"},
        {"absent section is not created", "[Window]\r\nTop=1\r\n", "[Window]\r\nTop=1\r\n\r\n", "absent"},
        {"only the later section is touched", "[Display]\r\nSkin=1\r\n[DISPLAY]\r\nSkin=0\r\n",
         "[Display]\r\nSkin=1\r\n\r\n[DISPLAY]\r\n\r\n", "absent"},
    };
    for (const Case& c : cases) {
        Fixture fixture(c.content);
        TMemIniFile ini = fixture.Open();
        ini.RemoveKey("Display", "Skin");
        EXPECT_EQ(ini.GetText("Display", "Skin", "absent"), c.readAfter) << c.name;
        ini.Save();
        EXPECT_EQ(fixture.files.files.at(kPath), c.saved) << c.name;
    }
}

TEST(MemIniFile, OnlySaveWritesAndItWritesTheWholeDocument) {
    Fixture fixture("[A]\r\nk=1\r\n");
    {
        TMemIniFile ini = fixture.Open();
        ini.PutText("A", "k", "2");
        ini.RemoveKey("A", "k");
    }
    EXPECT_EQ(fixture.files.files.at(kPath), "[A]\r\nk=1\r\n") << "discarded without Save";

    fakes::MemoryFileStore files;
    fakes::FakeTextServices text;
    TMemIniFile empty(kPath, files, text);
    EXPECT_EQ(empty.Path(), kPath);
    empty.Save();
    ASSERT_TRUE(files.files.contains(kPath)) << "a missing file is created";
    EXPECT_EQ(files.files.at(kPath), "") << "an empty document gives a 0-byte file";
}

TEST(MemIniFile, FailuresReportTheFullPath) {
    struct Case {
        const char* name;
        std::function<void(fakes::MemoryFileStore&)> arrange;
        std::function<void(fakes::MemoryFileStore&, const TextServices&)> act;
        const char* message;  // empty: no failure
        const char* fileAfter;
    };
    const char* const kOld = "[A]\r\nk=1\r\n";
    const auto openAndSave = [](fakes::MemoryFileStore& files, const TextServices& text) {
        TMemIniFile ini(kPath, files, text);
        ini.PutText("A", "k", "2");
        ini.Save();
    };
    const Case cases[] = {
        {"unreadable file", [](fakes::MemoryFileStore& files) { files.unreadable.insert(kPath); }, openAndSave,
         "ファイル C:\\Tools\\brimview.ini は開けません", kOld},
        {"file that cannot be replaced", [](fakes::MemoryFileStore& files) { files.failWrites = true; }, openAndSave,
         "ファイル C:\\Tools\\brimview.ini を作成できません", kOld},
        {"readable and replaceable", [](fakes::MemoryFileStore&) {}, openAndSave, "", "[A]\r\nk=2\r\n\r\n"},
    };
    for (const Case& c : cases) {
        fakes::MemoryFileStore files;
        fakes::FakeTextServices text;
        files.files[kPath] = kOld;
        c.arrange(files);
        std::string message;
        try {
            c.act(files, text);
        } catch (const AppError& error) {
            message = error.what();
        }
        EXPECT_EQ(message, c.message) << c.name;
        EXPECT_EQ(files.files.at(kPath), c.fileAfter) << c.name;
    }
}

TEST(MemIniFile, MissingFileOrFolderGivesAnEmptyDocument) {
    fakes::MemoryFileStore files;
    fakes::FakeTextServices text;
    files.folders.insert(kPath);
    TMemIniFile folder(kPath, files, text);
    EXPECT_EQ(folder.GetText("A", "k", "default"), "default");
    EXPECT_EQ(folder.GetInteger("A", "k", -3), -3);
    EXPECT_TRUE(folder.GetFlag("A", "k", true));
    EXPECT_EQ(files.reads, 0) << "a folder is never read as a file";
    EXPECT_THROW(folder.Save(), AppError) << "a folder cannot be replaced";
}

// Inputs no settings file should hold; each must load, and saving what was loaded must be
// stable: a second load and save gives the same bytes.
TEST(MemIniFile, AnyBytesLoadAndSaveStably) {
    std::string binary;
    unsigned state = 12345;
    for (int i = 0; i < 1 << 20; ++i) {
        state = state * 1103515245u + 12345u;
        binary += static_cast<char>(state >> 23);
    }
    std::string tenMegabytes = "[General]\r\n";
    while (tenMegabytes.size() < 10u << 20) tenMegabytes += "Interval=" + std::to_string(tenMegabytes.size()) + "\r\n";
    tenMegabytes += "Interval=42\r\n";
    const std::string longValue(3u << 20, 'v');

    struct Case {
        const char* name;
        std::string content;
        const char* section;
        const char* key;
        std::string expected;
    };
    const Case cases[] = {
        {"random bytes", binary, "A", "k", "absent"},
        {"bytes with NULs everywhere", std::string(1000, '\0') + "[A]\r\nk=1", "A", "k", "absent"},
        {"a 10 MB file", tenMegabytes, "General", "Interval", "42"},
        {"a line of megabytes", "[A]\r\nk=" + longValue + "\r\n", "A", "k", longValue},
        {"a header of megabytes", "[" + longValue + "]\r\nk=1", longValue.c_str(), "k", "1"},
        {"megabytes of line ends", "[A]" + std::string(1u << 20, '\r') + std::string(1u << 20, '\n') + "k=1", "A", "k",
         "1"},
        {"a lone [", "[", "[", "k", "absent"},
        {"only brackets", std::string(1u << 20, '['), "A", "k", "absent"},
    };
    for (const Case& c : cases) {
        Fixture fixture(c.content);
        TMemIniFile first = fixture.Open();
        EXPECT_EQ(first.GetText(c.section, c.key, "absent"), c.expected) << c.name;
        first.Save();
        const std::string saved = fixture.files.files.at(kPath);
        fixture.Open().Save();
        EXPECT_EQ(fixture.files.files.at(kPath), saved) << c.name;
    }
}

}  // namespace
}  // namespace brimview
