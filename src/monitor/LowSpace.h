#pragma once
// The low-space warning's rules: when the shown drive counts as nearly full, and when
// that is news worth flashing the taskbar button for.
#include <cstdint>
#include <optional>

namespace brimview {

// The warning as the user set it.
struct LowSpaceAlert {
    enum Unit : std::int32_t { Percent = 0, MB = 1, GB = 2 };  // MB and GB of 1024-based units
    bool enabled = false;
    std::int32_t freeBelow = 10;
    std::int32_t unit = Percent;
    friend bool operator==(const LowSpaceAlert&, const LowSpaceAlert&) = default;
};

// A ready drive's total and free bytes.
struct DriveBytes {
    std::int64_t size = 0;
    std::int64_t free = 0;
};

// The free bytes at or below which a drive of this size is nearly full: -1 (never) for a
// negative count; a percentage above 100 counts as 100, and an unknown unit as percent.
std::int64_t LowSpaceThreshold(const LowSpaceAlert& alert, std::int64_t size);

struct LowSpaceVerdict {
    bool low = false;      // show the warning
    bool crossed = false;  // it has just come: worth one flash
};

// Follows the shown drive from refresh to refresh. Each crossing is reported once; the
// warning is armed again once the free space has risen at least 1 % of the capacity above
// the threshold, or when another drive is shown.
class LowSpaceWatch {
public:
    // space is nothing for a drive that is not ready or whose query failed: it never warns.
    LowSpaceVerdict Check(const LowSpaceAlert& alert, char drive, const std::optional<DriveBytes>& space);

private:
    char drive_ = '\0';
    bool armed_ = true;
};

}  // namespace brimview
