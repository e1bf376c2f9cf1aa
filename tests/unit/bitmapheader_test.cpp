#include "drawing/BitmapHeader.h"

#include <gtest/gtest.h>

#include <cstdint>
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

TEST(BitmapHeader, RefusesPicturesOfMoreThanTheSkinLimit) {
    constexpr int kRgb = 0, kRle8 = 1;
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
        {"fifth-version header, 30000 x 30000", Head(30000, 30000, 32, 3, 124), true},
        {"OS/2 2.x header of 16 bytes, 9000 x 9000", Head(9000, 9000, 24, kRgb, 16).substr(0, 30), true},
        {"core header, 65535 x 65535", Head(65535, 65535, 1, kRgb, 12), true},
        {"core header, 300 x 300", Head(300, 300, 24, kRgb, 12), false},
        {"cut short before the height", Head(20000, 20000, 1, kRgb).substr(0, 22), false},
        {"no BM signature", "XY" + Head(20000, 20000, 1, kRgb).substr(2), false},
        {"an unknown header size", Head(20000, 20000, 1, kRgb, 200), false},
        {"empty", "", false},
    };
    for (const Case& c : cases) EXPECT_EQ(DeclaresMorePixels(c.head, kMaxSkinPixels), c.tooLarge) << c.what;
}

}  // namespace
}  // namespace brimview
