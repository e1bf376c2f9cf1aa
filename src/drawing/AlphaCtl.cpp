#include "drawing/AlphaCtl.h"

#include "drawing/AlphaBlendProc.h"
#include "platform/GdiHandles.h"

namespace brimview {

void PaintBlended(HDC parentDc, ui::OffscreenSurface& offscreen, int width, int height, BYTE alpha,
                  const std::function<void(HDC)>& paint) {
    HDC memory = offscreen.Get(width, height);
    BitBlt(memory, 0, 0, width, height, parentDc, 0, 0, SRCCOPY);
    paint(memory);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
    AlphaBlendProc()(parentDc, 0, 0, width, height, memory, 0, 0, width, height, blend);
}

}  // namespace brimview
