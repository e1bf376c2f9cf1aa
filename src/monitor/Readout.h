#pragma once
// The drive space readout: total size, free space, used share and a bar of the used
// share for one drive, worked out from the drive's two byte counts.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "monitor/LowSpace.h"
#include "monitor/QueryThreads.h"
#include "platform/DriveServices.h"

namespace brimview {

// What one refresh puts into the readout's three labels and its bar (range 0 to barMax).
// The texts are ANSI bytes (ASCII digits, the separator, a unit).
struct Readout {
    std::string sizeText;                 // total size: "74.52 GB", or " - " when not ready
    std::string freeText;                 // free space: "32.60 GB", or " - "
    std::string usedText;                 // used share: "56.3 %", or " - %"
    std::optional<std::int32_t> barMax;   // whole MB; nothing when the bar keeps its last range
    std::int32_t barPosition = 0;         // used whole MB, 0 to barMax
    std::optional<DriveBytes> bytes;      // the counts behind it; nothing when not ready
    std::optional<std::uint32_t> serial;  // the volume's, when asked for
};

// Fixed-point text of a value: the magnitude rounded to 18 significant digits (halves to
// even), then cut after `digits` decimal places or after `precision` significant digits,
// whichever comes first, a following digit of 5 or more rounding up; decimal places beyond
// the kept digits read 0. The integer part is never cut: it is written whole, "0" below 1.
// A "-" leads a negative value unless it reads as zero.
std::string FormatFixed(long double value, int precision, int digits, char decimalSeparator);

// A byte count on the Bytes/KB/MB/GB/TB/PB/EB ladder with two decimals ("1.00 KB");
// "0 Byte" for 0 or less.
std::string UnitText(std::int64_t bytes, char decimalSeparator);

// The drive number of a letter: its code minus 64, modulo 256 (A is 1).
int DriveNumber(char letter);

// The readout of a drive with the given total and free bytes. A size of 0 or less (a failed
// query) or a failed free query (-1) shows the drive as not ready.
Readout ComputeReadout(std::int64_t size, std::int64_t free, char decimalSeparator);

// One refresh of the selected drive: its size, then its free space, two queries in all.
// No drive selected (0) reads as not ready without asking the system.
Readout RefreshReadout(char selectedDrive, DiskSpace& disks, char decimalSeparator);

// The refreshes of the readout, their space queries run away from the window's thread. The
// readout names one drive and shows answers for that drive only.
class ReadoutRefresher {
public:
    // `show` puts a readout on the screen (window's thread).
    ReadoutRefresher(QueryRunner& queries, std::shared_ptr<DiskSpace> disks, char decimalSeparator,
                     std::function<void(const Readout&)> show);

    // One refresh of the drive. Another drive than the one named so far is shown as not ready
    // until its first answer. Its two queries start unless a pair for that drive is still out,
    // so that a drive that hangs does not gather a thread at every tick. A pair that fails
    // shows the drive as not ready, and the next refresh asks again.
    void Refresh(char drive);
    // Whether the refreshes ask for the volume's serial number too, in the same work.
    void SetVolumeSerial(bool asked) { serial_ = asked; }

private:
    Readout NotReady() const;

    std::shared_ptr<DiskSpace> disks_;
    char decimalSeparator_;
    std::function<void(const Readout&)> show_;
    bool serial_ = false;
    std::optional<char> named_;  // the drive the readout names; none before the first refresh
    DriveQueries<Readout> space_;
};

}  // namespace brimview
