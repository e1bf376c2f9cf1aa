#include <gtest/gtest.h>

#include "ui/DpiScale.h"

namespace brimview::ui {
namespace {

TEST(DpiScale, LengthsRoundHalfAwayFromZeroAsMulDiv) {
    const int cases[][3] = {{1, 120, 1}, {2, 120, 3}, {18, 120, 23}, {1, 144, 2}, {3, 144, 5}, {-3, 144, -5}};
    for (auto [value, dpi, scaled] : cases) EXPECT_EQ(ScaleToDpi(value, dpi), scaled) << value << " at " << dpi;
}

// dpi, length at 96 dpi, room, the art's percent and its length there.
TEST(DpiScale, ArtIsTheLargestNoLongerThanTheScaledLengthNorTheRoom) {
    const int cases[][5] = {
        {72, 16, 99, 100, 16},  {120, 16, 23, 125, 20}, {143, 16, 99, 150, 24}, {144, 16, 24, 150, 24},
        {145, 16, 99, 150, 24}, {144, 16, 23, 125, 20}, {145, 11, 99, 150, 17}, {168, 11, 99, 175, 19},
        {192, 16, 31, 175, 28}, {240, 11, 99, 250, 28}, {288, 16, 48, 300, 48}, {480, 16, 99, 300, 48},
        {120, 11, 99, 125, 14}, {288, 16, 10, 100, 16},
    };
    for (auto [dpi, length, room, percent, artLength] : cases) {
        EXPECT_EQ(ArtPercent(dpi, length, room), percent) << length << " at " << dpi << " in " << room;
        EXPECT_EQ(ArtLength(length, percent), artLength) << length << " at " << percent << " %";
    }
}

}  // namespace
}  // namespace brimview::ui
