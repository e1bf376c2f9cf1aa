#include "monitor/Readout.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

namespace brimview {
namespace {

// A non-negative decimal number 0.d1d2d3... × 10^exponent; no digits for zero.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

// Multiplies a number held in base-10^9 limbs (lowest first) by a factor below 2^32.
void Multiply(std::vector<std::uint32_t>& limbs, std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs) {
        std::uint64_t product = std::uint64_t{limb} * factor + carry;
        limb = static_cast<std::uint32_t>(product % 1'000'000'000);
        carry = product / 1'000'000'000;
    }
    for (; carry != 0; carry /= 1'000'000'000) limbs.push_back(static_cast<std::uint32_t>(carry % 1'000'000'000));
}

// The exact decimal digits of a finite positive value. A binary fraction always ends in
// a finite decimal one: mantissa × 2^-k equals mantissa × 5^k × 10^-k.
Decimal ExactDecimal(long double magnitude) {
    int binaryExponent = 0;
    const long double fraction = std::frexp(magnitude, &binaryExponent);  // in [0.5, 1)
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
    int shift = binaryExponent - 64;  // magnitude = mantissa × 2^shift

    std::vector<std::uint32_t> limbs;
    for (std::uint64_t rest = mantissa; rest != 0; rest /= 1'000'000'000)
        limbs.push_back(static_cast<std::uint32_t>(rest % 1'000'000'000));
    const int decimalPlaces = std::max(0, -shift);
    // Powers in chunks that keep a limb's product below 2^64.
    for (; shift >= 30; shift -= 30) Multiply(limbs, 1u << 30);
    if (shift > 0) Multiply(limbs, 1u << shift);
    for (; shift <= -13; shift += 13) Multiply(limbs, 1'220'703'125);  // 5^13
    for (; shift < 0; ++shift) Multiply(limbs, 5);

    std::string text = std::to_string(limbs.back());
    for (auto limb = limbs.rbegin() + 1; limb != limbs.rend(); ++limb) {
        std::string part = std::to_string(*limb);
        text.append(9 - part.size(), '0').append(part);
    }
    return {text, static_cast<int>(text.size()) - decimalPlaces};
}

// Keeps the first `keep` digits (none when keep is 0 or less) and rounds by the rest:
// halves to even, or halves away from zero.
void RoundAt(Decimal& number, int keep, bool halvesToEven) {
    if (keep >= static_cast<int>(number.digits.size())) return;
    bool up = false;
    if (keep >= 0) {
        const char next = number.digits[keep];
        const bool moreBeyond = number.digits.find_first_not_of('0', keep + 1) != std::string::npos;
        const bool lastKeptOdd = keep > 0 && (number.digits[keep - 1] - '0') % 2 == 1;
        up = halvesToEven ? next > '5' || (next == '5' && (moreBeyond || lastKeptOdd)) : next >= '5';
    }
    // Below the cut by more than one place the next digit is a leading 0, which rounds down.
    number.digits.resize(std::max(keep, 0));
    if (up) {
        int i = keep - 1;
        for (; i >= 0 && number.digits[i] == '9'; --i) number.digits[i] = '0';
        if (i >= 0) {
            ++number.digits[i];
        } else {
            number.digits.insert(number.digits.begin(), '1');
            ++number.exponent;
        }
    }
    if (number.digits.find_first_not_of('0') == std::string::npos) number = Decimal{};
}

}  // namespace

std::string FormatFixed(long double value, int precision, int digits, char decimalSeparator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    Decimal number;
    if (value != 0) {
        number = ExactDecimal(std::fabs(value));
        RoundAt(number, 18, true);
        const int decimalEnd = number.exponent + digits;
        RoundAt(number, std::min(std::max(precision, number.exponent), decimalEnd), false);
    }
    // The digit at place i counted from the first significant one; 0 outside the kept ones.
    const auto digitAt = [&number](int i) {
        return i >= 0 && i < static_cast<int>(number.digits.size()) ? number.digits[i] : '0';
    };
    std::string text;
    if (value < 0 && !number.digits.empty()) text += '-';
    if (number.exponent <= 0) text += '0';
    for (int i = 0; i < number.exponent; ++i) text += digitAt(i);
    text += decimalSeparator;
    for (int i = number.exponent; i < number.exponent + digits; ++i) text += digitAt(i);
    return text;
}

std::string UnitText(std::int64_t bytes, char decimalSeparator) {
    static constexpr const char* kUnits[] = {" Bytes", " KB", " MB", " GB", " TB", " PB", " EB"};
    if (bytes <= 0) return "0 Byte";
    // Each step up the ladder is 2^10 times the one before; every bound is a strict less-than.
    int step = 0;
    while (step + 1 < static_cast<int>(std::size(kUnits)) && bytes >= std::int64_t{1} << (10 * (step + 1))) ++step;
    const long double scaled = std::ldexp(static_cast<long double>(bytes), -10 * step);
    return FormatFixed(scaled, 7, 2, decimalSeparator) + kUnits[step];
}

int DriveNumber(char letter) {
    return (static_cast<unsigned char>(letter) - 64) & 0xFF;
}

Readout ComputeReadout(std::int64_t size, std::int64_t free, char decimalSeparator) {
    // A free query that failed after the size query worked says nothing about the drive;
    // reading it as no free bytes would show a full disk.
    if (size <= 0 || free < 0) return Readout{" - ", " - ", " - %", std::nullopt, 0, std::nullopt, std::nullopt};

    const std::int64_t used = size - free;
    // The bar counts whole MB. Drives whose MB count does not fit the bar's 32-bit range
    // count in larger steps, halved until it fits, so the bar stays in proportion.
    std::int64_t max = size / (1 << 20);
    std::int64_t position = std::max<std::int64_t>(used, 0) / (1 << 20);
    while (max > std::numeric_limits<std::int32_t>::max()) {
        max /= 2;
        position /= 2;
    }
    const long double percent =
        used == 0 ? 0.0L : 100.0L / (static_cast<long double>(size) / static_cast<long double>(used));

    return Readout{UnitText(size, decimalSeparator),
                   UnitText(free, decimalSeparator),
                   FormatFixed(percent, 3, 1, decimalSeparator) + " %",
                   static_cast<std::int32_t>(max),
                   static_cast<std::int32_t>(position),
                   DriveBytes{size, free},
                   std::nullopt};
}

Readout RefreshReadout(char selectedDrive, DiskSpace& disks, char decimalSeparator) {
    // Without a drive there is nothing to ask; the system would take an empty path for the
    // current directory's drive.
    if (selectedDrive == 0) return ComputeReadout(-1, -1, decimalSeparator);
    const int drive = DriveNumber(selectedDrive);
    const std::int64_t size = disks.QueryDiskSize(drive);
    const std::int64_t free = disks.QueryDiskFree(drive);
    return ComputeReadout(size, free, decimalSeparator);
}

ReadoutRefresher::ReadoutRefresher(QueryRunner& queries, std::shared_ptr<DiskSpace> disks, char decimalSeparator,
                                   std::function<void(const Readout&)> show)
    : disks_(std::move(disks)), decimalSeparator_(decimalSeparator), show_(std::move(show)), space_(queries) {}

void ReadoutRefresher::Refresh(char drive) {
    if (named_ != drive) {
        named_ = drive;
        show_(NotReady());
    }
    if (drive == 0) return;
    space_.Start(
        drive,
        [disks = disks_, drive, separator = decimalSeparator_, serial = serial_](const auto&) {
            Readout readout = RefreshReadout(drive, *disks, separator);
            // A volume whose serial cannot be read (some shares, a folder mapped as a drive)
            // counts as serial 0, so that its history still holds together.
            if (serial && readout.bytes) readout.serial = disks->VolumeSerial(DriveNumber(drive)).value_or(0);
            return readout;
        },
        [this, drive](const std::optional<Readout>& readout) {
            if (named_ == drive) show_(readout ? *readout : NotReady());
        });
}

Readout ReadoutRefresher::NotReady() const {
    return ComputeReadout(-1, -1, decimalSeparator_);
}

}  // namespace brimview
