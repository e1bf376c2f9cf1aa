#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "monitor/LowSpace.h"

namespace brimview {
namespace {

struct Step {
    char drive;
    std::optional<DriveBytes> space;  // nothing: not ready
    bool low, crossed;
};

TEST(LowSpaceWatch, WarnsAtOrBelowTheThresholdAndFlashesOncePerCrossing) {
    constexpr std::int64_t kMB = 1 << 20, kGB = std::int64_t{1} << 30;
    constexpr std::int64_t k18TB = 18 * (std::int64_t{1} << 40);
    const LowSpaceAlert tenPercent{true, 10, LowSpaceAlert::Percent};
    struct Case {
        const char* what;
        LowSpaceAlert alert;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"10 % of 1000: at, then below, then above",
         tenPercent,
         {{'C', DriveBytes{1000, 100}, true, true},
          {'C', DriveBytes{1000, 99}, true, false},
          {'C', DriveBytes{1000, 101}, false, false}}},
        {"10 % of 1050 is 105, rounded down",
         tenPercent,
         {{'C', DriveBytes{1050, 106}, false, false}, {'C', DriveBytes{1050, 105}, true, true}}},
        {"5 MB: above, at, below",
         {true, 5, LowSpaceAlert::MB},
         {{'C', DriveBytes{kGB, 5 * kMB + 1}, false, false},
          {'C', DriveBytes{kGB, 5 * kMB}, true, true},
          {'C', DriveBytes{kGB, 5 * kMB - 1}, true, false}}},
        {"2 GB: at and above",
         {true, 2, LowSpaceAlert::GB},
         {{'C', DriveBytes{100 * kGB, 2 * kGB}, true, true}, {'C', DriveBytes{100 * kGB, 2 * kGB + 1}, false, false}}},
        {"armed again only 1 % of the capacity above the threshold",
         tenPercent,
         {{'C', DriveBytes{1000, 100}, true, true},
          {'C', DriveBytes{1000, 109}, false, false},
          {'C', DriveBytes{1000, 100}, true, false},
          {'C', DriveBytes{1000, 110}, false, false},
          {'C', DriveBytes{1000, 100}, true, true}}},
        {"1 % of 1050 rounds up to 11",
         tenPercent,
         {{'C', DriveBytes{1050, 105}, true, true},
          {'C', DriveBytes{1050, 115}, false, false},
          {'C', DriveBytes{1050, 105}, true, false},
          {'C', DriveBytes{1050, 116}, false, false},
          {'C', DriveBytes{1050, 105}, true, true}}},
        {"another drive arms it again",
         tenPercent,
         {{'C', DriveBytes{1000, 50}, true, true},
          {'D', DriveBytes{1000, 50}, true, true},
          {'D', DriveBytes{1000, 50}, true, false}}},
        {"a drive that is not ready never warns nor arms it again",
         tenPercent,
         {{'C', std::nullopt, false, false},
          {'C', DriveBytes{1000, 0}, true, true},
          {'C', std::nullopt, false, false},
          {'C', DriveBytes{1000, 0}, true, false}}},
        {"a 0 threshold warns only when full",
         {true, 0, LowSpaceAlert::GB},
         {{'C', DriveBytes{1000, 1}, false, false}, {'C', DriveBytes{1000, 0}, true, true}}},
        {"18 TB with 200 GB",
         {true, 200, LowSpaceAlert::GB},
         {{'C', DriveBytes{k18TB, 200 * kGB + 1}, false, false}, {'C', DriveBytes{k18TB, 200 * kGB}, true, true}}},
        {"18 TB with 1 %: 197,912,092,999 bytes",
         {true, 1, LowSpaceAlert::Percent},
         {{'C', DriveBytes{k18TB, 197'912'093'000}, false, false},
          {'C', DriveBytes{k18TB, 197'912'092'999}, true, true}}},
        // Below the size every share of 100 % or more warns: only a free figure above the size tells them apart.
        {"over 100 % counts as 100",
         {true, 150, LowSpaceAlert::Percent},
         {{'C', DriveBytes{1000, 1001}, false, false}, {'C', DriveBytes{1000, 1000}, true, true}}},
        {"a negative count never warns", {true, -1, LowSpaceAlert::MB}, {{'C', DriveBytes{1000, 0}, false, false}}},
        {"switched off", {false, 10, LowSpaceAlert::Percent}, {{'C', DriveBytes{1000, 0}, false, false}}},
    };
    for (const Case& c : cases) {
        LowSpaceWatch watch;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            const LowSpaceVerdict verdict = watch.Check(c.alert, step.drive, step.space);
            EXPECT_EQ(verdict.low, step.low) << c.what << ", step " << i;
            EXPECT_EQ(verdict.crossed, step.crossed) << c.what << ", step " << i;
        }
    }
}

}  // namespace
}  // namespace brimview
