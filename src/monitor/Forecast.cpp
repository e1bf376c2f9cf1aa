#include "monitor/Forecast.h"

#include <algorithm>
#include <cmath>

namespace brimview {
namespace {

// A change by more than 1 % of the size.
bool Big(std::int64_t change, std::int64_t total) {
    return change > total / 100;
}

struct Point {
    std::int64_t time;
    std::int64_t level;  // free bytes with the big copies' steps added back
};

double MedianSlope(const std::vector<Point>& points) {
    std::vector<double> slopes;
    for (auto a = points.begin(); a != points.end(); ++a)
        for (auto b = a + 1; b != points.end(); ++b)
            if (b->time > a->time)
                slopes.push_back(static_cast<double>(b->level - a->level) / static_cast<double>(b->time - a->time));
    if (slopes.empty()) return 0;
    const auto middle = slopes.begin() + static_cast<std::ptrdiff_t>(slopes.size() / 2);
    std::ranges::nth_element(slopes, middle);
    if (slopes.size() % 2 != 0) return *middle;
    return (*middle + *std::max_element(slopes.begin(), middle)) / 2;
}

// N rounded to two significant digits, as a whole number.
long long TwoDigits(double n) {
    return n < 99.5 ? std::llround(n) : std::llround(n / 10) * 10;
}

}  // namespace

std::optional<Trend> FindTrend(const std::vector<Sample>& rows, char drive, std::uint32_t serial, std::int64_t total) {
    std::vector<Sample> volume;
    std::ranges::copy_if(rows, std::back_inserter(volume), [&](const Sample& row) {
        return row.drive == drive && row.serial == serial && row.total == total;
    });
    std::ranges::stable_sort(volume, {}, &Sample::time);
    std::vector<Point> trend;
    std::int64_t steps = 0;
    for (std::size_t i = 0; i < volume.size(); ++i) {
        if (i > 0) {
            const std::int64_t change = volume[i].free - volume[i - 1].free;
            if (Big(change, total)) {
                trend.clear();
                steps = 0;
            } else if (Big(-change, total)) {
                steps -= change;
            }
        }
        trend.push_back({volume[i].time, volume[i].free + steps});
    }
    if (trend.size() < kLeastTrendRows || trend.back().time - trend.front().time < kLeastTrendSpan) return std::nullopt;
    const std::int64_t from = trend.back().time - kRateSpan;
    std::erase_if(trend, [from](const Point& point) { return point.time < from; });
    const double fall = -MedianSlope(trend);
    if (!(fall > 0)) return std::nullopt;
    return Trend{fall, volume.back().free};
}

std::optional<double> SecondsToFull(const std::optional<Trend>& trend, const Sample& latest) {
    if (!trend || Big(latest.free - trend->lastFree, latest.total)) return std::nullopt;
    const double seconds = static_cast<double>(std::max<std::int64_t>(latest.free, 0)) / trend->fallPerSecond;
    if (seconds > static_cast<double>(kFurthestForecast)) return std::nullopt;
    return seconds;
}

std::wstring ForecastText(const std::optional<double>& seconds) {
    if (!seconds) return L"-";
    const double hours = *seconds / 3600;
    if (hours < 48) return L"約 " + std::to_wstring(TwoDigits(hours)) + L" 時間";
    return L"約 " + std::to_wstring(TwoDigits(hours / 24)) + L" 日";
}

void ShowGauge(TaskbarProgress& button, const std::optional<DriveBytes>& bytes, bool low) {
    if (!bytes) {
        button.SetState(TaskbarProgress::State::None);
        return;
    }
    const auto used = static_cast<std::uint64_t>(std::clamp<std::int64_t>(bytes->size - bytes->free, 0, bytes->size));
    button.SetValue(used, static_cast<std::uint64_t>(bytes->size));
    button.SetState(low ? TaskbarProgress::State::Error : TaskbarProgress::State::Normal);
}

}  // namespace brimview
