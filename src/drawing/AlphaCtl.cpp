#include "drawing/AlphaCtl.h"

#include "drawing/AlphaBlendProc.h"
#include "platform/GdiHandles.h"

namespace brimview {

void PaintBlended(HDC parentDc, int width, int height, BYTE alpha, const std::function<void(HDC)>& paint) {
    UniqueBitmap bitmap;
    {
        WindowDc screen(nullptr);
        bitmap.reset(CreateCompatibleBitmap(screen.get(), width, height));
    }
    UniqueMemoryDc memory(CreateCompatibleDC(parentDc));
    Selection selected(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, parentDc, 0, 0, SRCCOPY);
    paint(memory.get());
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
    AlphaBlendProc()(parentDc, 0, 0, width, height, memory.get(), 0, 0, width, height, blend);
}

}  // namespace brimview
