#pragma once
// A Windows BMP file read as a skin: checked whole before any pixel is decoded, then decoded
// only as far as the window can show it. The file is read piece by piece, so a picture of
// many megabytes costs the memory of its visible corner.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace brimview {

// The most pixels a skin may have: 8192 x 8192. It bounds the time a paint spends reading
// compressed pixel data, all of which is walked even when only a corner shows.
inline constexpr std::uint64_t kMaxSkinPixels = 8192ull * 8192;

// A file's bytes, read where they are needed.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Fills `out` from `offset`; false when the file ends first or cannot be read.
    virtual bool Read(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
};

// How a checked file holds its picture.
struct BitmapLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool topDown = false;
    unsigned bitCount = 0;
    std::uint32_t compression = 0;         // none, RLE8, RLE4 or bit fields
    std::array<std::uint32_t, 3> masks{};  // red, green, blue of a 16- or 32-bit pixel
    std::vector<std::uint32_t> colours;    // the colour table as 0x00RRGGBB
    std::uint64_t pixelOffset = 0;         // where the pixel data starts
    std::uint64_t pixelBytes = 0;          // and its length
};

// The top-left corner of a picture, rows top-down, each pixel 0x00RRGGBB.
struct SkinPixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

// The layout of a file that can be drawn as it looks: signed "BM", a known header, width and
// height above 0 (the height's sign gives the row order) and at most kMaxSkinPixels, one plane,
// 1, 4, 8, 16, 24 or 32 bits uncompressed, 8 bits RLE8, 4 bits RLE4 (both bottom-up only) or
// 16 or 32 bits with bit fields, and headers, colour table and pixel data all within the file.
// Compressed data must keep within its rows and end whole. Nothing else is taken.
std::optional<BitmapLayout> CheckSkin(const ByteSource& file);

// The checked picture's top-left corner of at most mostWidth x mostHeight pixels (both at
// least 1). Colour indices past the table and pixels that compressed data skips are black.
// Nothing when the file could not be read.
std::optional<SkinPixels> DecodeSkin(const ByteSource& file, const BitmapLayout& layout, std::uint32_t mostWidth,
                                     std::uint32_t mostHeight);

}  // namespace brimview
