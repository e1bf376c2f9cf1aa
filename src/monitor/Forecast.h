#pragma once
// When the shown drive will be full, worked out from its history: the rate at which its free
// space falls, robust to the big copies and clean-ups that make simple fill-rate alarms cry
// wolf, and the time left from the free space shown now.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "monitor/History.h"
#include "monitor/LowSpace.h"
#include "platform/TaskbarProgress.h"

namespace brimview {

// Trends shorter than this, or of fewer rows, and forecasts further off, are not shown.
inline constexpr std::int64_t kLeastTrendSpan = kDay;
inline constexpr std::size_t kLeastTrendRows = 12;
inline constexpr std::int64_t kFurthestForecast = 365 * kDay;
// The rate is taken over the trend's rows of this last stretch.
inline constexpr std::int64_t kRateSpan = 7 * kDay;

// How a volume's free space falls.
struct Trend {
    double fallPerSecond = 0;   // bytes, more than 0
    std::int64_t lastFree = 0;  // at the trend's last row
};

// The trend of the rows of this drive, volume (serial) and size. A rise of free space by more
// than 1 % of the size from one row to the next (a clean-up) starts the trend afresh there; a
// fall by more than 1 % (a big copy) is a step in the level, not part of the rate. The rate
// is the median of the slopes between each two rows of the last kRateSpan. Nothing when the
// trend is shorter than kLeastTrendSpan or has fewer than kLeastTrendRows rows, or when the
// free space does not fall.
std::optional<Trend> FindTrend(const std::vector<Sample>& rows, char drive, std::uint32_t serial, std::int64_t total);

// Seconds from the latest answer until the drive is full, at the trend's rate from the free
// space answered. Nothing without a trend, when the free space has risen by more than 1 % of
// the size since its last row, or when it is further off than kFurthestForecast.
std::optional<double> SecondsToFull(const std::optional<Trend>& trend, const Sample& latest);

// "約 N 時間" under 48 hours, "約 N 日" from there, N rounded to two significant digits;
// "-" without a forecast.
std::wstring ForecastText(const std::optional<double>& seconds);

// The taskbar button as a gauge of the used share: in the error state while the low-space
// warning shows, and empty while the drive is not ready.
void ShowGauge(TaskbarProgress& button, const std::optional<DriveBytes>& bytes, bool low);

}  // namespace brimview
