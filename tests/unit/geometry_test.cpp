#include "drawing/Geometry.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace brimview {

// Readable failure messages.
void PrintTo(const Rect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
void PrintTo(const Figure& f, std::ostream* os) {
    PrintTo(f.box, os);
    *os << " corner " << f.cornerSize;
}

namespace {

// A picture of the frame: '.' where nothing is drawn, 'S' shadow, 'H' highlight, 'F' the panel's colour.
struct Picture {
    Picture(int width, int height) : width_(width), height_(height), pixels_(width * height, '.') {}

    char At(int x, int y) const { return pixels_[y * width_ + x]; }
    bool Inside(int x, int y) const { return x >= 0 && x < width_ && y >= 0 && y < height_; }
    void Set(int x, int y, char c) {
        ASSERT_TRUE(Inside(x, y)) << "pixel (" << x << ", " << y << ") outside the panel";
        pixels_[y * width_ + x] = c;
    }

    int width_;
    int height_;
    std::string pixels_;
};

char Letter(FrameColour colour) {
    switch (colour) {
        case FrameColour::BtnShadow:
            return 'S';
        case FrameColour::BtnHighlight:
            return 'H';
        case FrameColour::Face:
            return 'F';
    }
    return '?';
}

Picture Paint(const PanelFrame& frame, int width, int height) {
    Picture picture(width, height);
    for (const FrameSpan& span : frame.spans) {
        EXPECT_FALSE(span.area.Empty());
        for (int y = span.area.top; y < span.area.bottom; ++y)
            for (int x = span.area.left; x < span.area.right; ++x) picture.Set(x, y, Letter(span.colour));
    }
    return picture;
}

// The rings drawn as a pen draws them: polylines whose final point is left out, each segment
// starting where the last one ended.
struct Pen {
    Picture& picture;
    char colour;
    int x = 0;
    int y = 0;

    void LineTo(int toX, int toY) {
        const int dx = (toX > x) - (toX < x);
        const int dy = (toY > y) - (toY < y);
        while (x != toX || y != toY) {
            picture.Set(x, y, colour);
            x += dx;
            y += dy;
        }
    }
};

void PenRings(Picture& picture, int left, int top, int right, int bottom, int count, char topColour,
              char bottomColour) {
    --right;
    --bottom;
    for (int i = 0; i < count; ++i) {
        Pen upper{picture, topColour, left, bottom};
        upper.LineTo(left, top);
        upper.LineTo(right, top);
        Pen lower{picture, bottomColour, right, top};
        lower.LineTo(right, bottom);
        lower.LineTo(left - 1, bottom);
        ++left, ++top, --right, --bottom;
    }
}

struct FrameCase {
    int width, height;
    TBevelCut outer, inner;
    int bevelWidth, borderWidth;
};

Picture PenFrame(const FrameCase& c) {
    Picture picture(c.width, c.height);
    int inset = 0;
    auto bevel = [&](TBevelCut cut) {
        if (cut == TBevelCut::bvNone) return;
        const bool lowered = cut == TBevelCut::bvLowered;
        PenRings(picture, inset, inset, c.width - inset, c.height - inset, c.bevelWidth, lowered ? 'S' : 'H',
                 lowered ? 'H' : 'S');
        inset += c.bevelWidth;
    };
    bevel(c.outer);
    PenRings(picture, inset, inset, c.width - inset, c.height - inset, c.borderWidth, 'F', 'F');
    inset += c.borderWidth;
    bevel(c.inner);
    return picture;
}

TEST(PanelFrame, RingsAsAPenDrawsThem) {
    const FrameCase cases[] = {
        {154, 86, TBevelCut::bvNone, TBevelCut::bvLowered, 1, 0},
        {185, 41, TBevelCut::bvRaised, TBevelCut::bvNone, 1, 0},
        {185, 41, TBevelCut::bvRaised, TBevelCut::bvLowered, 2, 3},
        {30, 20, TBevelCut::bvSpace, TBevelCut::bvRaised, 3, 1},
        {12, 9, TBevelCut::bvLowered, TBevelCut::bvLowered, 1, 2},
        {9, 9, TBevelCut::bvRaised, TBevelCut::bvNone, 5, 0},    // the last ring is a single pixel
        {10, 7, TBevelCut::bvRaised, TBevelCut::bvNone, 4, 0},   // the last ring is one row high
        {7, 10, TBevelCut::bvLowered, TBevelCut::bvNone, 4, 0},  // the last ring is one column wide
        {40, 30, TBevelCut::bvNone, TBevelCut::bvNone, 1, 0},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " bevel " << c.bevelWidth << " border "
                                        << c.borderWidth);
        EXPECT_EQ(
            Paint(LayOutPanelFrame(c.width, c.height, c.outer, c.inner, c.bevelWidth, c.borderWidth), c.width, c.height)
                .pixels_,
            PenFrame(c).pixels_);
    }
}

TEST(PanelFrame, InsideTheBevelsAndBorder) {
    struct Case {
        FrameCase frame;
        Rect inside;
    };
    const Case cases[] = {
        {{154, 86, TBevelCut::bvNone, TBevelCut::bvLowered, 1, 0}, {1, 1, 153, 85}},  // the main window's panel
        {{185, 41, TBevelCut::bvRaised, TBevelCut::bvLowered, 2, 3}, {7, 7, 178, 34}},
        {{185, 41, TBevelCut::bvRaised, TBevelCut::bvNone, 1, 0}, {1, 1, 184, 40}},
        {{185, 41, TBevelCut::bvNone, TBevelCut::bvNone, 1, 5}, {5, 5, 180, 36}},
        {{185, 41, TBevelCut::bvNone, TBevelCut::bvNone, 3, 0}, {0, 0, 185, 41}},
        {{9, 9, TBevelCut::bvRaised, TBevelCut::bvNone, 4, 0}, {4, 4, 5, 5}},
        // Over-wide frames leave an empty box in the middle and draw nothing outside the panel.
        {{6, 4, TBevelCut::bvRaised, TBevelCut::bvLowered, 3, 2}, {3, 2, 3, 2}},
        {{0, 0, TBevelCut::bvRaised, TBevelCut::bvLowered, 1, 1}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const FrameCase& f = c.frame;
        SCOPED_TRACE(testing::Message() << f.width << "x" << f.height << " bevel " << f.bevelWidth << " border "
                                        << f.borderWidth);
        const PanelFrame frame = LayOutPanelFrame(f.width, f.height, f.outer, f.inner, f.bevelWidth, f.borderWidth);
        EXPECT_EQ(frame.inside, c.inside);
        const Picture picture = Paint(frame, f.width, f.height);
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x) {
                const bool inside =
                    x >= c.inside.left && x < c.inside.right && y >= c.inside.top && y < c.inside.bottom;
                EXPECT_EQ(picture.At(x, y) == '.', inside) << "at (" << x << ", " << y << ")";
            }
    }
}

TEST(CaptionBand, CentredOnTheTextHeight) {
    struct Case {
        Rect inside;
        int textHeight;
        Rect band;
    };
    const Case cases[] = {
        {{1, 1, 153, 85}, 12, {1, 37, 153, 49}},
        {{7, 7, 178, 34}, 13, {7, 14, 178, 27}},
        {{0, 0, 185, 41}, 16, {0, 12, 185, 28}},
        {{0, 0, 10, 10}, 13, {0, -1, 10, 12}},  // the halving truncates toward zero
    };
    for (const Case& c : cases) EXPECT_EQ(CaptionBand(c.inside, c.textHeight), c.band);
}

TEST(Figure, BoxesAndCorners) {
    using enum TShapeType;
    struct Case {
        TShapeType shape;
        int width, height, pen, roundSize;
        Figure figure;
    };
    const Case cases[] = {
        {stCircle, 185, 41, 1, 4, {{72, 0, 113, 41}, 0}},
        {stRoundRect, 185, 41, 1, 4, {{0, 0, 185, 41}, 10}},
        {stRectangle, 154, 86, 0, 4, {{0, 0, 154, 86}, 0}},  // the main window's veil: no pen
        {stRectangle, 185, 41, 3, 4, {{1, 1, 184, 40}, 0}},
        {stEllipse, 185, 41, 2, 4, {{1, 1, 185, 41}, 0}},
        {stSquare, 41, 185, 1, 4, {{0, 72, 41, 113}, 0}},
        {stRoundSquare, 100, 60, 2, 4, {{21, 1, 80, 60}, 14}},
        {stRoundSquare, 100, 60, 0, 8, {{20, 0, 80, 60}, 7}},
        {stRoundRect, 185, 41, 1, 1, {{0, 0, 185, 41}, 41}},
        {stRoundRect, 185, 41, 1, 32, {{0, 0, 185, 41}, 1}},
        {stRoundRect, 185, 41, 1, 0, {{0, 0, 185, 41}, 41}},  // out-of-range divisors are brought into 1..32
        {stRoundRect, 185, 41, 1, -7, {{0, 0, 185, 41}, 41}},
        {stRoundRect, 185, 41, 1, 99, {{0, 0, 185, 41}, 1}},
        {stCircle, 3, 2, 5, 4, {{2, 2, 2, 2}, 0}},  // a pen wider than the control leaves an empty box
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "shape " << static_cast<int>(c.shape) << " " << c.width << "x" << c.height
                                        << " pen " << c.pen << " round " << c.roundSize);
        EXPECT_EQ(LayOutFigure(c.shape, c.width, c.height, c.pen, c.roundSize), c.figure);
    }
}

