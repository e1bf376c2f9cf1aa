#pragma once
// A flat tool button blended over its parent at the opacity Alpha.
#include "drawing/AlphaCtl.h"
#include "ui/StdCtrls.h"

namespace brimview {

class TAlphaSpeedButton : public TAlphaBlended<ui::SpeedButton> {
public:
    using TAlphaBlended::TAlphaBlended;
};

}  // namespace brimview
