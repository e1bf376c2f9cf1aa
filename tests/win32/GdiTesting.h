#pragma once
// Real GDI surfaces for the Windows tests: images drawn onto device contexts and read back from
// them pixel by pixel, and a window's client pixels as they stand on the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

#include "platform/GdiHandles.h"

namespace brimview::test {

using Pattern = std::function<COLORREF(int x, int y)>;

// Pixels as COLORREF values, row by row from the top.
class Image {
public:
    Image(int width, int height) : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height) {}
    Image(int width, int height, const Pattern& pattern) : Image(width, height) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) At(x, y) = pattern(x, y);
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF& At(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    COLORREF At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

    // A top-down 32-bit DIB description of the image, with its pixels in the DIB's byte order.
    BITMAPINFO Info() const {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        return info;
    }
    std::vector<std::uint32_t> DibPixels() const {
        std::vector<std::uint32_t> dib;
        for (COLORREF c : pixels_) dib.push_back(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
        return dib;
    }
    static Image FromDib(int width, int height, const std::vector<std::uint32_t>& dib) {
        Image image(width, height);
        for (std::size_t i = 0; i < dib.size(); ++i)
            image.pixels_[i] = RGB((dib[i] >> 16) & 255, (dib[i] >> 8) & 255, dib[i] & 255);
        return image;
    }

private:
    int width_;
    int height_;
    std::vector<COLORREF> pixels_;
};

// Draws the image onto the device context with its top-left corner at (x, y).
inline void DrawImage(HDC dc, const Image& image, int x, int y) {
    const std::vector<std::uint32_t> dib = image.DibPixels();
    const BITMAPINFO info = image.Info();
    SetDIBitsToDevice(dc, x, y, image.Width(), image.Height(), 0, 0, 0, image.Height(), dib.data(), &info,
                      DIB_RGB_COLORS);
}

// A bitmap compatible with the screen, as the program paints into, held selected in a memory DC.
class Surface {
public:
    explicit Surface(const Image& image) : width_(image.Width()), height_(image.Height()) {
        const WindowDc screen(nullptr);
        bitmap_.reset(CreateCompatibleBitmap(screen.get(), width_, height_));
        dc_.reset(CreateCompatibleDC(screen.get()));
        selection_.emplace(dc_.get(), bitmap_.get());
        DrawImage(dc_.get(), image, 0, 0);
    }
    Surface(int width, int height, const Pattern& pattern) : Surface(Image(width, height, pattern)) {}

    HDC Dc() const { return dc_.get(); }

    // Read back with GetDIBits, which wants the bitmap out of every DC meanwhile.
    Image Pixels() {
        selection_.reset();
        std::vector<std::uint32_t> dib(static_cast<std::size_t>(width_) * height_);
        BITMAPINFO info = Image(width_, height_).Info();
        const int rows = GetDIBits(dc_.get(), bitmap_.get(), 0, height_, dib.data(), &info, DIB_RGB_COLORS);
        selection_.emplace(dc_.get(), bitmap_.get());
        EXPECT_EQ(rows, height_);
        return Image::FromDib(width_, height_, dib);
    }

private:
    int width_;
    int height_;
    UniqueBitmap bitmap_;
    UniqueMemoryDc dc_;
    std::optional<Selection> selection_;
};

// Dispatches every waiting message, paints included.
inline void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Dispatches messages as they come until the condition holds; false if it does not within
// ten seconds, which only keeps a failing test from hanging.
template <class Condition>
bool PumpUntil(Condition holds) {
    const ULONGLONG end = GetTickCount64() + 10000;
    for (;;) {
        PumpMessages();
        if (holds()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

// The client area of a window as it stands on the screen, child windows included.
inline Image ClientPixels(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    Surface copy(client.right, client.bottom, [](int, int) { return RGB(0, 0, 0); });
    const WindowDc dc(window);
    BitBlt(copy.Dc(), 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
    return copy.Pixels();
}

inline int ChannelDistance(COLORREF a, COLORREF b) {
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

}  // namespace brimview::test
