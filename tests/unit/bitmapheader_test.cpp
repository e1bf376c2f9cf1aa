#include "drawing/BitmapHeader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace brimview {
namespace {

using namespace std::string_literals;

// A file of `size` bytes that begins with `bytes`; the rest reads as zeros.
struct Bytes : ByteSource {
    Bytes(std::string bytes, std::uint64_t size) : bytes(std::move(bytes)), size(size) {}
    explicit Bytes(const std::string& bytes) : Bytes(bytes, bytes.size()) {}
    std::uint64_t Size() const override { return size; }
    bool Read(std::uint64_t offset, std::span<std::uint8_t> out) const override {
        for (std::size_t i = 0; i < out.size(); ++i) out[i] = offset + i < bytes.size() ? bytes[offset + i] : 0;
        return offset + out.size() <= size;
    }
    std::string bytes;
    std::uint64_t size;
};

// Appends a little-endian field of `bytes` bytes.
void Put(std::string& out, std::int64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The first bytes of a BMP file: the file header, then an info header of `infoSize` bytes
// with the sizes, the bit count and the compression, padded with zeros.
std::string Head(std::int64_t width, std::int64_t height, int bitCount, int compression, int infoSize = 40) {
    std::string head = "BM";
    Put(head, 12'880, 4);  // the file's size: a small file
    Put(head, 0, 4);
    Put(head, 14 + infoSize, 4);
    Put(head, infoSize, 4);
    if (infoSize == 12) {
        Put(head, width, 2);
        Put(head, height, 2);
        Put(head, 1, 2);
        Put(head, bitCount, 2);
    } else {
        Put(head, width, 4);
        Put(head, height, 4);
        Put(head, 1, 2);
        Put(head, bitCount, 2);
        Put(head, compression, 4);
        head.resize(14 + static_cast<std::size_t>(infoSize), '\0');
    }
    return head;
}

// Overwrites a little-endian 32-bit field.
void Set(std::string& file, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
}

// A whole BMP file: the file header, an info header of `infoSize` bytes, the bit masks a
// 40-byte header has before the colour table when the compression is bit fields, a colour
// table of `colours` entries whose entry i is the colour 0x10 + i, and the pixels (`rle` when compressed).
std::string File(std::int64_t width, std::int64_t height, int bitCount, int infoSize = 40, int colours = 0,
                 int compression = 0, const std::string& rle = {}) {
    const auto imageSize = static_cast<std::uint32_t>(rle.size());
    const bool core = infoSize == 12;
    const int masks = infoSize == 40 && compression == 3 ? 12 : 0;
    const int entry = core ? 3 : 4;
    const auto offset = static_cast<std::uint32_t>(14 + infoSize + masks + colours * entry);
    std::string file = Head(width, height, bitCount, compression, infoSize);
    Set(file, 10, offset);
    if (infoSize >= 40) {
        Set(file, 14 + 20, imageSize);
        if (colours != (bitCount <= 8 ? 1 << bitCount : 0)) Set(file, 14 + 32, static_cast<std::uint32_t>(colours));
    }
    const std::int64_t stride = (std::abs(width) * bitCount + 31) / 32 * 4;
    const std::int64_t pixels = compression == 0 || compression == 3 ? stride * std::abs(height) : imageSize;
    file.resize(static_cast<std::size_t>(offset + pixels), '\x55');
    for (int i = 0; i < colours; ++i)
        file.replace(14 + infoSize + masks + i * entry, 3, {static_cast<char>(0x10 + i), 0, 0});
    return file.replace(offset, rle.size(), rle);
}

// A file of the given size whose first bytes are the head.
bool MayLoad(const std::string& head, std::uint64_t size) {
    return CheckSkin(Bytes(head, size)).has_value();
}

// The file with `bytes` written at `at`.
std::string With(std::string file, std::size_t at, const std::string& bytes) {
    return file.replace(at, bytes.size(), bytes);
}

TEST(BitmapHeader, TakesWhatCanBeDrawnAndRefusesTheRest) {
    constexpr int kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;
    constexpr std::uint64_t kLarge = 1ull << 40;  // a file size that holds any of these pictures
    const std::string rle8 = "\x02\x01\x00\x00\x00\x03\x01\x02\x03\x00\x00\x00\x00\x01"s;  // 4 x 2
    const auto rle = [](std::int64_t width, int bitCount, const std::string& data) {
        return File(width, 2, bitCount, 40, bitCount == 4 ? 16 : 256, bitCount == 4 ? kRle4 : kRle8, data);
    };
    struct Case {
        const char* what;
        std::string head;
        bool refused;
    };
    const Case cases[] = {
        {"RLE8, 16000 x 16000", Head(16000, 16000, 8, kRle8), true},
        {"1 bit, 20000 x 20000", Head(20000, 20000, 1, kRgb), true},
        {"top-down, 20000 x -20000", Head(20000, -20000, 24, kRgb), true},
        {"negative width", Head(-20000, 20000, 24, kRgb), true},
        {"8192 x 8192, the most allowed", Head(8192, 8192, 24, kRgb), false},
        {"8193 x 8192", Head(8193, 8192, 24, kRgb), true},
        {"one column of 67,108,864", Head(1, 67'108'864, 24, kRgb), false},
        {"one column of 67,108,865", Head(1, 67'108'865, 24, kRgb), true},
        {"the largest sizes a header holds", Head(-2147483648LL, -2147483648LL, 1, kRgb), true},
        {"a skin of 100 x 50", Head(100, 50, 24, kRgb), false},
        {"top-down, 100 x -50", Head(100, -50, 24, kRgb), false},
        {"fifth-version header, 30000 x 30000", Head(30000, 30000, 32, 3, 124), true},
        {"OS/2 2.x header of 16 bytes, 9000 x 9000", Head(9000, 9000, 24, kRgb, 16).substr(0, 30), true},
        {"core header, 65535 x 65535", Head(65535, 65535, 1, kRgb, 12), true},
        {"core header, 300 x 300", Head(300, 300, 24, kRgb, 12), false},
        {"no BM signature", "XY" + Head(20000, 20000, 1, kRgb).substr(2), true},
        {"an unknown header size", Head(4, 2, 24, kRgb, 100), true},
        {"bit count 7", Head(4, 2, 7, kRgb), true},
        {"compression 99", Head(4, 2, 24, 99), true},
        {"width 0", Head(0, 2, 24, kRgb), true},
        {"height 0", Head(4, 0, 24, kRgb), true},
        {"planes 0", With(Head(4, 2, 24, kRgb), 26, "\0\0"s), true},
        {"bit fields of 24 bits", Head(4, 2, 24, kBitFields), true},
        {"bit fields after an OS/2 2.x header", Head(4, 2, 32, kBitFields, 64), true},
        {"RLE8", rle(4, 8, rle8), false},
        {"RLE8 of 24 bits", File(4, 2, 24, 40, 0, kRle8, rle8), true},
        {"RLE8 top-down", File(4, -2, 8, 40, 256, kRle8, rle8), true},
        {"RLE8 without its absolute run's padding", rle(4, 8, rle8.substr(0, 8) + rle8.substr(9)), true},
        {"RLE8 ending after a row, without end of picture", rle(4, 8, rle8.substr(0, 12)), false},
        {"RLE8 ending inside an instruction", rle(4, 8, rle8.substr(0, 13)), true},
        {"RLE8 ending inside an absolute run", rle(4, 8, rle8.substr(0, 7)), true},
        {"RLE8 ending before an absolute run's padding", rle(4, 8, rle8.substr(0, 9)), true},
        {"RLE8 ending inside a move", rle(4, 8, "\x00\x02\x01"s), true},
        {"RLE8 garbage: a run past its row", rle(4, 8, "\xA7\x3C\x00\x01"s), true},
        {"RLE8 garbage, no image size: the rest of the file", With(rle(4, 8, "\xA7\x3C"s), 34, "\0\0\0\0"s), true},
        {"RLE8 rows ended past the last", rle(4, 8, "\x00\x00\x00\x00\x00\x00"s), true},
        {"RLE8 run above the last row", rle(4, 8, "\x00\x00\x00\x00\x01\x01"s), true},
        {"RLE8 moved to the far corner", rle(4, 8, "\x00\x02\x04\x02\x00\x01"s), false},
        {"RLE8 moved past the right", rle(4, 8, "\x02\x01\x00\x02\x03\x00"s), true},
        {"RLE8 moved past the top", rle(4, 8, "\x00\x00\x00\x02\x00\x02"s), true},
        {"RLE4, an absolute run padded, runs", rle(6, 4, "\x00\x05\x12\x34\x50\x03\x01\x60\x00\x00\x06\x78"s), false},
        {"RLE4 absolute run past its row", rle(4, 4, "\x00\x05\x12\x34\x50\x00"s), true},
        {"RLE4 of 8 bits", File(4, 2, 8, 40, 256, kRle4, "\x00\x01"s), true},
    };
    for (const Case& c : cases) EXPECT_EQ(MayLoad(c.head, kLarge), !c.refused) << c.what;
}

TEST(BitmapHeader, RefusesAFileShorterThanItsPicture) {
    constexpr int kBitFields = 3, kRle8 = 1;
    // Each whole file is taken, and refused one byte short.
    struct Whole {
        const char* what;
        std::string file;
    };
    const Whole wholes[] = {
        {"24 bits, 100 x 50", File(100, 50, 24)},
        {"top-down, 100 x -50", File(100, -50, 24)},
        {"8 bits, every colour", File(3, 2, 8, 40, 256)},
        {"8 bits, 16 colours used", File(3, 2, 8, 40, 16)},
        {"1 bit, 9 x 2: rows padded to 4 bytes", File(9, 2, 1, 40, 2)},
        {"32 bits with bit masks", File(5, 3, 32, 40, 0, kBitFields)},
        {"fifth-version header", File(5, 3, 32, 124, 0, kBitFields)},
        {"RLE8, the claimed image size", File(4, 1, 8, 40, 256, kRle8, "\x04\x07\x00\x01"s)},
        {"core header, 1 bit", File(9, 2, 1, 12, 2)},
        {"core header, 24 bits, 1 x 1", File(1, 1, 24, 12)},
        {"24 bits with a colour table it does not use", File(2, 2, 24, 40, 4)},
        {"OS/2 2.x header, 8 bits", File(3, 2, 8, 64, 256)},
        {"OS/2 2.x header of 16 bytes", File(3, 2, 24, 16)},
    };
    for (const Whole& w : wholes) {
        // Also with the pixel offset 0, which puts the pixels right after the masks and colour table.
        for (const std::string& file : {w.file, std::string(w.file).replace(10, 4, 4, '\0')}) {
            EXPECT_TRUE(MayLoad(file, file.size())) << w.what;
            EXPECT_FALSE(MayLoad(file.substr(0, file.size() - 1), file.size() - 1)) << w.what << ", one byte short";
        }
    }

    // Pixels that start after a gap are where the file header says.
    std::string gap = File(4, 4, 24);
    Set(gap, 10, 200);
    gap.resize(200 + 4 * 12, '\x55');
    EXPECT_TRUE(MayLoad(gap, gap.size()));
    EXPECT_FALSE(MayLoad(gap.substr(0, gap.size() - 1), gap.size() - 1));

    const std::string paletted = File(100, 50, 8, 40, 256);  // pixels from byte 1078
    struct Cut {
        const char* what;
        std::string file;
        std::size_t size;
    };
    const Cut cuts[] = {
        {"empty", paletted, 0},
        {"one byte", paletted, 1},
        {"in the file header", paletted, 10},
        {"in the info header's size", paletted, 17},
        {"in the info header", paletted, 30},
        {"core header after its sizes", Head(65535, 65535, 1, 0, 12), 22},
        {"in the core header", File(1, 1, 24, 12), 25},
        {"in the bit masks", File(5, 3, 32, 40, 0, kBitFields), 60},
        {"in the colour table", paletted, 14 + 40 + 100},
        {"in the pixel data", paletted, 1078 + 2500},
    };
    for (const Cut& c : cuts) EXPECT_FALSE(MayLoad(c.file.substr(0, c.size), c.size)) << c.what;
}

TEST(BitmapHeader, KeepsTheCornerTheClientShows) {
    const Bytes file(File(250, 200, 8, 40, 256));
    const SkinPixels skin = DecodeSkin(file, CheckSkin(file).value(), 170, 140).value();
    EXPECT_EQ(std::tuple(skin.width, skin.height, skin.pixels.size()), std::tuple(170u, 140u, std::size_t{170 * 140}));
}

TEST(BitmapHeader, DecodesEveryKindOfPixelToItsColour) {
    constexpr int kRle8 = 1, kRle4 = 2, kBitFields = 3;
    // A 4 x 3 picture of 24 bits whose bytes are 1, 2, 3... from the first stored row.
    std::string counted(36, '\0');
    for (int i = 0; i < 36; ++i) counted[i] = static_cast<char>(i + 1);
    struct Case {
        const char* what;
        std::string file;
        std::vector<std::uint32_t> pixels;  // at most 3 x 2, rows top-down
    };
    const Case cases[] = {
        {"24 bits", With(File(4, 3, 24), 54, counted), {0x1B1A19, 0x1E1D1C, 0x21201F, 0x0F0E0D, 0x121110, 0x151413}},
        {"top-down", With(File(4, -3, 24), 54, counted), {0x030201, 0x060504, 0x090807, 0x0F0E0D, 0x121110, 0x151413}},
        {"1 bit", With(File(2, 1, 1, 40, 2), 62, "\x40"), {0x10, 0x11}},
        {"8 bits", With(File(2, 1, 8, 40, 256), 1078, "\x05\x06"), {0x15, 0x16}},
        {"4 bits, an index past the table black", With(File(2, 1, 4, 40, 2), 62, "\x13"), {0x11, 0}},
        {"RLE8, a move, skipped pixels black",
         File(4, 3, 8, 40, 256, kRle8, "\x01\x01\x00\x02\x01\x01\x01\x02\x00\x00\x00\x04\x01\x02\x03\x04\x00\x01"s),
         {0x11, 0x12, 0x13, 0, 0, 0x12}},
        {"RLE4", File(3, 2, 4, 40, 8, kRle4, "\x00\x03\x12\x30\x00\x00\x03\x48"s), {0x14, 0, 0x14, 0x11, 0x12, 0x13}},
        {"16 bits, 5-5-5", With(File(2, 1, 16), 54, "\xff\x7f\x10\x42"), {0xFFFFFF, 0x848484}},
        {"16 bits, 5-6-5 bit fields",
         With(File(2, 1, 16, 40, 0, kBitFields), 54, "\x00\xf8\0\0\xe0\x07\0\0\x1f\0\0\0\xe0\x07\x1f\0"s),
         {0x00FF00, 0x0000FF}},
        {"32 bits", With(File(1, 1, 32), 54, "\x01\x02\x03\x04"), {0x030201}},
        {"32 bits, masks in a fifth-version header, blue's empty",
         With(With(File(1, 1, 32, 124, 0, kBitFields), 54, "\xff\0\0\0\0\xff\0\0\0\0\0\0"s), 138, "\x01\x02\x03\x04"),
         {0x010200}},
    };
    for (const Case& c : cases) {
        const Bytes file(c.file);
        EXPECT_EQ(DecodeSkin(file, CheckSkin(file).value(), 3, 2).value().pixels, c.pixels) << c.what;
    }
}

}  // namespace
}  // namespace brimview
