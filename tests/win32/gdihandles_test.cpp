#include "platform/GdiHandles.h"

#include <gtest/gtest.h>

namespace brimview {
namespace {

TEST(GdiHandles, SelectionPutsThePreviousObjectBack) {
    const WindowDc screen(nullptr);
    ASSERT_NE(screen.get(), nullptr);
    const UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), 3, 3));
    const UniqueBrush brush(CreateSolidBrush(RGB(9, 8, 7)));
    const HGDIOBJ firstBitmap = GetCurrentObject(dc.get(), OBJ_BITMAP);
    const HGDIOBJ firstBrush = GetCurrentObject(dc.get(), OBJ_BRUSH);
    {
        const Selection selectedBitmap(dc.get(), bitmap.get());
        const Selection selectedBrush(dc.get(), brush.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), brush.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), firstBitmap);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), firstBrush);
}

}  // namespace
}  // namespace brimview
