#pragma once
// The geometric shape control and the brush and pen specifications it draws with.
#include "drawing/Geometry.h"
#include "ui/Controls.h"

namespace brimview::ui {

struct BrushSpec {
    COLORREF color = RGB(255, 255, 255);
    bool clear = false;  // draws nothing inside
    int hatch = -1;      // an HS_* hatch style, or -1 for a solid brush
    UniqueBrush Create() const;
    friend bool operator==(const BrushSpec&, const BrushSpec&) = default;
};

struct PenSpec {
    COLORREF color = RGB(0, 0, 0);
    int style = PS_SOLID;  // PS_NULL: no outline
    int width = 1;
    UniquePen Create() const;
    friend bool operator==(const PenSpec&, const PenSpec&) = default;
};

// Draws figure with the brush and pen selected into dc.
void DrawFigure(HDC dc, TShapeType shape, const Figure& figure);

class Shape : public GraphicControl {
public:
    Shape(Component* owner, WinControl* parent);
    TShapeType shape = TShapeType::stRectangle;
    BrushSpec brush;
    PenSpec pen{RGB(0, 0, 0), PS_SOLID, 1};
    void Paint(HDC dc) override;
};

}  // namespace brimview::ui
