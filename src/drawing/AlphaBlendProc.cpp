#include "drawing/AlphaBlendProc.h"

#include <cstdint>
#include <span>

#include "drawing/Blend.h"
#include "platform/GdiHandles.h"

namespace brimview {

BOOL WINAPI FallbackAlphaBlend(HDC destination, int destX, int destY, int destWidth, int destHeight, HDC source,
                               int sourceX, int sourceY, int sourceWidth, int sourceHeight, BLENDFUNCTION blend) {
    if (destWidth <= 0 || destHeight <= 0 || sourceWidth != destWidth || sourceHeight != destHeight ||
        blend.BlendOp != AC_SRC_OVER || blend.AlphaFormat != 0)
        return FALSE;

    // Row 0 holds the destination row, row 1 the source row; top-down so that row 0 comes first in memory.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = destWidth;
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const UniqueBitmap scratch(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueMemoryDc scratchDc(CreateCompatibleDC(destination));
    if (!scratch || !scratchDc) return FALSE;
    const Selection selected(scratchDc.get(), scratch.get());

    const std::size_t rowBytes = static_cast<std::size_t>(destWidth) * 3;
    const std::size_t stride = (rowBytes + 3) / 4 * 4;  // bitmap rows are padded to whole 32-bit words
    auto* const first = static_cast<std::uint8_t*>(bits);
    const std::span<std::uint8_t> destRow(first, rowBytes);
    const std::span<const std::uint8_t> sourceRow(first + stride, rowBytes);
    HDC const scratchHdc = scratchDc.get();
    for (int y = 0; y < destHeight; ++y) {
        if (!BitBlt(scratchHdc, 0, 0, destWidth, 1, destination, destX, destY + y, SRCCOPY) ||
            !BitBlt(scratchHdc, 0, 1, destWidth, 1, source, sourceX, sourceY + y, SRCCOPY))
            return FALSE;
        GdiFlush();  // the bytes are read directly: GDI must have finished writing them
        BlendRow(destRow, sourceRow, blend.SourceConstantAlpha);
        if (!BitBlt(destination, destX, destY + y, destWidth, 1, scratchHdc, 0, 0, SRCCOPY)) return FALSE;
    }
    return TRUE;
}

AlphaBlendLibrary::AlphaBlendLibrary(const wchar_t* dll) : module_(LoadSystemLibrary(dll)) {
    FARPROC found = module_ ? GetProcAddress(module_.get(), "AlphaBlend") : nullptr;
    // GetProcAddress yields an untyped entry point; its real type is AlphaBlend's.
    routine_ = found ? reinterpret_cast<AlphaBlendFunction>(reinterpret_cast<void*>(found)) : &FallbackAlphaBlend;
}

namespace {

const AlphaBlendLibrary& ProcessLibrary() {
    static const AlphaBlendLibrary library(L"msimg32.dll");
    return library;
}

// Settles the routine while the program starts, before any window exists.
[[maybe_unused]] const AlphaBlendLibrary& settledAtStartUp = ProcessLibrary();

}  // namespace

AlphaBlendFunction AlphaBlendProc() {
    return ProcessLibrary().Routine();
}

}  // namespace brimview
