#include "drawing/AlphaBtn.h"

#include "drawing/AlphaCtl.h"

namespace brimview {

void TAlphaSpeedButton::SetAlpha(BYTE value) {
    if (value == alpha_) return;
    alpha_ = value;
    Invalidate();
}

void TAlphaSpeedButton::Paint(HDC dc) {
    PaintBlended(dc, Width(), Height(), alpha_, [this](HDC memory) { ui::SpeedButton::Paint(memory); });
}

}  // namespace brimview
