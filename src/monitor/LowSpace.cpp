#include "monitor/LowSpace.h"

#include <algorithm>
#include <utility>

namespace brimview {

std::int64_t LowSpaceThreshold(const LowSpaceAlert& alert, std::int64_t size) {
    if (alert.freeBelow < 0) return -1;
    switch (alert.unit) {
        case LowSpaceAlert::MB:
            return std::int64_t{alert.freeBelow} << 20;
        case LowSpaceAlert::GB:
            return std::int64_t{alert.freeBelow} << 30;
        default: {
            const std::int64_t percent = std::min(alert.freeBelow, 100);
            // size × percent / 100, rounded down, without overflowing on the largest drives.
            return size / 100 * percent + size % 100 * percent / 100;
        }
    }
}

LowSpaceVerdict LowSpaceWatch::Check(const LowSpaceAlert& alert, char drive, const std::optional<DriveBytes>& space) {
    if (drive != drive_) {
        drive_ = drive;
        armed_ = true;
    }
    if (!alert.enabled || !space) return {};
    const std::int64_t threshold = LowSpaceThreshold(alert, space->size);
    if (space->free <= threshold) return {true, std::exchange(armed_, false)};
    const std::int64_t onePercent = space->size / 100 + (space->size % 100 != 0);  // rounded up
    if (space->free - threshold >= onePercent) armed_ = true;
    return {};
}

}  // namespace brimview