TEST(Figure, RoundSizeClamped) {
    const std::pair<int, int> cases[] = {{-5, 1}, {0, 1}, {1, 1}, {4, 4}, {32, 32}, {33, 32}, {1000, 32}};
    for (auto [given, used] : cases) EXPECT_EQ(ClampShapeRoundSize(given), used) << given;
}

TEST(Tiles, LaidFromTheOriginAndCut) {
    struct Case {
        int tileWidth, tileHeight, clientWidth, clientHeight;
        std::vector<Rect> first;  // the leading tiles, row by row
        std::size_t count;
    };
    const Case cases[] = {
        {1, 1, 170, 140, {{0, 0, 1, 1}, {1, 0, 2, 1}}, 170 * 140},
        {100,
         50,
         170,
         140,
         {{0, 0, 100, 50},
          {100, 0, 170, 50},
          {0, 50, 100, 100},
          {100, 50, 170, 100},
          {0, 100, 100, 140},
          {100, 100, 170, 140}},
         6},
        {300, 300, 170, 140, {{0, 0, 170, 140}}, 1},
        {170, 140, 170, 140, {{0, 0, 170, 140}}, 1},
        {0, 50, 170, 140, {}, 0},
        {100, -1, 170, 140, {}, 0},
        {100, 50, 0, 140, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tileWidth << "x" << c.tileHeight << " over " << c.clientWidth << "x"
                                        << c.clientHeight);
        const std::vector<Rect> tiles = TileRects(c.tileWidth, c.tileHeight, c.clientWidth, c.clientHeight);
        ASSERT_EQ(tiles.size(), c.count);
        for (std::size_t i = 0; i < c.first.size(); ++i) EXPECT_EQ(tiles[i], c.first[i]) << "tile " << i;

        // Every client pixel lies in exactly one tile, and each tile starts on the tile grid.
        std::vector<int> covered(static_cast<std::size_t>(std::max(0, c.clientWidth * c.clientHeight)), 0);
        for (const Rect& t : tiles) {
            EXPECT_EQ(t.left % c.tileWidth, 0);
            EXPECT_EQ(t.top % c.tileHeight, 0);
            EXPECT_LE(t.Width(), c.tileWidth);
            EXPECT_LE(t.Height(), c.tileHeight);
            for (int y = t.top; y < t.bottom; ++y)
                for (int x = t.left; x < t.right; ++x) ++covered[y * c.clientWidth + x];
        }
        // A tile of no size lays nothing.
        const int expected = c.count > 0 ? 1 : 0;
        for (int n : covered) ASSERT_EQ(n, expected);
    }
}

}  // namespace
}  // namespace brimview
