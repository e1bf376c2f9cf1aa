#pragma once
// Where the see-through panel, the blended shape and the skin put their pixels, as plain data that
// the Win32 painting draws as it stands: filled rectangles with a colour role, figure boxes and tiles.
#include <vector>

namespace brimview {

// A block of pixels: left and top included, right and bottom excluded.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

enum class TShapeType { stNone, stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

// The colour a piece of the panel's frame is painted in: the system button shadow or highlight,
// or the panel's own colour (the border band).
enum class FrameColour { BtnShadow, BtnHighlight, Face };

// A one-pixel-wide piece of a ring.
struct FrameSpan {
    Rect area;
    FrameColour colour;
    friend bool operator==(const FrameSpan&, const FrameSpan&) = default;
};

struct PanelFrame {
    std::vector<FrameSpan> spans;  // in drawing order: a later span covers an earlier one
    Rect inside;                   // left inside the bevels and the border: the fill and the caption's box
};

// The outer bevel, the border band and the inner bevel of a panel of width × height, outermost first.
// Each ring has its left column (without the bottom pixel) and its top row (without the right pixel)
// in the top colour, and its right column and bottom row in the bottom colour. A lowered cut has the
// shadow on top; raised and space have the highlight on top. Rings stop once nothing is left inside.
PanelFrame LayOutPanelFrame(int width, int height, TBevelCut outer, TBevelCut inner, int bevelWidth, int borderWidth);

// The band of one text line's height, vertically centred in the box left inside the frame.
Rect CaptionBand(const Rect& inside, int textHeight);

inline constexpr int kMinShapeRoundSize = 1;
inline constexpr int kMaxShapeRoundSize = 32;

// The corner divisor brought into 1..32, so that the corner size never divides by zero.
int ClampShapeRoundSize(int roundSize);

struct Figure {
    Rect box;        // the rectangle, rounded rectangle or ellipse is drawn over this box
    int cornerSize;  // width and height of the corner ellipse of the rounded shapes; 0 for the others
    friend bool operator==(const Figure&, const Figure&) = default;
};

// The figure of a control of width × height drawn with a pen p pixels wide: the box starts at p div 2
// and is one pixel wider than the control minus p (one less again with no pen), so that the outline
// lies inside the control; squares and circles are centred on the shorter side.
Figure LayOutFigure(TShapeType shape, int width, int height, int penWidth, int roundSize);

// A tile of width × height laid from the client area's top-left corner to the right and downwards,
// cut at the right and bottom edges. Each rectangle shows the tile from its own top-left corner.
std::vector<Rect> TileRects(int tileWidth, int tileHeight, int clientWidth, int clientHeight);

}  // namespace brimview
