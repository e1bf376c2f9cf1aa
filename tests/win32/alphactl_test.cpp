#include "drawing/AlphaCtl.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "GdiTesting.h"
#include "drawing/AlphaBlendProc.h"
#include "drawing/AlphaBtn.h"
#include "TestApplication.h"
#include "ui/Form.h"

namespace brimview {
namespace {

using test::ChannelDistance;
using test::DrawImage;
using test::Image;
using test::Pattern;
using test::Surface;

COLORREF Skin(int x, int y) {
    return RGB((x * 37 + y * 11) & 255, (x * 5 + y * 29 + 80) & 255, (x * x + y * 3) & 255);
}

constexpr COLORREF kKey = RGB(255, 0, 255);  // a glyph's bottom-left colour: its see-through pixels

// Two 16 by 16 glyphs: a disc and a cross of graded colours on the key colour.
COLORREF DiscGlyph(int x, int y) {
    const int dx = x - 8, dy = y - 7;
    return dx * dx + dy * dy < 36 ? RGB(20 + x * 10, 200 - y * 10, 60) : kKey;
}
COLORREF CrossGlyph(int x, int y) {
    return (x >= 6 && x < 10) || (y >= 5 && y < 9) ? RGB(240 - x * 9, 30, 15 * y) : kKey;
}

// A 16 by 16 bitmap of 24 bits per pixel, as the buttons' glyphs are stored.
UniqueBitmap MakeGlyph(COLORREF (*pixel)(int, int)) {
    const Image image(16, 16, pixel);
    BITMAPINFO info = image.Info();
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    UniqueBitmap glyph(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const std::vector<std::uint32_t> dib = image.DibPixels();
    const BITMAPINFO source = image.Info();
    const WindowDc screen(nullptr);
    SetDIBits(screen.get(), glyph.get(), 0, 16, dib.data(), &source, DIB_RGB_COLORS);
    return glyph;
}

struct Bounds {
    int left, top, width, height;
};
constexpr Bounds kVeil{9, 36, 154, 86};
constexpr Bounds kSettingsButton{123, 122, 18, 18};
constexpr Bounds kHelpButton{142, 122, 18, 18};

// The main window's look: a skin under the white veil and two flat buttons, each both as the
// blended control and as its plain base class at the same place, so that either can be shown.
struct MainWindowLook {
    explicit MainWindowLook(Pattern pattern)
        : form(&test::App(), L"TAlphaCtlTestForm"),
          skin(kWidth, kHeight, pattern),
          plainVeil(&form, &form),
          plainSettings(&form, &form, MakeGlyph(DiscGlyph)),
          plainHelp(&form, &form, MakeGlyph(CrossGlyph)),
          veil(&form, &form),
          settings(&form, &form, MakeGlyph(DiscGlyph)),
          help(&form, &form, MakeGlyph(CrossGlyph)) {
        form.clientWidth = kWidth;
        form.clientHeight = kHeight;
        form.SetDoubleBuffered(true);
        form.OnPaint = [this](ui::Component&) { DrawImage(form.Canvas(), skin, 0, 0); };
        for (ui::Shape* shape : {&plainVeil, static_cast<ui::Shape*>(&veil)}) {
            shape->SetBounds(kVeil.left, kVeil.top, kVeil.width, kVeil.height);
            shape->brush = {RGB(255, 255, 255), false, -1};
            shape->pen = {RGB(255, 255, 255), PS_NULL, 0};
        }
        for (ui::SpeedButton* button : {&plainSettings, static_cast<ui::SpeedButton*>(&settings)})
            button->SetBounds(kSettingsButton.left, kSettingsButton.top, kSettingsButton.width, kSettingsButton.height);
        for (ui::SpeedButton* button : {&plainHelp, static_cast<ui::SpeedButton*>(&help)})
            button->SetBounds(kHelpButton.left, kHelpButton.top, kHelpButton.width, kHelpButton.height);
        form.Handle();
    }

    enum class Shown { Nothing, PlainControls, BlendedControls };

    void Show(Shown shown) {
        const bool plain = shown == Shown::PlainControls, blended = shown == Shown::BlendedControls;
        for (ui::Control* control : {static_cast<ui::Control*>(&plainVeil), static_cast<ui::Control*>(&plainSettings),
                                     static_cast<ui::Control*>(&plainHelp)})
            control->SetVisible(plain);
        for (ui::Control* control :
             {static_cast<ui::Control*>(&veil), static_cast<ui::Control*>(&settings), static_cast<ui::Control*>(&help)})
            control->SetVisible(blended);
    }

    // The whole client area as the window paints it, through WM_PRINTCLIENT into a memory surface.
    Image Paint() {
        Surface surface(kWidth, kHeight, [](int, int) { return RGB(0, 0, 0); });
        SendMessageW(form.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.Dc()), PRF_CLIENT);
        return surface.Pixels();
    }
    Image Paint(Shown shown) {
        Show(shown);
        return Paint();
    }

    void SetAlpha(BYTE alpha) {
        veil.SetAlpha(alpha);
        settings.SetAlpha(alpha);
        help.SetAlpha(alpha);
    }

    static constexpr int kWidth = 170;
    static constexpr int kHeight = 140;

    ui::Form form;
    Image skin;
    ui::Shape plainVeil;
    ui::SpeedButton plainSettings;
    ui::SpeedButton plainHelp;
    TAlphaShape veil;
    TAlphaSpeedButton settings;
    TAlphaSpeedButton help;
};

TEST(AlphaControls, FullOpacityGivesTheImageAndNoneTheBackground) {
    struct Case {
        BYTE alpha;
        MainWindowLook::Shown expected;
    };
    const Case cases[] = {{255, MainWindowLook::Shown::PlainControls}, {0, MainWindowLook::Shown::Nothing}};
    MainWindowLook look(Skin);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Alpha " << int{c.alpha});
        look.SetAlpha(c.alpha);
        const Image expected = look.Paint(c.expected);
        const Image painted = look.Paint(MainWindowLook::Shown::BlendedControls);
        for (int y = 0; y < MainWindowLook::kHeight; ++y)
            for (int x = 0; x < MainWindowLook::kWidth; ++x)
                ASSERT_EQ(painted.At(x, y), expected.At(x, y)) << "at (" << x << ", " << y << ")";
    }
}

TEST(AlphaControls, WholeWindowMatchesTheProgramsOwnBlend) {
    struct Case {
        const char* what;
        Pattern skin;
        COLORREF underVeil;  // the program's own blend inside the veil, where known; CLR_INVALID otherwise
    };
    // White over 100, 0 and 255 at 175: (255 × 175 + 100 × 80) div 255 = 206, then 175 and 255.
    const Case cases[] = {{"patterned skin", Skin, CLR_INVALID},
                          {"flat skin", [](int, int) { return RGB(100, 0, 255); }, RGB(206, 175, 255)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainWindowLook look(c.skin);
        look.SetAlpha(175);
        Surface own(look.Paint(MainWindowLook::Shown::Nothing));
        Surface image(look.Paint(MainWindowLook::Shown::PlainControls));
        const Image background = own.Pixels();
        const Image base = image.Pixels();
        ASSERT_TRUE(FallbackAlphaBlend(own.Dc(), 0, 0, MainWindowLook::kWidth, MainWindowLook::kHeight, image.Dc(), 0,
                                       0, MainWindowLook::kWidth, MainWindowLook::kHeight, {AC_SRC_OVER, 0, 175, 0}));
        const Image expected = own.Pixels();
        const Image painted = look.Paint(MainWindowLook::Shown::BlendedControls);
        if (c.underVeil != CLR_INVALID) {
            EXPECT_EQ(expected.At(80, 80), c.underVeil);
        }
        int blended = 0;
        for (int y = 0; y < MainWindowLook::kHeight; ++y)
            for (int x = 0; x < MainWindowLook::kWidth; ++x) {
                // Where the controls drew nothing, the background stays exactly as it was.
                if (base.At(x, y) == background.At(x, y)) {
                    ASSERT_EQ(painted.At(x, y), background.At(x, y)) << "at (" << x << ", " << y << ")";
                } else {
                    ++blended;
                    ASSERT_LE(ChannelDistance(painted.At(x, y), expected.At(x, y)), 1)
                        << "at (" << x << ", " << y << ")";
                }
            }
        EXPECT_GT(blended, kVeil.width * kVeil.height / 2);
    }
}

TEST(TAlphaSpeedButton, IdleButtonChangesOnlyItsGlyphsPixels) {
    MainWindowLook look(Skin);
    look.SetAlpha(175);
    look.Show(MainWindowLook::Shown::BlendedControls);
    look.veil.SetVisible(false);
    const Image painted = look.Paint();
    struct Button {
        Bounds at;
        COLORREF (*glyph)(int, int);
    };
    const Button buttons[] = {{kSettingsButton, DiscGlyph}, {kHelpButton, CrossGlyph}};
    int glyphPixels = 0;
    for (int y = 0; y < MainWindowLook::kHeight; ++y)
        for (int x = 0; x < MainWindowLook::kWidth; ++x) {
            COLORREF glyph = kKey;
            for (const Button& b : buttons) {
                // The glyph is centred on the button's square: one pixel in from its edges.
                const int gx = x - b.at.left - (b.at.width - 16) / 2, gy = y - b.at.top - (b.at.height - 16) / 2;
                if (gx >= 0 && gx < 16 && gy >= 0 && gy < 16) glyph = b.glyph(gx, gy);
            }
            if (glyph == kKey) {
                ASSERT_EQ(painted.At(x, y), Skin(x, y)) << "at (" << x << ", " << y << ")";
                continue;
            }
            ++glyphPixels;
            // Each colour byte at opacity 175: (glyph × 175 + skin × 80) div 255.
            const auto blend = [](int g, int s) { return static_cast<BYTE>((g * 175 + s * 80) / 255); };
            const COLORREF skin = Skin(x, y);
            const COLORREF expected =
                RGB(blend(GetRValue(glyph), GetRValue(skin)), blend(GetGValue(glyph), GetGValue(skin)),
                    blend(GetBValue(glyph), GetBValue(skin)));
            ASSERT_LE(ChannelDistance(painted.At(x, y), expected), 1) << "at (" << x << ", " << y << ")";
        }
    EXPECT_GT(glyphPixels, 0);
}

TEST(AlphaControls, AlphaRepaintsOnlyWhenItChanges) {
    MainWindowLook look(Skin);
    look.form.FinishCreation();
    look.form.Show();
    struct Case {
        const char* what;
        ui::GraphicControl& control;
        std::function<void(BYTE)> setAlpha;
    };
    const Case cases[] = {
        {"shape", look.veil, [&](BYTE a) { look.veil.SetAlpha(a); }},
        {"button", look.settings, [&](BYTE a) { look.settings.SetAlpha(a); }},
    };
    const HWND window = look.form.Handle();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.setAlpha(175);
        test::PumpMessages();
        ValidateRect(window, nullptr);
        c.setAlpha(175);
        EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)) << "the same value repainted";
        c.setAlpha(176);
        RECT update{};
        EXPECT_TRUE(GetUpdateRect(window, &update, FALSE)) << "a new value did not repaint";
        const RECT bounds = c.control.BoundsRect();
        EXPECT_TRUE(EqualRect(&update, &bounds));
    }
}

}  // namespace
}  // namespace brimview
