#pragma once
// A flat tool button blended over its parent at the opacity Alpha.
#include "ui/StdCtrls.h"

namespace brimview {

class TAlphaSpeedButton : public ui::SpeedButton {
public:
    using ui::SpeedButton::SpeedButton;
    BYTE Alpha() const { return alpha_; }
    void SetAlpha(BYTE value);
    void Paint(HDC dc) override;

private:
    BYTE alpha_ = 255;
};

}  // namespace brimview
