#include "ui/Shape.h"

namespace brimview::ui {

UniqueBrush BrushSpec::Create() const {
    if (clear) {
        LOGBRUSH hollow{BS_HOLLOW, 0, 0};
        return UniqueBrush(CreateBrushIndirect(&hollow));
    }
    if (hatch >= 0) return UniqueBrush(CreateHatchBrush(hatch, color));
    return UniqueBrush(CreateSolidBrush(color));
}

UniquePen PenSpec::Create() const {
    return UniquePen(CreatePen(style, width, color));
}

void DrawFigure(HDC dc, TShapeType shape, const Figure& figure) {
    const Rect& b = figure.box;
    switch (shape) {
        case TShapeType::stRectangle:
        case TShapeType::stSquare:
            Rectangle(dc, b.left, b.top, b.right, b.bottom);
            break;
        case TShapeType::stRoundRect:
        case TShapeType::stRoundSquare:
            RoundRect(dc, b.left, b.top, b.right, b.bottom, figure.cornerSize, figure.cornerSize);
            break;
        case TShapeType::stEllipse:
        case TShapeType::stCircle:
            Ellipse(dc, b.left, b.top, b.right, b.bottom);
            break;
        case TShapeType::stNone:
            break;
    }
}

Shape::Shape(Component* owner, WinControl* parent) : GraphicControl(owner, parent) {
    SetBounds(0, 0, 65, 65);
}

void Shape::Paint(HDC dc) {
    PenSpec scaled = pen;
    scaled.width = Scale(pen.width);
    UniquePen outline = scaled.Create();
    UniqueBrush fill = brush.Create();
    Selection selectedPen(dc, outline.get());
    Selection selectedBrush(dc, fill.get());
    DrawFigure(dc, shape, LayOutFigure(shape, width_, height_, scaled.width, 4));
}

}  // namespace brimview::ui
