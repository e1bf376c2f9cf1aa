// The settings file on real files: reading with read sharing only, the one-step replace
// that keeps the old file whole on failure, the executable's path, and the messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "platform/AppError.h"
#include "platform/Handles.h"
#include "platform/Win32FileStore.h"
#include "settings/MemIniFile.h"
#include "settings/SettingsPath.h"

namespace brimview {
namespace {

// Text services of the ANSI code page, enough for these tests.
class AnsiTextServices : public TextServices {
public:
    std::string UpperAnsi(std::string_view text) const override {
        std::string upper(text);
        CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
        return upper;
    }
    std::string LowerAnsi(std::string_view text) const override {
        std::string lower(text);
        CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
        return lower;
    }
    bool IsDoubleByteCodePage() const override {
        CPINFO info{};
        return GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
    }
    bool IsLeadByte(unsigned char byte) const override { return IsDBCSLeadByte(byte) != FALSE; }
    std::string AnsiToUtf8(std::string_view text) const override {
        std::wstring wide(text.size(), L'\0');
        wide.resize(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                        static_cast<int>(wide.size())));
        return Narrow(wide, CP_UTF8);
    }
    std::string Utf16ToAnsi(std::u16string_view text) const override {
        return Narrow(std::wstring(text.begin(), text.end()), CP_ACP);
    }
    static std::string Narrow(const std::wstring& wide, UINT codePage) {
        std::string narrow(wide.size() * 4, '\0');
        narrow.resize(WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(),
                                          static_cast<int>(narrow.size()), nullptr, nullptr));
        return narrow;
    }
};

// Every byte value, line ends and NULs included: what is written must come back exactly.
std::string AllBytes() {
    std::string bytes = "[Display]\r\nSkin=0\r\n\r\n";
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    return bytes;
}

