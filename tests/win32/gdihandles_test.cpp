#include "platform/GdiHandles.h"

#include <gtest/gtest.h>

namespace brimview {
namespace {

TEST(GdiHandles, OwnersCloseWhatTheyHold) {
    UniqueBitmap bitmap(CreateBitmap(4, 4, 1, 32, nullptr));
    UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    UniquePen pen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
    UniqueRegion region(CreateRectRgn(0, 0, 5, 5));
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    struct Held {
        HANDLE handle;
        DWORD type;
    };
    const Held held[] = {{bitmap.get(), OBJ_BITMAP},
                         {brush.get(), OBJ_BRUSH},
                         {pen.get(), OBJ_PEN},
                         {region.get(), OBJ_REGION},
                         {dc.get(), OBJ_MEMDC}};
    for (const Held& h : held) EXPECT_EQ(GetObjectType(h.handle), h.type);
    bitmap.reset();
    brush.reset();
    pen.reset();
    region.reset();
    dc.reset();
    for (const Held& h : held) EXPECT_EQ(GetObjectType(h.handle), 0u) << "type " << h.type << " still alive";
}

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

TEST(GdiHandles, SavedDcRestoresTheOrigin) {
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    {
        const SavedDc saved(dc.get());
        SetViewportOrgEx(dc.get(), 9, 36, nullptr);
        POINT moved{};
        GetViewportOrgEx(dc.get(), &moved);
        EXPECT_EQ(moved.x, 9);
    }
    POINT origin{-1, -1};
    GetViewportOrgEx(dc.get(), &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
}

}  // namespace
}  // namespace brimview
