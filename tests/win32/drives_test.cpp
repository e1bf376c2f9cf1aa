#include "platform/Win32Drives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "../support/QueryTesting.h"
#include "monitor/DriveSelector.h"
#include "monitor/Readout.h"
#include "platform/Win32TextServices.h"

namespace brimview {
namespace {

struct Bytes {
    std::int64_t size = -1;
    std::int64_t free = -1;
    bool operator==(const Bytes&) const = default;
};

Bytes AskSystem(const char* root) {
    ULARGE_INTEGER available{}, total{};
    if (!GetDiskFreeSpaceExA(root, &available, &total, nullptr)) return {};
    return {static_cast<std::int64_t>(total.QuadPart), static_cast<std::int64_t>(available.QuadPart)};
}

// The number a unit text shows, times its unit.
long double TextBytes(const std::string& text) {
    char* unit = nullptr;
    const long double number = std::strtold(text.c_str(), &unit);
    const std::string name(unit);
    const char* const units[] = {" Bytes", " KB", " MB", " GB", " TB", " PB", " EB"};
    for (int step = 0; step < 7; ++step)
        if (name == units[step]) return std::ldexp(number, 10 * step);
    ADD_FAILURE() << "no unit in " << text;
    return -1;
}

// A letter that names no drive of this machine.
char MissingDrive() {
    const DWORD mask = GetLogicalDrives();
    for (int n = 25; n >= 0; --n)
        if ((mask >> n & 1) == 0) return static_cast<char>('A' + n);
    return 0;
}

TEST(Win32Drives, RefreshAgreesWithTheSystemsBytes) {
    Win32DiskSpace disks;
    for (const char letter : {'C', 'Z'}) {
        SCOPED_TRACE(std::string(1, letter) + ":");
        const std::string root{letter, ':', '\\'};
        // The host's free space may move while the test runs: retry until it holds still.
        Readout readout;
        Bytes before, after;
        for (int attempt = 0; attempt < 5; ++attempt) {
            before = AskSystem(root.c_str());
            readout = RefreshReadout(letter, disks, '.');
            after = AskSystem(root.c_str());
            if (before == after) break;
        }
        ASSERT_EQ(before, after) << "free space kept changing";
        ASSERT_GT(before.size, 0);
        // Each text is its count to two decimals of its unit, and the bar counts whole MB.
        const long double size = TextBytes(readout.sizeText), free = TextBytes(readout.freeText);
        EXPECT_LE(std::fabs(size - before.size), 0.005L * size / std::strtold(readout.sizeText.c_str(), nullptr));
        if (before.free > 0) {
            EXPECT_LE(std::fabs(free - before.free), 0.005L * free / std::strtold(readout.freeText.c_str(), nullptr));
        }
        if (before.size / 1048576 <= INT32_MAX) {
            EXPECT_EQ(readout.barMax, before.size / 1048576);
            EXPECT_EQ(readout.barPosition, (before.size - before.free) / 1048576);
        }
        const long double used = 100.0L * (before.size - before.free) / before.size;
        EXPECT_LE(std::fabs(std::strtold(readout.usedText.c_str(), nullptr) - used), 0.05L) << readout.usedText;
    }
}

TEST(Win32Drives, QueriesFailForMissingDrivesAndNumberZeroIsTheCurrentDrive) {
    const char missing = MissingDrive();
    ASSERT_NE(missing, 0);
    char directory[MAX_PATH + 1] = "";
    ASSERT_NE(GetCurrentDirectoryA(sizeof directory, directory), 0u);
    Win32DiskSpace extended;
    Win32DiskSpace clusters = Win32DiskSpace::ClusterQueryOnly();
    for (DiskSpace* disks : {static_cast<DiskSpace*>(&extended), static_cast<DiskSpace*>(&clusters)}) {
        EXPECT_EQ(disks->QueryDiskSize(DriveNumber(missing)), -1);
        EXPECT_EQ(disks->QueryDiskFree(DriveNumber(missing)), -1);
        EXPECT_EQ(RefreshReadout(missing, *disks, '.').sizeText, " - ");
        const std::int64_t size = disks->QueryDiskSize(DriveNumber('C'));
        const std::int64_t free = disks->QueryDiskFree(DriveNumber('C'));
        EXPECT_GT(size, 0);
        EXPECT_GE(free, 0);
        EXPECT_LE(free, size);
        EXPECT_EQ(disks->QueryDiskSize(0), disks->QueryDiskSize(DriveNumber(directory[0])));
    }
    // The cluster counts give the same total as the 64-bit query.
    EXPECT_EQ(clusters.QueryDiskSize(DriveNumber('C')), extended.QueryDiskSize(DriveNumber('C')));
}

TEST(Win32Drives, ListHoldsTheFixedDrivesCAndZ) {
    const auto catalog = std::make_shared<Win32DriveCatalog>();
    Win32TextServices text;
    const std::uint32_t mask = catalog->LogicalDrives();
    EXPECT_TRUE(mask >> 2 & 1);
    EXPECT_TRUE(mask >> 25 & 1);
    test::QueriesInPlace queries;
    DriveSelectorModel model(queries, catalog, text, 'C');
    model.SetTextCase(TTextCase::tcUpperCase);
    model.WindowCreated();
    bool c = false, z = false;
    for (const DriveItem& item : model.Items()) {
        const std::string start = item.text.substr(0, 4);
        if (start == "C: [") c = item.kind == DriveKind::Fixed;
        if (start == "Z: [") z = item.kind == DriveKind::Fixed;
    }
    EXPECT_TRUE(c && z) << "C: and Z: are fixed drives with a bracketed label";
    ASSERT_GE(model.SelectedIndex(), 0);
    EXPECT_EQ(model.Items()[model.SelectedIndex()].text[0], 'C');
}

TEST(Win32Drives, LabelAndSpaceQueriesPutTheThreadsErrorModeBack) {
    Win32DriveCatalog catalog;
    Win32DiskSpace disks;
    const char missing = MissingDrive();
    const std::string missingRoot{missing, ':', '\\'};
    const std::function<void()> queries[] = {
        [&] { EXPECT_EQ(catalog.VolumeLabel(missingRoot), ""); },  // the failing paths
        [&] { EXPECT_EQ(disks.QueryDiskSize(DriveNumber(missing)), -1); },
        [&] { catalog.VolumeLabel("C:\\"); },
        [&] { disks.QueryDiskFree(DriveNumber('C')); },
    };
    const DWORD mode = SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX;
    DWORD original = 0;
    ASSERT_TRUE(SetThreadErrorMode(mode, &original));
    const UINT processMode = GetErrorMode();
    for (const auto& query : queries) {
        query();
        EXPECT_EQ(GetThreadErrorMode(), mode);
        EXPECT_EQ(GetErrorMode(), processMode) << "the mode of the process is left alone";
    }
    SetThreadErrorMode(original, nullptr);
}

TEST(Win32TextServices, ServesTheAnsiCodePage) {
    Win32TextServices text;
    EXPECT_EQ(text.UpperAnsi("abc:\\x"), "ABC:\\X");
    EXPECT_EQ(text.LowerAnsi("ABC:\\X"), "abc:\\x");
    EXPECT_EQ(text.AnsiToUtf8("Drive C"), "Drive C");
    EXPECT_EQ(text.AnsiToUtf8(""), "");
    EXPECT_EQ(text.IsDoubleByteCodePage(), GetACP() == 932);
    if (GetACP() != 932) GTEST_SKIP() << "the Japanese checks need code page 932";
    EXPECT_TRUE(text.IsLeadByte(0x83));
    EXPECT_FALSE(text.IsLeadByte('a'));
    EXPECT_EQ(text.AnsiToUtf8("\x83\x41"), "\xE3\x82\xA2");  // katakana a
    // The drive list folds around the double-byte character whose trail byte is an "a".
    EXPECT_EQ(FoldCase("x\x83\x61y", TTextCase::tcUpperCase, text), "X\x83\x61Y");
}

TEST(Win32TextServices, DecimalSeparatorIsTheLocales) {
    const LANGID language = PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID()));
    if (language != LANG_JAPANESE && language != LANG_ENGLISH) GTEST_SKIP() << "a locale of unknown separator";
    EXPECT_EQ(DecimalSeparator(), '.');
}

}  // namespace
}  // namespace brimview
