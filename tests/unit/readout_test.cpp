#include "monitor/Readout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <latch>
#include <limits>
#include <memory>
#include <mutex>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "../support/QueryTesting.h"

namespace brimview {
namespace {

constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();

long double Exact(std::int64_t integer) {
    return static_cast<long double>(integer);
}

TEST(FormatFixed, RoundsThenCutsHalfUp) {
    struct Case {
        long double value;
        int precision;
        int digits;
        char separator;
        const char* expected;
    };
    const Case cases[] = {
        {1.125L, 7, 2, '.', "1.13"},  // a half rounds away from zero
        {0.125L, 7, 2, '.', "0.13"},
        {-1.125L, 7, 2, '.', "-1.13"},
        {1.0L, 7, 2, '.', "1.00"},
        {0.0L, 7, 2, '.', "0.00"},
        {-0.0L, 7, 2, '.', "0.00"},
        {100.0L, 3, 1, '.', "100.0"},  // places beyond the kept digits read 0
        {12.3456L, 3, 2, '.', "12.30"},
        {12.3556L, 3, 2, '.', "12.40"},
        {9.996L, 3, 2, '.', "10.00"},       // the carry adds an integer digit
        {99.96L, 3, 1, '.', "100.0"},       // and may leave no decimal kept
        {0.012345L, 3, 5, '.', "0.01230"},  // significant digits count from the first non-zero one
        {0.006L, 7, 2, '.', "0.01"},        // a first significant digit right after the cut rounds up
        {0.004L, 7, 2, '.', "0.00"},
        {0.0001L, 7, 2, '.', "0.00"},        // further below the cut it is gone
        {-0.001L, 7, 2, '.', "0.00"},        // no sign on a value that reads as zero
        {1234.5678L, 3, 2, '.', "1235.00"},  // an integer part is never cut
        {74.5212345L, 7, 2, ',', "74,52"},
        // 1.125 - 2^-62 is 1.12499999999999999978...: at 18 significant digits it is 1.125,
        // which the cut then rounds up.
        {1.125L - std::ldexp(1.0L, -62), 7, 2, '.', "1.13"},
        {1.125L - std::ldexp(1.0L, -52), 7, 2, '.', "1.12"},
        // Exact halves at the 19th significant digit go to the even 18th.
        {Exact(1'000'000'000'000'000'005), 20, 1, '.', "1000000000000000000.0"},
        {Exact(1'000'000'000'000'000'015), 20, 1, '.', "1000000000000000020.0"},
        {1234567890123456.125L, 19, 3, '.', "1234567890123456.120"},
        {1234567890123456.375L, 19, 3, '.', "1234567890123456.380"},
        {Exact(kInt64Max), 19, 1, '.', "9223372036854775810.0"},
        {1e30L, 7, 2, '.', "1000000000000000000000000000000.00"},
        {std::numeric_limits<long double>::denorm_min(), 7, 2, '.', "0.00"},
        {std::numeric_limits<long double>::infinity(), 7, 2, '.', "INF"},
        {-std::numeric_limits<long double>::infinity(), 7, 2, '.', "-INF"},
        {std::numeric_limits<long double>::quiet_NaN(), 7, 2, '.', "NAN"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.precision, c.digits, c.separator), c.expected)
            << "value " << static_cast<double>(c.value) << " precision " << c.precision << " digits " << c.digits;
}

TEST(UnitText, ClimbsTheLadderAtEachPowerOf1024) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {-1, "0 Byte"},
        {0, "0 Byte"},
        {1, "1.00 Bytes"},
        {1023, "1023.00 Bytes"},
        {1024, "1.00 KB"},
        {1152, "1.13 KB"},
        {1'048'575, "1024.00 KB"},
        {1'048'576, "1.00 MB"},
        {1'457'664, "1.39 MB"},
        {1'073'741'823, "1024.00 MB"},
        {1'073'741'824, "1.00 GB"},
        {80'015'491'072, "74.52 GB"},
        {(std::int64_t{1} << 40) - 1, "1024.00 GB"},
        {std::int64_t{1} << 40, "1.00 TB"},
        {2'000'000'000'000, "1.82 TB"},
        {std::int64_t{1} << 50, "1.00 PB"},
        {std::int64_t{1} << 60, "1.00 EB"},
        {kInt64Max, "8.00 EB"},
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(UnitText(bytes, '.'), expected) << bytes << " bytes";
    EXPECT_EQ(UnitText(80'015'491'072, ','), "74,52 GB");
}

TEST(DriveNumber, IsTheLettersCodeMinus64) {
    const std::pair<char, int> cases[] = {{'A', 1}, {'C', 3}, {'Z', 26}, {'@', 0}, {'a', 33}, {'\0', 192}};
    for (const auto& [letter, number] : cases) EXPECT_EQ(DriveNumber(letter), number) << int{letter};
}

struct Expected {
    const char* size;
    const char* free;
    const char* used;
    std::optional<std::int32_t> max;
    std::int32_t position;
};

void ExpectReadout(const Readout& r, const Expected& e) {
    EXPECT_EQ(r.sizeText, e.size);
    EXPECT_EQ(r.freeText, e.free);
    EXPECT_EQ(r.usedText, e.used);
    EXPECT_EQ(r.barMax, e.max);
    EXPECT_EQ(r.barPosition, e.position);
}

const Expected kNotReady{" - ", " - ", " - %", std::nullopt, 0};

TEST(ComputeReadout, WorkedExamplesAndEdges) {
    struct Case {
        std::int64_t size;
        std::int64_t free;
        char separator;
        Expected expected;
    };
    const Case cases[] = {
        {80'015'491'072, 35'000'000'000, '.', {"74.52 GB", "32.60 GB", "56.3 %", 76'308, 42'930}},
        {80'015'491'072, 35'000'000'000, ',', {"74,52 GB", "32,60 GB", "56,3 %", 76'308, 42'930}},
        {4'294'967'296, 3'221'225'477, '.', {"4.00 GB", "3.00 GB", "25.0 %", 4'096, 1'023}},
        {1'457'664, 1'457'664, '.', {"1.39 MB", "1.39 MB", "0.0 %", 1, 0}},
        {1'457'664, 1'456'640, '.', {"1.39 MB", "1.39 MB", "0.1 %", 1, 0}},
        {20'003'880'960, 0, '.', {"18.63 GB", "0 Byte", "100.0 %", 19'077, 19'077}},
        {1'152, 0, '.', {"1.13 KB", "0 Byte", "100.0 %", 0, 0}},
        {1'048'575, 1'023, '.', {"1024.00 KB", "1023.00 Bytes", "99.9 %", 0, 0}},
        {10'000, 4, '.', {"9.77 KB", "4.00 Bytes", "100.0 %", 0, 0}},  // 99.96 %
        {10'000, 9'996, '.', {"9.77 KB", "9.76 KB", "0.0 %", 0, 0}},   // 0.04 %
        {10'000, 9'995, '.', {"9.77 KB", "9.76 KB", "0.1 %", 0, 0}},   // 0.05 %
        {2'000'000'000'000, 500'000'000'000, '.', {"1.82 TB", "465.66 GB", "75.0 %", 1'907'348, 1'430'511}},
        // MB counts beyond 32 bits count in larger steps, in proportion.
        {std::int64_t{1} << 52, std::int64_t{1} << 50, '.', {"4.00 PB", "1.00 PB", "75.0 %", 1 << 30, 3 << 28}},
        {kInt64Max, 0, '.', {"8.00 EB", "0 Byte", "100.0 %", 2'147'483'647, 2'147'483'647}},
        {std::int64_t{2'147'483'647} << 20, 0, '.', {"2.00 PB", "0 Byte", "100.0 %", 2'147'483'647, 2'147'483'647}},
        {-1, -1, '.', kNotReady},  // the size query failed
        {-1, 5'000, '.', kNotReady},
        {0, 0, '.', kNotReady},                // a drive that reports no bytes
        {80'015'491'072, -1, '.', kNotReady},  // the free query failed after the size query
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << " free " << c.free);
        const Readout r = ComputeReadout(c.size, c.free, c.separator);
        ExpectReadout(r, c.expected);
        // The counts behind it are the drive's own; a drive not ready has none, so never warns.
        ASSERT_EQ(r.bytes.has_value(), c.expected.max.has_value());
        if (r.bytes) {
            EXPECT_EQ(std::pair(r.bytes->size, r.bytes->free), std::pair(c.size, c.free));
        }
    }
}

// Answers from a table by drive number and keeps a log of the queries in order; throws while
// told to fail.
class FakeDiskSpace : public DiskSpace {
public:
    std::map<int, std::pair<std::int64_t, std::int64_t>> drives;  // size, free
    std::vector<std::string> log;
    bool fails = false;

    std::int64_t QueryDiskSize(int drive) override {
        if (fails) throw std::runtime_error("drive gone");
        log.push_back("size " + std::to_string(drive));
        return drives.contains(drive) ? drives[drive].first : -1;
    }
    std::int64_t QueryDiskFree(int drive) override {
        log.push_back("free " + std::to_string(drive));
        return drives.contains(drive) ? drives[drive].second : -1;
    }
};

TEST(RefreshReadout, AsksForSizeThenFreeOfTheSelectedDrive) {
    struct Case {
        char selected;
        std::vector<std::string> queries;
        Expected expected;
    };
    const Case cases[] = {
        {'C', {"size 3", "free 3"}, {"74.52 GB", "32.60 GB", "56.3 %", 76'308, 42'930}},
        {'Z', {"size 26", "free 26"}, {"1.39 MB", "1.39 MB", "0.0 %", 1, 0}},
        {'D', {"size 4", "free 4"}, kNotReady},  // no medium
        {'E', {"size 5", "free 5"}, kNotReady},  // the free query fails
        {'\0', {}, kNotReady},                   // no drive: nothing is asked
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "drive " << int{c.selected});
        FakeDiskSpace disks;
        disks.drives = {{3, {80'015'491'072, 35'000'000'000}}, {5, {1'000'000, -1}}, {26, {1'457'664, 1'457'664}}};
        ExpectReadout(RefreshReadout(c.selected, disks, '.'), c.expected);
        EXPECT_EQ(disks.log, c.queries);
    }
}

// Drives whose space queries wait at a gate, one per drive, until the test opens it.
class GatedDisks : public DiskSpace {
public:
    explicit GatedDisks(std::map<int, std::pair<std::int64_t, std::int64_t>> drives) : drives_(std::move(drives)) {
        for (const auto& [drive, bytes] : drives_) gates_.try_emplace(drive, 1);
    }
    void Open(char letter) { gates_.at(DriveNumber(letter)).count_down(); }
    int Asked(char letter) {
        const std::lock_guard lock(mutex_);
        return asked_[DriveNumber(letter)];
    }
    std::int64_t QueryDiskSize(int drive) override { return Pass(drive).first; }
    std::int64_t QueryDiskFree(int drive) override { return Pass(drive).second; }

private:
    std::pair<std::int64_t, std::int64_t> Pass(int drive) {
        {
            const std::lock_guard lock(mutex_);
            ++asked_[drive];
        }
        gates_.at(drive).wait();
        return drives_.at(drive);
    }

    const std::map<int, std::pair<std::int64_t, std::int64_t>> drives_;
    std::map<int, std::latch> gates_;
    std::mutex mutex_;
    std::map<int, int> asked_;
};

TEST(ReadoutRefresher, ShowsOnlyAnswersForTheDriveItNamesAndNeverAsksTwiceAtOnce) {
    test::WokenQueries queries;
    auto disks = std::make_shared<GatedDisks>(std::map<int, std::pair<std::int64_t, std::int64_t>>{
        {3, {80'015'491'072, 35'000'000'000}}, {4, {1'457'664, 1'457'664}}});
    std::vector<std::string> shown;  // the size texts, one per readout shown
    ReadoutRefresher refresher(queries.threads, disks, '.',
                               [&shown](const Readout& r) { shown.push_back(r.sizeText); });

    refresher.Refresh('C');  // C: hangs
    EXPECT_EQ(shown, std::vector<std::string>{" - "});
    refresher.Refresh('C');  // a tick while C:'s queries are out
    refresher.Refresh('D');  // another drive picked: not ready until it answers
    EXPECT_EQ(shown, (std::vector<std::string>{" - ", " - "}));
    disks->Open('C');
    queries.RunAnswers(1);  // C:'s late answer is not D:'s
    EXPECT_EQ(shown, (std::vector<std::string>{" - ", " - "}));
    disks->Open('D');
    queries.RunAnswers(1);
    refresher.Refresh('D');  // a tick: D:'s values stay while it is asked again
    queries.RunAnswers(1);
    EXPECT_EQ(shown, (std::vector<std::string>{" - ", " - ", "1.39 MB", "1.39 MB"}));
    refresher.Refresh('C');
    queries.RunAnswers(1);
    refresher.Refresh('\0');  // no drive: nothing to ask
    EXPECT_EQ(shown, (std::vector<std::string>{" - ", " - ", "1.39 MB", "1.39 MB", " - ", "74.52 GB", " - "}));
    // Two queries a refresh: one refresh of C: while it hung, one after; two of D:.
    EXPECT_EQ(disks->Asked('C'), 4);
    EXPECT_EQ(disks->Asked('D'), 4);
}

TEST(ReadoutRefresher, AFailedRefreshShowsNotReadyAndTheNextAsksAgain) {
    test::HeldQueries queries;
    auto disks = std::make_shared<FakeDiskSpace>();
    disks->drives = {{3, {80'015'491'072, 35'000'000'000}}};
    std::vector<std::string> shown;
    ReadoutRefresher refresher(queries, disks, '.', [&shown](const Readout& r) { shown.push_back(r.sizeText); });
    refresher.Refresh('\0');
    EXPECT_EQ(queries.Held(), 0u) << "no drive: nothing to ask";
    disks->fails = true;
    refresher.Refresh('C');
    refresher.Refresh('C');
    EXPECT_EQ(queries.Held(), 1u);
    EXPECT_THROW(queries.Settle(), std::runtime_error);
    disks->fails = false;
    refresher.Refresh('C');  // the next tick
    queries.Settle();
    EXPECT_EQ(shown, (std::vector<std::string>{" - ", " - ", " - ", "74.52 GB"}));
}

}  // namespace
}  // namespace brimview
