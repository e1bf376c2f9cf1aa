#include "drawing/BitmapHeader.h"

#include <algorithm>
#include <bit>

namespace brimview {
namespace {

constexpr std::size_t kFileHeader = 14;  // the info header follows it
constexpr std::uint32_t kCoreHeader = 12, kInfoHeader = 40;
// The file header, the largest info header (the fifth version's) and the bit masks that
// follow a 40-byte one.
constexpr std::size_t kMostHeadBytes = kFileHeader + 124 + 12;
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

// A little-endian unsigned field of `bytes` bytes at `at`; the caller checked the length.
std::uint32_t Field(std::span<const std::uint8_t> data, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | data[at + i];
    return value;
}

// The headers Windows writes; any other size from 16 to 64 bytes is an OS/2 2.x header,
// which may leave out the fields after its end, and whose compression 3 is not bit fields.
bool IsWindowsHeader(std::uint32_t size) {
    return size == kInfoHeader || size == 52 || size == 56 || size == 108 || size == 124;
}

bool IsKnownHeader(std::uint32_t size) {
    return size == kCoreHeader || (size >= 16 && size <= 64) || IsWindowsHeader(size);
}

// Whether the bit count and compression make a picture that can be drawn.
bool IsDrawable(unsigned bitCount, std::uint32_t compression, bool windows, bool topDown) {
    switch (compression) {
        case kRgb:
            return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
                   bitCount == 32;
        case kRle8:
            return bitCount == 8 && !topDown;
        case kRle4:
            return bitCount == 4 && !topDown;
        case kBitFields:
            return (bitCount == 16 || bitCount == 32) && windows;
        default:
            return false;
    }
}

bool IsRle(const BitmapLayout& layout) {
    return layout.compression == kRle8 || layout.compression == kRle4;
}

// The bytes of an uncompressed row, padded to whole 32-bit words.
std::uint64_t Stride(const BitmapLayout& layout) {
    return (std::uint64_t{layout.width} * layout.bitCount + 31) / 32 * 4;
}

// RLE data read a byte at a time through a small buffer.
class ByteStream {
public:
    ByteStream(const ByteSource& file, std::uint64_t begin, std::uint64_t end) : file_(file), next_(begin), end_(end) {}

    // The next byte, or nothing at the end of the data or when it cannot be read.
    std::optional<std::uint8_t> Next() {
        if (at_ == buffer_.size()) {
            const std::uint64_t left = end_ - next_;
            buffer_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(left, kChunk)));
            if (buffer_.empty() || !file_.Read(next_, buffer_)) return std::nullopt;
            next_ += buffer_.size();
            at_ = 0;
        }
        return buffer_[at_++];
    }

private:
    static constexpr std::uint64_t kChunk = 64 * 1024;
    const ByteSource& file_;
    std::uint64_t next_, end_;
    std::vector<std::uint8_t> buffer_;
    std::size_t at_ = 0;
};

// Walks RLE8 or RLE4 data, calling put(x, y, index) for each pixel it paints, y counted from
// the bottom row. False when a run or a move leaves the picture's rows, or the data ends
// inside an instruction; data that ends between instructions leaves the rest unpainted.
template <class Put>
bool WalkRle(ByteStream& data, const BitmapLayout& layout, Put put) {
    const bool four = layout.compression == kRle4;
    std::uint32_t x = 0, y = 0;
    const auto fits = [&](std::uint32_t count) { return y < layout.height && count <= layout.width - x; };
    // The i-th pixel's index in a byte: in RLE4 each byte holds two, the first in its high half.
    const auto index = [four](std::uint8_t byte, unsigned i) { return four ? (i % 2 ? byte & 15 : byte >> 4) : byte; };
    for (;;) {
        const std::optional<std::uint8_t> count = data.Next();
        if (!count) return true;
        const std::optional<std::uint8_t> value = data.Next();
        if (!value) return false;
        if (*count != 0) {  // a run of one index, or of two alternating in RLE4
            if (!fits(*count)) return false;
            for (unsigned i = 0; i < *count; ++i, ++x) put(x, y, index(*value, i));
        } else if (*value == 0) {  // end of the row
            if (++y > layout.height) return false;
            x = 0;
        } else if (*value == 1) {  // end of the picture
            return true;
        } else if (*value == 2) {  // a move right and up
            const std::optional<std::uint8_t> right = data.Next(), up = data.Next();
            if (!right || !up || *right > layout.width - x || *up > layout.height - y) return false;
            x += *right;
            y += *up;
        } else {  // `value` indices as they are, padded to whole 16-bit words
            if (!fits(*value)) return false;
            const unsigned bytes = four ? (*value + 1u) / 2 : *value;
            std::uint8_t pair = 0;
            for (unsigned i = 0; i < *value; ++i, ++x) {
                if (!four || i % 2 == 0) {
                    const std::optional<std::uint8_t> byte = data.Next();
                    if (!byte) return false;
                    pair = *byte;
                }
                put(x, y, index(pair, i));
            }
            if (bytes % 2 && !data.Next()) return false;
        }
    }
}

