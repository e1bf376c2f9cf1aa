#pragma once
// Windowless controls drawn partly see-through over what their parent painted:
// the control paints its usual image over a copy of the background, and the copy
// is blended back at the opacity Alpha.
#include <functional>

#include "ui/Shape.h"

namespace brimview {

// Paints through an off-screen copy of the parent's pixels and blends the result back.
void PaintBlended(HDC parentDc, int width, int height, BYTE alpha, const std::function<void(HDC)>& paint);

class TAlphaShape : public ui::Shape {
public:
    using ui::Shape::Shape;
    BYTE Alpha() const { return alpha_; }
    void SetAlpha(BYTE value);
    void Paint(HDC dc) override;

private:
    BYTE alpha_ = 255;
};

}  // namespace brimview
