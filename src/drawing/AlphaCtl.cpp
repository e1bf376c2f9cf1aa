#include "drawing/AlphaCtl.h"

#include "drawing/AlphaBlendProc.h"
#include "platform/GdiHandles.h"

namespace brimview {

void PaintBlended(HDC parentDc, ui::OffscreenBitmap& offscreen, int width, int height, BYTE alpha,
                  const std::function<void(HDC)>& paint) {
    UniqueMemoryDc memory(CreateCompatibleDC(parentDc));
    Selection selected(memory.get(), offscreen.Get(width, height));
    BitBlt(memory.get(), 0, 0, width, height, parentDc, 0, 0, SRCCOPY);
    paint(memory.get());
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
    AlphaBlendProc()(parentDc, 0, 0, width, height, memory.get(), 0, 0, width, height, blend);
}

}  // namespace brimview
