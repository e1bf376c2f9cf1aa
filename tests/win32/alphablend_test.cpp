#include "drawing/AlphaBlendProc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "GdiTesting.h"

namespace brimview {
namespace {

using test::ChannelDistance;
using test::Image;
using test::Surface;

COLORREF Background(int x, int y) {
    return RGB((x * 37 + y * 11) & 255, (x * 5 + y * 29 + 80) & 255, (x * x + y * 3) & 255);
}
COLORREF Picture(int x, int y) {
    return RGB((x * 13 + 255) & 255, (y * 41) & 255, ((x ^ y) * 23) & 255);
}

BLENDFUNCTION Opacity(int alpha) {
    return {AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0};
}

// Each colour byte of the source over the destination: (s × A + d × (255 − A)) div 255.
COLORREF BlendColour(COLORREF source, COLORREF destination, int alpha) {
    const auto blend = [alpha](int s, int d) { return static_cast<BYTE>((s * alpha + d * (255 - alpha)) / 255); };
    return RGB(blend(GetRValue(source), GetRValue(destination)), blend(GetGValue(source), GetGValue(destination)),
               blend(GetBValue(source), GetBValue(destination)));
}

AlphaBlendFunction PlatformAlphaBlend() {
    static const AlphaBlendLibrary msimg32(L"msimg32.dll");
    return msimg32.Routine();
}

// A module's file, in capitals.
std::wstring ModuleFile(HMODULE module) {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(module, path, MAX_PATH);
    CharUpperW(path);
    return path;
}

TEST(AlphaBlendProc, SettledFromTheSystemsMsimg32) {
    EXPECT_NE(PlatformAlphaBlend(), &FallbackAlphaBlend);
    EXPECT_EQ(AlphaBlendProc(), PlatformAlphaBlend());

    // The build puts a msimg32.dll of its own beside the tests; the system folder's is the one loaded.
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(path).parent_path() / L"msimg32.dll"))
        << "nothing planted";
    GetSystemDirectoryW(path, MAX_PATH);
    std::wstring system = std::wstring(path) + L"\\MSIMG32.DLL";
    CharUpperW(system.data());
    EXPECT_EQ(ModuleFile(GetModuleHandleW(L"msimg32.dll")), system) << "the planted one is loaded";

    // A library that cannot be loaded, and one without the export, both give the program's own blend.
    EXPECT_EQ(AlphaBlendLibrary(L"brimview-no-such-library.dll").Routine(), &FallbackAlphaBlend);
    EXPECT_EQ(AlphaBlendLibrary(L"kernel32.dll").Routine(), &FallbackAlphaBlend);
}

TEST(FallbackAlphaBlend, MatchesPlatformBlendAndTheByteRule) {
    struct Case {
        int width, height, alpha;
    };
    // Widths whose rows of 3-byte pixels are and are not whole 32-bit words.
    const Case cases[] = {{154, 86, 175}, {18, 18, 175}, {1, 1, 175}, {5, 3, 128},
                          {7, 9, 1},      {13, 4, 254},  {16, 16, 64}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " alpha " << c.alpha);
        Surface source(c.width, c.height, Picture);
        Surface own(c.width, c.height, Background);
        Surface platform(c.width, c.height, Background);
        EXPECT_TRUE(FallbackAlphaBlend(own.Dc(), 0, 0, c.width, c.height, source.Dc(), 0, 0, c.width, c.height,
                                       Opacity(c.alpha)));
        EXPECT_TRUE(PlatformAlphaBlend()(platform.Dc(), 0, 0, c.width, c.height, source.Dc(), 0, 0, c.width, c.height,
                                         Opacity(c.alpha)));
        const Image ours = own.Pixels();
        const Image theirs = platform.Pixels();
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const COLORREF pixel = ours.At(x, y);
                ASSERT_LE(ChannelDistance(pixel, theirs.At(x, y)), 1) << "at (" << x << ", " << y << ")";
                ASSERT_EQ(pixel, BlendColour(Picture(x, y), Background(x, y), c.alpha))
                    << "at (" << x << ", " << y << ")";
            }
    }
}

TEST(FallbackAlphaBlend, FullOpacityCopiesAndNoneKeeps) {
    const int alphas[] = {255, 0};
    for (int alpha : alphas) {
        Surface source(31, 17, Picture);
        Surface destination(31, 17, Background);
        EXPECT_TRUE(FallbackAlphaBlend(destination.Dc(), 0, 0, 31, 17, source.Dc(), 0, 0, 31, 17, Opacity(alpha)));
        const Image pixels = destination.Pixels();
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 31; ++x)
                ASSERT_EQ(pixels.At(x, y), alpha == 255 ? Picture(x, y) : Background(x, y))
                    << "alpha " << alpha << " at (" << x << ", " << y << ")";
    }
}

TEST(FallbackAlphaBlend, BlendsOnlyTheGivenRectangles) {
    // Source block at (2, 5) onto the destination at (6, 3), 9 by 4, on larger surfaces.
    Surface source(20, 12, Picture);
    Surface own(20, 12, Background);
    Surface platform(20, 12, Background);
    EXPECT_TRUE(FallbackAlphaBlend(own.Dc(), 6, 3, 9, 4, source.Dc(), 2, 5, 9, 4, Opacity(175)));
    EXPECT_TRUE(PlatformAlphaBlend()(platform.Dc(), 6, 3, 9, 4, source.Dc(), 2, 5, 9, 4, Opacity(175)));
    const Image ours = own.Pixels();
    const Image theirs = platform.Pixels();
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 6 && x < 15 && y >= 3 && y < 7;
            const COLORREF expected =
                inside ? BlendColour(Picture(x - 4, y + 2), Background(x, y), 175) : Background(x, y);
            ASSERT_EQ(ours.At(x, y), expected) << "at (" << x << ", " << y << ")";
            ASSERT_LE(ChannelDistance(ours.At(x, y), theirs.At(x, y)), 1) << "at (" << x << ", " << y << ")";
        }
}

TEST(FallbackAlphaBlend, RefusesWhatItCannotDoExactly) {
    struct Case {
        const char* what;
        int destWidth, destHeight, sourceWidth, sourceHeight;
        BLENDFUNCTION blend;
    };
    const Case cases[] = {
        {"stretching", 8, 6, 4, 6, Opacity(175)},
        {"shrinking", 8, 6, 8, 3, Opacity(175)},
        {"no width", 0, 6, 0, 6, Opacity(175)},
        {"negative height", 8, -6, 8, -6, Opacity(175)},
        {"per-pixel alpha", 8, 6, 8, 6, {AC_SRC_OVER, 0, 175, AC_SRC_ALPHA}},
        {"another operation", 8, 6, 8, 6, {1, 0, 175, 0}},
    };
    for (const Case& c : cases) {
        Surface source(8, 6, Picture);
        Surface destination(8, 6, Background);
        EXPECT_FALSE(FallbackAlphaBlend(destination.Dc(), 0, 0, c.destWidth, c.destHeight, source.Dc(), 0, 0,
                                        c.sourceWidth, c.sourceHeight, c.blend))
            << c.what;
        const Image pixels = destination.Pixels();
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) ASSERT_EQ(pixels.At(x, y), Background(x, y)) << c.what;
    }
}

}  // namespace
}  // namespace brimview
