#include "drawing/Geometry.h"

#include <algorithm>

namespace brimview {

namespace {

// Shrinks by n on every side; what is over-shrunk collapses to an empty box in the middle.
Rect Deflate(Rect r, int n) {
    r.left += n;
    r.top += n;
    r.right -= n;
    r.bottom -= n;
    if (r.right < r.left) r.left = r.right = (r.left + r.right) / 2;
    if (r.bottom < r.top) r.top = r.bottom = (r.top + r.bottom) / 2;
    return r;
}

// Rings drawn one inside the other into r.
void AddRings(std::vector<FrameSpan>& spans, Rect r, int count, FrameColour top, FrameColour bottom) {
    for (int ring = 0; ring < count && !r.Empty(); ++ring) {
        const int lastColumn = r.right - 1;
        const int lastRow = r.bottom - 1;
        const FrameSpan pieces[] = {
            {{r.left, r.top, r.left + 1, lastRow}, top},        // left column, bottom pixel excluded
            {{r.left + 1, r.top, lastColumn, r.top + 1}, top},  // top row, both ends excluded
            {{lastColumn, r.top, r.right, r.bottom}, bottom},   // right column, both corners
            {{r.left, lastRow, lastColumn, r.bottom}, bottom},  // bottom row, right corner excluded
        };
        // In a ring one pixel wide or high the pieces overlap or vanish; the bottom colour, drawn last,
        // then covers the whole line, as a pen drawing the ring would.
        for (const FrameSpan& piece : pieces) {
            if (!piece.area.Empty()) spans.push_back(piece);
        }
        r = Deflate(r, 1);
    }
}

Rect AddBevel(std::vector<FrameSpan>& spans, Rect r, TBevelCut cut, int width) {
    switch (cut) {
        case TBevelCut::bvNone:
            return r;
        case TBevelCut::bvLowered:
            AddRings(spans, r, width, FrameColour::BtnShadow, FrameColour::BtnHighlight);
            break;
        case TBevelCut::bvRaised:
        case TBevelCut::bvSpace:
            AddRings(spans, r, width, FrameColour::BtnHighlight, FrameColour::BtnShadow);
            break;
    }
    return Deflate(r, width);
}

}  // namespace

PanelFrame LayOutPanelFrame(int width, int height, TBevelCut outer, TBevelCut inner, int bevelWidth, int borderWidth) {
    bevelWidth = std::max(0, bevelWidth);
    borderWidth = std::max(0, borderWidth);
    PanelFrame frame;
    Rect r{0, 0, std::max(0, width), std::max(0, height)};
    r = AddBevel(frame.spans, r, outer, bevelWidth);
    AddRings(frame.spans, r, borderWidth, FrameColour::Face, FrameColour::Face);
    r = Deflate(r, borderWidth);
    frame.inside = AddBevel(frame.spans, r, inner, bevelWidth);
    return frame;
}

Rect CaptionBand(const Rect& inside, int textHeight) {
    Rect band = inside;
    band.top = (inside.top + inside.bottom - textHeight) / 2;
    band.bottom = band.top + textHeight;
    return band;
}

int ClampShapeRoundSize(int roundSize) {
    return std::clamp(roundSize, kMinShapeRoundSize, kMaxShapeRoundSize);
}

Figure LayOutFigure(TShapeType shape, int width, int height, int penWidth, int roundSize) {
    const int p = std::max(0, penWidth);
    int x = p / 2;
    int y = x;
    // Without a pen the figure has no outline to keep inside, so its box loses the extra pixel.
    const int noPen = p == 0 ? 1 : 0;
    int w = std::max(0, width - p + 1 - noPen);
    int h = std::max(0, height - p + 1 - noPen);
    const int s = std::min(w, h);

    const bool centred =
        shape == TShapeType::stSquare || shape == TShapeType::stRoundSquare || shape == TShapeType::stCircle;
    if (centred) {
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = h = s;
    }
    const bool rounded = shape == TShapeType::stRoundRect || shape == TShapeType::stRoundSquare;
    return {{x, y, x + w, y + h}, rounded ? s / ClampShapeRoundSize(roundSize) : 0};
}

std::vector<Rect> TileRects(int tileWidth, int tileHeight, int clientWidth, int clientHeight) {
    std::vector<Rect> tiles;
    if (tileWidth <= 0 || tileHeight <= 0) return tiles;
    for (int top = 0; top < clientHeight; top += tileHeight) {
        for (int left = 0; left < clientWidth; left += tileWidth) {
            tiles.push_back(
                {left, top, std::min(left + tileWidth, clientWidth), std::min(top + tileHeight, clientHeight)});
        }
    }
    return tiles;
}

}  // namespace brimview
