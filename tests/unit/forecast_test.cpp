#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "monitor/Forecast.h"

namespace brimview {
namespace {

constexpr std::int64_t kMB = 1 << 20, kHour = 3600, kTotal = 16 * kMB;
constexpr std::int64_t kNow = 1'796'000'000;  // about 2026-12-01

TEST(Forecast, FromTheDrivesRowsAfterItsLastCleanUpWithoutItsBigCopies) {
    const auto falling = [](double mbPerDay) {
        return
            [mbPerDay](std::int64_t age) { return 8 * kMB + static_cast<std::int64_t>(age * mbPerDay * kMB / kDay); };
    };
    const auto steady = falling(2);
    struct Case {
        const char* what;
        std::int64_t span,
            every;  // rows over the last `span` seconds, one each `every` (a fall by more than 1 % is a step)
        std::function<std::int64_t(std::int64_t)> free;  // free bytes `age` seconds ago
        std::int64_t freeNow;
        const wchar_t* want;
        std::int64_t total = kTotal;
    };
    const Case cases[] = {
        {"2 MB a day, 6 MB left", 3 * kDay, 1 * kHour, steady, 6 * kMB, L"約 3 日"},
        {"a 4 MB copy halfway is a step, not rate", 3 * kDay, 1 * kHour,
         [&](std::int64_t age) { return steady(age) + (age > 36 * kHour ? 4 * kMB : 0); }, 6 * kMB, L"約 3 日"},
        {"a clean-up 6 h ago restarts the trend", 3 * kDay, 1 * kHour,
         [&](std::int64_t age) { return steady(age) - (age > 6 * kHour ? 4 * kMB : 0); }, 6 * kMB, L"-"},
        {"the trend after a clean-up 2 days ago", 4 * kDay, 1 * kHour,
         [&](std::int64_t age) { return age > 2 * kDay ? falling(3)(age) - 8 * kMB : steady(age); }, 6 * kMB,
         L"約 3 日"},
        {"a rise since the last row", 3 * kDay, 1 * kHour, steady, 8 * kMB + kMB / 2, L"-"},
        {"flat", 3 * kDay, 1 * kHour, [](std::int64_t) { return 8 * kMB; }, 8 * kMB, L"-"},
        {"rising slowly", 3 * kDay, 1 * kHour, falling(-1), 8 * kMB, L"-"},
        {"noisy, with one outlier", 3 * kDay, 1 * kHour,
         [&](std::int64_t age) {
             return steady(age) + (age / kHour % 2 ? 30'000 : -30'000) - (age == 5 * kHour ? 120'000 : 0);
         },
         6 * kMB, L"約 3 日"},
        {"23 hours of rows", 23 * kHour, 1 * kHour, steady, 6 * kMB, L"-"},
        {"11 rows over 30 hours", 30 * kHour, 3 * kHour, falling(1), 3 * kMB, L"-"},
        {"12 rows over 33 hours", 33 * kHour, 3 * kHour, falling(1), 3 * kMB, L"約 3 日"},
        {"366 days away", 3 * kDay, 1 * kHour, falling(6.0 / 366), 6 * kMB, L"-"},
        {"364 days away", 3 * kDay, 1 * kHour, falling(6.0 / 364), 6 * kMB, L"約 360 日"},
        {"18 hours", 3 * kDay, 1 * kHour, steady, 3 * kMB / 2, L"約 18 時間"},
        {"just under 48 hours", 3 * kDay, 1 * kHour, steady, 4 * kMB - 1000, L"約 48 時間"},
        {"48 hours", 3 * kDay, 1 * kHour, steady, 4 * kMB, L"約 2 日"},
        {"154 days", 3 * kDay, 1 * kHour, [&](std::int64_t age) { return steady(age) / 2 + 150 * kMB; }, 154 * kMB,
         L"約 150 日", 1024 * kMB},
        {"155 days", 3 * kDay, 1 * kHour, [&](std::int64_t age) { return steady(age) / 2 + 151 * kMB; }, 155 * kMB,
         L"約 160 日", 1024 * kMB},
    };
    for (const Case& c : cases) {
        std::vector<Sample> rows;
        for (std::int64_t age = c.span; age >= 0; age -= c.every) {
            rows.push_back({kNow - age, 'X', 0xABCD, c.total, c.free(age)});
            // Another volume in the same drive, and another drive, have rows of their own.
            rows.push_back({kNow - age, 'X', 0x1234, c.total, c.free(age) - age * 50});
            rows.push_back({kNow - age, 'Y', 0xABCD, c.total, c.free(age) - age * 50});
        }
        const auto trend = FindTrend(rows, 'X', 0xABCD, c.total);
        EXPECT_EQ(ForecastText(SecondsToFull(trend, {kNow, 'X', 0xABCD, c.total, c.freeNow})), c.want) << c.what;
    }
}

TEST(Gauge, ShowsTheUsedShareInTheErrorStateWhileLowAndNothingWhileNotReady) {
    struct Fake : TaskbarProgress {
        void SetState(State state) override { calls += "state " + std::to_string(static_cast<int>(state)) + ";"; }
        void SetValue(std::uint64_t done, std::uint64_t total) override {
            calls += "value " + std::to_string(done) + "/" + std::to_string(total) + ";";
        }
        std::string calls;
    } button;
    ShowGauge(button, DriveBytes{16, 4}, false);
    ShowGauge(button, DriveBytes{16, 3}, true);
    ShowGauge(button, std::nullopt, false);
    EXPECT_EQ(button.calls, "value 12/16;state 1;value 13/16;state 2;state 0;");
}

}  // namespace
}  // namespace brimview
