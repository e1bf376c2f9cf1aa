#include "drawing/BitmapHeader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace brimview {
namespace {

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
// table of `colours` entries, and the pixels (`imageSize` bytes when compressed).
std::string File(std::int64_t width, std::int64_t height, int bitCount, int infoSize = 40, int colours = 0,
                 int compression = 0, std::uint32_t imageSize = 0) {
    const bool core = infoSize == 12;
    const int masks = infoSize == 40 && compression == 3 ? 12 : 0;
    const auto offset = static_cast<std::uint32_t>(14 + infoSize + masks + colours * (core ? 3 : 4));
    std::string file = Head(width, height, bitCount, compression, infoSize);
    Set(file, 10, offset);
    if (!core) {
        Set(file, 14 + 20, imageSize);
        if (colours != (bitCount <= 8 ? 1 << bitCount : 0)) Set(file, 14 + 32, static_cast<std::uint32_t>(colours));
    }
    const std::int64_t stride = (std::abs(width) * bitCount + 31) / 32 * 4;
    const std::int64_t pixels = compression == 0 || compression == 3 ? stride * std::abs(height) : imageSize;
    file.resize(static_cast<std::size_t>(offset + pixels), '\x55');
    return file;
}

// A file of the given size whose first bytes are the head.
bool MayLoad(const std::string& head, std::uint64_t size) {
    return MayLoadAsSkin(std::string_view(head).substr(0, kBitmapHeadBytes), size);
}

TEST(BitmapHeader, RefusesPicturesOfMoreThanTheSkinLimit) {
    constexpr int kRgb = 0, kRle8 = 1;
    constexpr std::uint64_t kLarge = 1ull << 40;  // a file size that holds any of these pictures
    struct Case {
        const char* what;
        std::string head;
        bool tooLarge;
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
        {"no BM signature", "XY" + Head(20000, 20000, 1, kRgb).substr(2), false},
        {"an unknown header size", Head(20000, 20000, 1, kRgb, 200), false},
    };
    for (const Case& c : cases) EXPECT_EQ(MayLoad(c.head, kLarge), !c.tooLarge) << c.what;
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
        {"RLE8, the claimed image size", File(30, 30, 8, 40, 256, kRle8, 100)},
        {"core header, 1 bit", File(9, 2, 1, 12, 2)},
        {"core header, 24 bits, 1 x 1", File(1, 1, 24, 12)},
        {"pixels that start after a gap",
         [] {
             std::string file = File(4, 4, 24);
             Set(file, 10, 200);
             file.resize(200 + 4 * 12, '\x55');
             return file;
         }()},
    };
    for (const Whole& w : wholes) {
        EXPECT_TRUE(MayLoad(w.file, w.file.size())) << w.what;
        EXPECT_FALSE(MayLoad(w.file.substr(0, w.file.size() - 1), w.file.size() - 1)) << w.what << ", one byte short";
    }

    const std::string paletted = File(100, 50, 8, 40, 256);  // pixels from byte 1078
    struct Cut {
        const char* what;
        std::string file;
        std::size_t size;
    };
    const Cut cuts[] = {
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
    // Files of no BMP are the loader's to judge.
    EXPECT_TRUE(MayLoad("", 0)) << "empty";
    EXPECT_TRUE(MayLoad("B", 1)) << "one byte";
}

}  // namespace
}  // namespace brimview
