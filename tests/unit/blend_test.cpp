#include "drawing/Blend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>

namespace brimview {
namespace {

TEST(Blend, ByteValues) {
    struct Case {
        int source, destination, alpha, result;
    };
    const Case cases[] = {
        {255, 100, 175, 206},  // the white veil over a background byte of 100
        {255, 0, 175, 175},   {255, 255, 175, 255}, {0, 255, 175, 80},  {10, 200, 255, 10},
        {10, 200, 0, 200},    {0, 0, 128, 0},       {255, 255, 1, 255}, {1, 0, 254, 0},  // 254 / 255 truncates
        {200, 10, 128, 105},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BlendByte(static_cast<std::uint8_t>(c.source), static_cast<std::uint8_t>(c.destination),
                            static_cast<std::uint8_t>(c.alpha)),
                  c.result)
            << c.source << " over " << c.destination << " at " << c.alpha;
    }
}

TEST(Blend, EveryByteLiesBetweenItsInputsAndTruncates) {
    for (int a = 0; a < 256; ++a)
        for (int s = 0; s < 256; ++s)
            for (int d = 0; d < 256; ++d) {
                const int r =
                    BlendByte(static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(a));
                // r is the whole part of the exact weighted mean: r ≤ mean < r + 1.
                const int weighted = s * a + d * (255 - a);
                ASSERT_TRUE(r * 255 <= weighted && weighted < (r + 1) * 255) << s << " " << d << " " << a;
                ASSERT_TRUE(r >= std::min(s, d) && r <= std::max(s, d)) << s << " " << d << " " << a;
            }
}

TEST(Blend, Rows) {
    using Row = std::array<std::uint8_t, 7>;
    const Row source{255, 255, 255, 0, 128, 7, 200};
    const Row background{100, 0, 255, 255, 128, 250, 10};
    struct Case {
        std::size_t sourceLength;
        std::uint8_t alpha;
        Row expected;
    };
    // Worked by hand: 7 over 250 at 175 is (7 × 175 + 250 × 80) div 255 = 21225 div 255 = 83.
    // Bytes past the end of a shorter source keep the destination.
    const Case cases[] = {
        {7, 175, {206, 175, 255, 80, 128, 83, 140}}, {7, 255, source},     {7, 0, background},
        {4, 175, {206, 175, 255, 80, 128, 250, 10}}, {0, 175, background},
    };
    for (const Case& c : cases) {
        Row row = background;
        BlendRow(row, std::span(source).first(c.sourceLength), c.alpha);
        EXPECT_EQ(row, c.expected) << "length " << c.sourceLength << " alpha " << +c.alpha;
    }
}

}  // namespace
}  // namespace brimview
