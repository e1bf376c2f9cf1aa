#include "drawing/BitmapHeader.h"

namespace brimview {
namespace {

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

bool DeclaresMorePixels(std::string_view head, std::uint64_t pixels) {
    constexpr std::size_t info = 14;  // the info header follows the file header
    if (head.size() < info + 4 || head.substr(0, 2) != "BM") return false;
    const std::uint32_t infoSize = Field(head, info, 4);
    std::uint64_t width = 0, height = 0;
    if (infoSize == 12) {  // the OS/2 core header: 16-bit unsigned sizes
        if (head.size() < info + 8) return false;
        width = Field(head, info + 4, 2);
        height = Field(head, info + 6, 2);
    } else if (infoSize >= 16 && infoSize <= 124) {  // every later header: 32-bit signed sizes
        if (head.size() < info + 12) return false;
        width = Magnitude(Field(head, info + 4, 4));
        height = Magnitude(Field(head, info + 8, 4));
    } else {
        return false;
    }
    return width * height > pixels;  // at most 2^31 * 2^31: no overflow
}

}  // namespace brimview