// The hidden and read-only marks of a file, which a save must keep; INVALID_FILE_ATTRIBUTES
// when there is no file.
DWORD Marks(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? attributes
                                                 : attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

UniqueHandle Open(const std::string& path, DWORD access, DWORD sharing, DWORD disposition) {
    HANDLE handle = CreateFileA(path.c_str(), access, sharing, nullptr, disposition, 0, nullptr);
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

void WriteRaw(const std::string& path, std::string_view bytes) {
    UniqueHandle file = Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    DWORD written = 0;
    ASSERT_TRUE(file) << path;
    ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

std::optional<std::string> ReadRaw(const std::string& path) {
    UniqueHandle file = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    if (!file) return std::nullopt;
    std::string bytes(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return std::nullopt;
    bytes.resize(read);
    return bytes;
}

// Another handle on the file, as another process would hold it.
UniqueHandle Hold(const std::string& path, DWORD access, DWORD sharing) {
    UniqueHandle held = Open(path, access, sharing, OPEN_EXISTING);
    EXPECT_TRUE(held) << path;
    return held;
}

// Holds the file without sharing for half a second from now, as a backup program might.
UniqueHandle HoldBriefly(const std::string& path) {
    HANDLE held = Hold(path, GENERIC_READ, 0).release();
    std::thread([held] {
        Sleep(500);
        CloseHandle(held);
    }).detach();
    return UniqueHandle();
}

// A fresh folder under the current one, deleted with everything in it. Its name holds
// a double-byte character whose second byte has the code of "\" where the code page has one.
class ScratchFolder {
public:
    ScratchFolder() {
        std::wstring base(MAX_PATH, L'\0');
        base.resize(GetCurrentDirectoryW(MAX_PATH, base.data()));
        std::wstring wide = base + L"\\filestore_" + std::to_wstring(GetCurrentProcessId());
        BOOL lossy = FALSE;
        const std::wstring table = L"\x8868";  // 表: 0x95 0x5C in code page 932
        WideCharToMultiByte(CP_ACP, 0, table.c_str(), 1, nullptr, 0, nullptr, &lossy);
        if (!lossy) wide += table;
        ansi_ = AnsiTextServices::Narrow(wide, CP_ACP);
        utf8_ = AnsiTextServices::Narrow(wide, CP_UTF8);
        EXPECT_TRUE(CreateDirectoryA(ansi_.c_str(), nullptr)) << utf8_;
    }
    ~ScratchFolder() { Delete(ansi_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Ansi(const char* name) const { return ansi_ + "\\" + name; }
    // The names of everything in the folder.
    std::set<std::string> Entries() const {
        std::set<std::string> names;
        WIN32_FIND_DATAA found{};
        if (HANDLE search = FindFirstFileA((ansi_ + "\\*").c_str(), &found); search != INVALID_HANDLE_VALUE) {
            do {
                if (std::string name = found.cFileName; name != "." && name != "..") names.insert(name);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        return names;
    }
    std::string Utf8(const char* name) const { return utf8_ + "\\" + name; }

private:
    static void Delete(const std::string& path) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            DeleteFileA(path.c_str());
            return;
        }
        WIN32_FIND_DATAA found{};
        if (HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found); search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name != "." && name != "..") Delete(path + "\\" + name);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path.c_str());
    }

    std::string ansi_;
    std::string utf8_;
};

TEST(Win32FileStore, IsFileIsTrueForFilesOnly) {
    ScratchFolder folder;
    const std::string file = folder.Ansi("brimview.ini");
    WriteRaw(file, "[A]\r\n");
    CreateDirectoryA(folder.Ansi("skin").c_str(), nullptr);
    Win32FileStore store;
    struct Case {
        std::string path;
        bool expected;
    };
    const Case cases[] = {
        {folder.Utf8("brimview.ini"), true},  {folder.Utf8("skin"), false},
        {folder.Utf8("absent.ini"), false},   {folder.Utf8("*.ini"), false},
        {folder.Utf8("brimview.in?"), false}, {folder.Utf8("absent\\brimview.ini"), false},
    };
    for (const Case& c : cases) EXPECT_EQ(store.IsFile(c.path), c.expected) << c.path;

    UniqueHandle held = Hold(file, GENERIC_READ, 0);
    EXPECT_TRUE(store.IsFile(folder.Utf8("brimview.ini"))) << "held open without sharing";
    held.reset();
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(store.IsFile(folder.Utf8("brimview.ini"))) << "read-only";
}

TEST(Win32FileStore, ReadsTheWholeFileUnlessSomeoneMayWriteIt) {
    struct Case {
        const char* name;
        std::string content;
        std::function<UniqueHandle(const std::string&)> arrange;  // may hold the file open
        bool readable;
    };
    const auto none = [](const std::string&) { return UniqueHandle(); };
    const Case cases[] = {
        {"every byte value", AllBytes(), none, true},
        {"empty file", "", none, true},
        {"read-only file", AllBytes(),
         [](const std::string& path) {
             EXPECT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
             return UniqueHandle();
         },
         true},
        {"held by another reader", AllBytes(),
         [](const std::string& path) { return Hold(path, GENERIC_READ, FILE_SHARE_READ); }, true},
        {"held without sharing", AllBytes(), [](const std::string& path) { return Hold(path, GENERIC_READ, 0); },
         false},
        {"held without sharing for half a second", AllBytes(), HoldBriefly, true},
        {"held by a writer that shares", AllBytes(),
         [](const std::string& path) { return Hold(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE); }, false},
    };
    Win32FileStore store;
    for (const Case& c : cases) {
        ScratchFolder folder;
        const std::string path = folder.Ansi("brimview.ini");
        WriteRaw(path, c.content);
        UniqueHandle held = c.arrange(path);
        EXPECT_EQ(store.ReadWhole(folder.Utf8("brimview.ini"), WhileHeld::Wait),
                  c.readable ? std::optional(c.content) : std::nullopt)
            << c.name;
    }
    ScratchFolder folder;
    EXPECT_FALSE(store.ReadWhole(folder.Utf8("absent.ini"), WhileHeld::Wait)) << "missing file";
}

TEST(Win32FileStore, ReplaceWritesExactBytesOrKeepsTheOldFileWhole) {
    const std::string oldContent = "[Window]\r\nTop=1\r\n" + std::string(300, 'o');
    struct Case {
        const char* name;
        const char* file;  // within the scratch folder
        std::function<UniqueHandle(const std::string&)> arrange;
        std::string bytes;
        bool replaced;
        std::optional<std::string> after;
        std::set<std::string> entries;  // everything in the folder afterwards
        DWORD marks;                    // of the file afterwards
    };
    const auto old = [&](const std::string& path) {
        WriteRaw(path, oldContent);
        return UniqueHandle();
    };
    const auto oldWith = [&](DWORD attributes) {
        return [&, attributes](const std::string& path) {
            old(path);
            EXPECT_TRUE(SetFileAttributesA(path.c_str(), attributes));
            return UniqueHandle();
        };
    };
    const auto none = [](const std::string&) { return UniqueHandle(); };
    const std::set<std::string> justTheFile = {"brimview.ini"};
    const Case cases[] = {
        {"new file", "brimview.ini", none, AllBytes(), true, AllBytes(), justTheFile, 0},
        {"longer old file is cut to the new bytes", "brimview.ini", old, "[A]\r\n", true, "[A]\r\n", justTheFile, 0},
        {"empty document gives a 0-byte file", "brimview.ini", old, "", true, "", justTheFile, 0},
        {"hidden file stays hidden", "brimview.ini", oldWith(FILE_ATTRIBUTE_HIDDEN), AllBytes(), true, AllBytes(),
         justTheFile, FILE_ATTRIBUTE_HIDDEN},
        {"temporary files of a save ended midway are removed",
         "brimview.ini",
         [&](const std::string& path) {
             for (const char* leftover :
                  {".0123ABCD.tmp", ".89abcdef.new", ".0123ABC.tmp", ".backup.tmp", ".0123ABCD.bak"})
                 WriteRaw(path + leftover, "half-written");
             for (const char* other : {"other.ini.0123ABCD.tmp", "rf1A2B.tmp"})
                 WriteRaw(path.substr(0, path.size() - 12) + other, "another program's");
             return old(path);
         },
         AllBytes(),
         true,
         AllBytes(),
         {"brimview.ini", "brimview.ini.0123ABC.tmp", "brimview.ini.backup.tmp", "brimview.ini.0123ABCD.bak",
          "other.ini.0123ABCD.tmp", "rf1A2B.tmp"},
         0},
        {"a read-only file where a temporary file might go",
         "brimview.ini",
         [&](const std::string& path) {
             WriteRaw(path + ".tmp", "left by an older program");
             EXPECT_TRUE(SetFileAttributesA((path + ".tmp").c_str(), FILE_ATTRIBUTE_READONLY));
             return old(path);
         },
         AllBytes(),
         true,
         AllBytes(),
         {"brimview.ini", "brimview.ini.tmp"},
         0},
        {"held without sharing for half a second", "brimview.ini",
         [&](const std::string& path) {
             old(path);
             return HoldBriefly(path);
         },
         AllBytes(), true, AllBytes(), justTheFile, 0},
        {"read-only file", "brimview.ini", oldWith(FILE_ATTRIBUTE_READONLY), AllBytes(), false, oldContent, justTheFile,
         FILE_ATTRIBUTE_READONLY},
        {"held without sharing", "brimview.ini",
         [&](const std::string& path) {
             old(path);
             return Hold(path, GENERIC_READ, 0);
         },
         AllBytes(), false, oldContent, justTheFile, 0},
        {"held by a reader", "brimview.ini",
         [&](const std::string& path) {
             old(path);
             return Hold(path, GENERIC_READ, FILE_SHARE_READ);
         },
         AllBytes(), false, oldContent, justTheFile, 0},
        {"missing folder", "absent\\brimview.ini", none, AllBytes(), false, std::nullopt, {}, INVALID_FILE_ATTRIBUTES},
    };
    Win32FileStore store;
    for (const Case& c : cases) {
        ScratchFolder folder;
        const std::string path = folder.Ansi(c.file);
        UniqueHandle held = c.arrange(path);
        EXPECT_EQ(store.ReplaceWhole(folder.Utf8(c.file), c.bytes), c.replaced) << c.name;
        held.reset();
        EXPECT_EQ(ReadRaw(path), c.after) << c.name;
        EXPECT_EQ(Marks(path), c.marks) << c.name;
        EXPECT_EQ(folder.Entries(), c.entries) << c.name;
    }

    ScratchFolder folder;
    ASSERT_TRUE(CreateDirectoryA(folder.Ansi("brimview.ini").c_str(), nullptr));
    EXPECT_FALSE(store.ReplaceWhole(folder.Utf8("brimview.ini"), AllBytes())) << "folder at the path";
    EXPECT_FALSE(store.IsFile(folder.Utf8("brimview.ini"))) << "the folder stays";
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"brimview.ini"}) << "folder at the path";
}

// A copy that a save of an older build left is no settings file: it never stands in for one
// the user deleted.
TEST(Win32FileStore, ALeftoverCopyNeverComesBackAsTheSettings) {
    ScratchFolder folder;
    WriteRaw(folder.Ansi("brimview.ini.ABCDEF12.new"), "[Window]\r\nTop=10\r\n");
    Win32FileStore store;
    AnsiTextServices text;
    TMemIniFile(folder.Utf8("brimview.ini"), store, text).Save();
    EXPECT_EQ(ReadRaw(folder.Ansi("brimview.ini")), "");
}

// A folder where nobody may create files. A Windows folder's read-only attribute does not
// forbid that, so under Wine the host's sysfs folder (Z: is the host's root) stands in: it
// refuses new files to every user, root included.
TEST(Win32FileStore, ReadOnlyFolderRefusesTheSave) {
    const std::string readOnly = "Z:\\sys";
    const DWORD attributes = GetFileAttributesA(readOnly.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        GTEST_SKIP() << "no read-only folder on this system";
    }
    const std::string path = readOnly + "\\brimview.ini";
    AnsiTextServices text;
    Win32FileStore store;
    TMemIniFile ini(path, store, text);
    EXPECT_EQ(ini.GetText("Display", "Skin_File", "bg.bmp"), "bg.bmp");
    ini.PutFlag("Display", "Skin", false);
    try {
        ini.Save();
        ADD_FAILURE() << "saved into a read-only folder";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "ファイル Z:\\sys\\brimview.ini を作成できません");
    }
    EXPECT_FALSE(Exists(path));
}

TEST(Win32FileStore, SettingsFileLiesBesideTheExecutable) {
    Win32FileStore store;
    AnsiTextServices text;
    const std::string executable = store.ExecutablePath();
    ASSERT_GT(executable.size(), 16u);
    EXPECT_EQ(text.UpperAnsi(executable.substr(executable.size() - 16)), "\\WIN32_TESTS.EXE");
    EXPECT_TRUE(store.IsFile(executable));
    EXPECT_EQ(SettingsFilePath(store), executable.substr(0, executable.size() - 4) + ".ini");
}

TEST(Win32SettingsFile, OpenAndSaveReportFailuresWithTheFullPath) {
    struct Case {
        const char* name;
        const char* file;
        std::function<UniqueHandle(const std::string&)> arrange;
        const char* message;    // %s: the full path in UTF-8; empty when all goes well
        const char* fileAfter;  // null: no file
    };
    const char* const kOld = "[display]\r\n skin = 1 \r\n";
    const auto old = [&](const std::string& path) {
        WriteRaw(path, kOld);
        return UniqueHandle();
    };
    const Case cases[] = {
        {"saved", "brimview.ini", old, "", "[display]\r\nSkin=0\r\n\r\n"},
        {"held without sharing", "brimview.ini",
         [&](const std::string& path) {
             old(path);
             return Hold(path, GENERIC_READ, 0);
         },
         "ファイル %s は開けません", kOld},
        {"read-only file", "brimview.ini",
         [&](const std::string& path) {
             old(path);
             EXPECT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
             return UniqueHandle();
         },
         "ファイル %s を作成できません", kOld},
        {"held by a reader while saving", "brimview.ini",
         [&](const std::string& path) {
             old(path);
             return Hold(path, GENERIC_READ, FILE_SHARE_READ);
         },
         "ファイル %s を作成できません", kOld},
        {"missing folder", "absent\\brimview.ini", [](const std::string&) { return UniqueHandle(); },
         "ファイル %s を作成できません", nullptr},
    };
    AnsiTextServices text;
    Win32FileStore store;
    for (const Case& c : cases) {
        ScratchFolder folder;
        const std::string path = folder.Ansi(c.file);
        UniqueHandle held = c.arrange(path);
        std::string message;
        try {
            TMemIniFile ini(folder.Utf8(c.file), store, text);
            ini.PutFlag("Display", "Skin", !ini.GetFlag("Display", "Skin", false));
            ini.Save();
        } catch (const AppError& error) {
            message = error.what();
        }
        held.reset();
        EXPECT_EQ(message, *c.message ? FormatMessage1(c.message, folder.Utf8(c.file)) : "") << c.name;
        EXPECT_EQ(ReadRaw(path), c.fileAfter ? std::optional<std::string>(c.fileAfter) : std::nullopt) << c.name;
    }
}

}  // namespace
}  // namespace brimview