// One channel of a bit-field pixel, scaled to 8 bits.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const std::uint64_t most = mask >> shift;
    return static_cast<std::uint32_t>(((std::uint64_t{pixel & mask} >> shift) * 255 + most / 2) / most);
}

// An index's colour; black past the colour table.
std::uint32_t Colour(const BitmapLayout& layout, std::uint32_t index) {
    return index < layout.colours.size() ? layout.colours[index] : 0;
}

// Pixel x of a row as it is stored.
std::uint32_t StoredPixel(const std::vector<std::uint8_t>& row, std::uint32_t x, const BitmapLayout& layout) {
    const unsigned bits = layout.bitCount;
    if (bits <= 8) {
        return Colour(layout, row[x * bits / 8] >> (8 - bits - x * bits % 8) & ((1u << bits) - 1));
    }
    if (bits == 24) return Field(row, x * 3, 3);
    const std::uint32_t pixel = Field(row, x * (bits / 8), static_cast<int>(bits / 8));
    return Channel(pixel, layout.masks[0]) << 16 | Channel(pixel, layout.masks[1]) << 8 |
           Channel(pixel, layout.masks[2]);
}

}  // namespace

std::optional<BitmapLayout> CheckSkin(const ByteSource& file) {
    const std::uint64_t fileSize = file.Size();
    std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kMostHeadBytes)));
    if (head.size() < kFileHeader + 4 || !file.Read(0, head) || head[0] != 'B' || head[1] != 'M') return std::nullopt;
    const std::uint32_t infoSize = Field(head, kFileHeader, 4);
    if (!IsKnownHeader(infoSize) || head.size() < kFileHeader + infoSize) return std::nullopt;
    const bool core = infoSize == kCoreHeader;
    const bool windows = IsWindowsHeader(infoSize);
    // Fields after the end of a short OS/2 2.x header count as zero.
    const auto info = [&](std::size_t at, int bytes) {
        return at + bytes <= infoSize ? Field(head, kFileHeader + at, bytes) : 0;
    };
    BitmapLayout layout;
    const auto width = static_cast<std::int32_t>(core ? info(4, 2) : info(4, 4));
    const auto height = static_cast<std::int64_t>(static_cast<std::int32_t>(core ? info(6, 2) : info(8, 4)));
    const std::uint32_t planes = core ? info(8, 2) : info(12, 2);
    layout.bitCount = core ? info(10, 2) : info(14, 2);
    layout.compression = core ? kRgb : info(16, 4);
    layout.topDown = height < 0;
    if (width <= 0 || height == 0 || planes != 1) return std::nullopt;
    layout.width = static_cast<std::uint32_t>(width);
    layout.height = static_cast<std::uint32_t>(height < 0 ? -height : height);
    if (std::uint64_t{layout.width} * layout.height > kMaxSkinPixels ||
        !IsDrawable(layout.bitCount, layout.compression, windows, layout.topDown))
        return std::nullopt;

    // Bit masks sit in the later headers, or right after a 40-byte one; without bit fields a
    // 16-bit pixel is 5-5-5 and a 32-bit one 8-8-8.
    std::size_t masksEnd = kFileHeader + infoSize;
    if (layout.compression == kBitFields) {
        const std::size_t at = infoSize == kInfoHeader ? masksEnd : kFileHeader + 40;
        if (infoSize == kInfoHeader) masksEnd += 12;
        if (head.size() < masksEnd) return std::nullopt;
        for (std::size_t i = 0; i < 3; ++i) layout.masks[i] = Field(head, at + 4 * i, 4);
    } else {
        layout.masks = layout.bitCount == 16 ? std::array<std::uint32_t, 3>{0x7C00, 0x3E0, 0x1F}
                                             : std::array<std::uint32_t, 3>{0xFF0000, 0xFF00, 0xFF};
    }
    // A picture of up to 8 bits a pixel has a colour table of three bytes an entry after the
    // core header and four after the others, which may say that fewer entries are used. A
    // deeper one may carry a table that its pixels do not use, which only moves them when
    // the file does not say where they start.
    const std::uint32_t used = info(32, 4);
    std::uint64_t entries = layout.bitCount <= 8 ? 1u << layout.bitCount : 0;
    if (used != 0) entries = layout.bitCount <= 8 ? std::min<std::uint64_t>(used, entries) : used;
    const std::uint64_t entryBytes = core ? 3 : 4;
    if (layout.bitCount <= 8) {
        std::vector<std::uint8_t> table(static_cast<std::size_t>(entries * entryBytes));
        if (!file.Read(masksEnd, table)) return std::nullopt;
        for (std::size_t i = 0; i < entries; ++i) layout.colours.push_back(Field(table, i * entryBytes, 3));
    }

    // Where the pixels start (0 puts them right after the colour table) and their length:
    // whole rows, or for compressed data the image size it claims, else the rest of the file.
    const std::uint32_t offset = Field(head, 10, 4);
    layout.pixelOffset = offset != 0 ? offset : masksEnd + entries * entryBytes;
    if (fileSize < layout.pixelOffset) return std::nullopt;
    const std::uint32_t claimed = info(20, 4);
    layout.pixelBytes = !IsRle(layout) ? Stride(layout) * layout.height
                        : claimed != 0 ? claimed
                                       : fileSize - layout.pixelOffset;
    if (fileSize - layout.pixelOffset < layout.pixelBytes) return std::nullopt;
    if (IsRle(layout)) {
        ByteStream data(file, layout.pixelOffset, layout.pixelOffset + layout.pixelBytes);
        if (!WalkRle(data, layout, [](std::uint32_t, std::uint32_t, std::uint32_t) {})) return std::nullopt;
    }
    return layout;
}

