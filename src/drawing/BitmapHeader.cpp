#include "drawing/BitmapHeader.h"

#include <algorithm>

namespace brimview {
namespace {

constexpr std::size_t kFileHeader = 14;  // the info header follows it
constexpr std::uint32_t kCoreHeader = 12;
constexpr std::uint32_t kInfoHeader = 40;
constexpr std::uint32_t kRgb = 0, kBitFields = 3;

// A little-endian unsigned field of `bytes` bytes at `at`; the caller checked the length.
std::uint32_t Field(std::string_view head, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(head[at + i]);
    return value;
}

// A signed 32-bit field's size, whichever way the rows run (a negative height is top-down).
std::uint64_t Magnitude(std::uint32_t field) {
    const auto value = static_cast<std::int64_t>(static_cast<std::int32_t>(field));
    return static_cast<std::uint64_t>(value < 0 ? -value : value);
}

}  // namespace

bool MayLoadAsSkin(std::string_view head, std::uint64_t fileSize) {
    if (head.substr(0, 2) != "BM") return true;
    if (head.size() < kFileHeader + 4) return false;  // cut before the info header's size
    const std::uint32_t infoSize = Field(head, kFileHeader, 4);
    if (infoSize != kCoreHeader && (infoSize < 16 || infoSize > 124)) return true;
    if (head.size() < kFileHeader + infoSize) return false;
    // The OS/2 core header has 16-bit unsigned sizes; every later one 32-bit signed sizes, and
    // a short OS/2 2.x header leaves out the fields after its end, which then count as zero.
    const bool core = infoSize == kCoreHeader;
    const auto info = [&](std::size_t at, int bytes) {
        return at + bytes <= infoSize ? Field(head, kFileHeader + at, bytes) : 0;
    };
    const std::uint64_t width = core ? info(4, 2) : Magnitude(info(4, 4));
    const std::uint64_t height = core ? info(6, 2) : Magnitude(info(8, 4));
    if (width * height > kMaxSkinPixels) return false;  // at most 2^31 * 2^31: no overflow
    const std::uint32_t bitCount = core ? info(10, 2) : info(14, 2);
    const std::uint32_t compression = core ? kRgb : info(16, 4);
    // A picture of up to 8 bits a pixel has a colour table of three bytes an entry after the
    // core header and four after the others, which may say that fewer entries are used.
    std::uint64_t colours = bitCount <= 8 ? 1u << bitCount : 0;
    if (const std::uint32_t used = info(32, 4); used != 0) colours = std::min<std::uint64_t>(colours, used);
    const std::uint64_t masks = infoSize == kInfoHeader && compression == kBitFields ? 3 * 4 : 0;
    const std::uint64_t headers = kFileHeader + infoSize + masks + colours * (core ? 3 : 4);
    // Rows padded to whole 32-bit words. With width * height within the limit this stays
    // below 2^40; a compressed picture claims its size instead.
    const std::uint64_t pixels =
        compression == kRgb || compression == kBitFields ? (width * bitCount + 31) / 32 * 4 * height : info(20, 4);
    // Where the pixels start; 0 puts them right after the colour table.
    const std::uint32_t offset = Field(head, 10, 4);
    return fileSize >= headers && fileSize >= (offset != 0 ? offset : headers) + pixels;
}

}  // namespace brimview
