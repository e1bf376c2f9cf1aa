#pragma once
// Windowless controls drawn partly see-through over what their parent painted:
// the control paints its usual image over a copy of the background, and the copy
// is blended back at the opacity Alpha.
#include <functional>

#include "platform/GdiHandles.h"
#include "ui/Shape.h"

namespace brimview {

// Paints through an off-screen copy of the parent's pixels and blends the result back.
void PaintBlended(HDC parentDc, ui::OffscreenSurface& offscreen, int width, int height, BYTE alpha,
                  const std::function<void(HDC)>& paint);

// A windowless control of the given kind with the opacity Alpha, shared by the shape
// and the flat button.
template <class Base>
class TAlphaBlended : public Base {
public:
    using Base::Base;
    BYTE Alpha() const { return alpha_; }
    // A repaint only when the value changes.
    void SetAlpha(BYTE value) {
        if (value == alpha_) return;
        alpha_ = value;
        this->Invalidate();
    }
    void Paint(HDC dc) override {
        PaintBlended(dc, offscreen_, this->Width(), this->Height(), alpha_,
                     [this](HDC memory) { Base::Paint(memory); });
    }

private:
    BYTE alpha_ = 255;
    ui::OffscreenSurface offscreen_;
};

class TAlphaShape : public TAlphaBlended<ui::Shape> {
public:
    using TAlphaBlended::TAlphaBlended;
};

}  // namespace brimview