std::optional<SkinPixels> DecodeSkin(const ByteSource& file, const BitmapLayout& layout, std::uint32_t mostWidth,
                                     std::uint32_t mostHeight) {
    SkinPixels skin;
    skin.width = std::min(layout.width, mostWidth);
    skin.height = std::min(layout.height, mostHeight);
    skin.pixels.assign(std::size_t{skin.width} * skin.height, 0);
    // Row y of the file, counted from the bottom, is row height - 1 - y of the picture.
    const auto topRow = [&](std::uint32_t y) { return layout.height - 1 - y; };
    if (IsRle(layout)) {
        ByteStream data(file, layout.pixelOffset, layout.pixelOffset + layout.pixelBytes);
        const bool read = WalkRle(data, layout, [&](std::uint32_t x, std::uint32_t y, std::uint32_t index) {
            if (x < skin.width && topRow(y) < skin.height)
                skin.pixels[topRow(y) * skin.width + x] = Colour(layout, index);
        });
        return read ? std::optional(std::move(skin)) : std::nullopt;
    }
    std::vector<std::uint8_t> row((std::size_t{skin.width} * layout.bitCount + 7) / 8);
    for (std::uint32_t y = 0; y < skin.height; ++y) {
        const std::uint32_t stored = layout.topDown ? y : topRow(y);
        if (!file.Read(layout.pixelOffset + stored * Stride(layout), row)) return std::nullopt;
        for (std::uint32_t x = 0; x < skin.width; ++x) skin.pixels[y * skin.width + x] = StoredPixel(row, x, layout);
    }
    return skin;
}

}  // namespace brimview
