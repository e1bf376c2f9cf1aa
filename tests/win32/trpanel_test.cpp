#include "drawing/TrPanel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "GdiTesting.h"
#include "TestApplication.h"
#include "ui/Form.h"

namespace brimview {
namespace {

using test::ClientPixels;
using test::DrawImage;
using test::Image;
using test::PumpMessages;

// What the parent paints: red between 64 and 127, so never a system grey nor white, and never
// one of the panel or figure colours the tests use.
COLORREF Backdrop(int x, int y) {
    return RGB(64 + (x * 7 + y * 3) % 64, 128 + (x * 5 + y * 11) % 64, (x * 3 + y * 13) % 256);
}

constexpr COLORREF kPanelColour = RGB(30, 160, 90);
constexpr COLORREF kHatchColour = RGB(200, 0, 0);

// A top-level window of the test's own, shown on the screen, whose paint covers its client area
// with the backdrop: the pixels a see-through panel must leave visible. Panels come and go on it:
// Wine takes a while to take a shown top-level window down, but not a child window.
class ParentWindow {
public:
    ParentWindow() : form_(&test::App(), L"TTransPanelTestParent"), backdrop_(kWidth, kHeight, Backdrop) {
        form_.clientWidth = kWidth;
        form_.clientHeight = kHeight;
        form_.SetDoubleBuffered(true);
        form_.OnPaint = [this](ui::Component&) { DrawImage(form_.Canvas(), backdrop_, 0, 0); };
        form_.FinishCreation();
        form_.Show();
        PumpMessages();
    }
    ui::Form& Form() { return form_; }
    Image Shot() {
        PumpMessages();
        return ClientPixels(form_.Handle());
    }

    static constexpr int kWidth = 200;
    static constexpr int kHeight = 150;

private:
    ui::Form form_;
    Image backdrop_;
};

struct FrameCase {
    const char* what;
    int width, height;
    TBevelCut outer, inner;
    int bevelWidth, borderWidth;
    COLORREF colour;
    bool transparent;
};

// The frame as rings: a pixel lies on the ring of its distance d to the nearest edge; on that ring
// the right column and the bottom row take the bottom colour, the rest the top colour. Lowered has
// the shadow on top, raised and space the highlight. Inside the rings: the fill, or what lies beneath.
COLORREF ExpectedPanelPixel(const FrameCase& c, int x, int y, COLORREF beneath) {
    int d = std::min({x, y, c.width - 1 - x, c.height - 1 - y});
    const bool bottomOrRight = x == c.width - 1 - d || y == c.height - 1 - d;
    auto bevel = [&](TBevelCut cut) {
        const bool shadow = (cut == TBevelCut::bvLowered) != bottomOrRight;
        return GetSysColor(shadow ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
    };
    const int outerWidth = c.outer == TBevelCut::bvNone ? 0 : c.bevelWidth;
    const int innerWidth = c.inner == TBevelCut::bvNone ? 0 : c.bevelWidth;
    if (d < outerWidth) return bevel(c.outer);
    d -= outerWidth;
    if (d < c.borderWidth) return c.colour;
    d -= c.borderWidth;
    if (d < innerWidth) return bevel(c.inner);
    return c.transparent ? beneath : c.colour;
}

TEST(TTransPanel, PaintsItsFrameOverItsFillOrOverTheParentsPixels) {
    const FrameCase cases[] = {
        // The main window's panel: one lowered ring, white.
        {"main panel, opaque", 154, 86, TBevelCut::bvNone, TBevelCut::bvLowered, 1, 0, RGB(255, 255, 255), false},
        {"main panel, see-through", 154, 86, TBevelCut::bvNone, TBevelCut::bvLowered, 1, 0, RGB(255, 255, 255), true},
        {"main panel shape, coloured", 154, 86, TBevelCut::bvNone, TBevelCut::bvLowered, 1, 0, kPanelColour, false},
        // The fill starts 7 pixels in: 2 raised, 3 of border, 2 lowered.
        {"7-pixel inset, opaque", 120, 60, TBevelCut::bvRaised, TBevelCut::bvLowered, 2, 3, kPanelColour, false},
        {"7-pixel inset, see-through", 120, 60, TBevelCut::bvRaised, TBevelCut::bvLowered, 2, 3, kPanelColour, true},
        {"space and raised, see-through", 90, 50, TBevelCut::bvSpace, TBevelCut::bvRaised, 1, 1, kPanelColour, true},
        {"no bevels, see-through", 40, 30, TBevelCut::bvNone, TBevelCut::bvNone, 1, 0, kPanelColour, true},
    };
    constexpr int kLeft = 9, kTop = 36;
    ParentWindow parent;
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.what);
        TTransPanel panel(&parent.Form(), &parent.Form());
        panel.SetBounds(kLeft, kTop, c.width, c.height);
        panel.SetColor(c.colour);
        panel.SetBevelOuter(c.outer);
        panel.SetBevelInner(c.inner);
        panel.SetBevelWidth(c.bevelWidth);
        panel.SetBorderWidth(c.borderWidth);
        panel.SetTransparent(c.transparent);
        panel.Handle();
        const Image shot = parent.Shot();
        for (int y = 0; y < ParentWindow::kHeight; ++y)
            for (int x = 0; x < ParentWindow::kWidth; ++x) {
                const int px = x - kLeft, py = y - kTop;
                const bool onPanel = px >= 0 && px < c.width && py >= 0 && py < c.height;
                const COLORREF expected = onPanel ? ExpectedPanelPixel(c, px, py, Backdrop(x, y)) : Backdrop(x, y);
                ASSERT_EQ(shot.At(x, y), expected) << "at (" << x << ", " << y << ")";
            }
    }
}

TEST(TTransPanel, SeeThroughPanelTakesTheBackgroundOfItsNewPlace) {
    ParentWindow parent;
    TTransPanel panel(&parent.Form(), &parent.Form());
    panel.SetBounds(9, 36, 80, 40);
    panel.SetTransparent(true);
    panel.Handle();
    parent.Shot();
    struct Place {
        int left, top;
    };
    for (const Place& to : {Place{50, 70}, Place{3, 5}, Place{110, 100}}) {
        panel.SetBounds(to.left, to.top, 80, 40);
        const Image shot = parent.Shot();
        // Inside the raised ring: the parent's pixels of the new place.
        for (int y = 1; y < 39; ++y)
            for (int x = 1; x < 79; ++x)
                ASSERT_EQ(shot.At(to.left + x, to.top + y), Backdrop(to.left + x, to.top + y))
                    << "moved to (" << to.left << ", " << to.top << "), at (" << x << ", " << y << ")";
    }
}

TEST(TTransPanel, HatchShowsTheUnderlayOrWhatLiesBeneath) {
    struct Case {
        bool transparent, shapeTransparent;
    };
    const Case cases[] = {{false, false}, {false, true}, {true, false}, {true, true}};
    constexpr int kLeft = 20, kTop = 30, kWidth = 64, kHeight = 48;
    ParentWindow parent;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Transparent " << c.transparent << ", ShapeTransparent "
                                        << c.shapeTransparent);
        TTransPanel panel(&parent.Form(), &parent.Form());
        panel.SetBounds(kLeft, kTop, kWidth, kHeight);
        panel.SetColor(kPanelColour);
        panel.SetTransparent(c.transparent);
        panel.SetShapeTransparent(c.shapeTransparent);
        panel.SetShape(TShapeType::stRectangle);
        panel.SetShapeBrush({kHatchColour, false, HS_DIAGCROSS});
        panel.Handle();
        const Image shot = parent.Shot();
        // The outline (pen width 1) covers the panel's edge; inside it, hatch lines and gaps.
        int lines = 0, gaps = 0;
        for (int y = kTop + 1; y < kTop + kHeight - 1; ++y)
            for (int x = kLeft + 1; x < kLeft + kWidth - 1; ++x) {
                const COLORREF gap = c.transparent && c.shapeTransparent ? Backdrop(x, y) : kPanelColour;
                const COLORREF pixel = shot.At(x, y);
                if (pixel == kHatchColour)
                    ++lines;
                else if (pixel == gap)
                    ++gaps;
                else
                    ADD_FAILURE() << "at (" << x << ", " << y << "): neither hatch nor gap";
            }
        EXPECT_GT(lines, 0);
        EXPECT_GT(gaps, lines);  // a diagonal cross hatch covers a quarter of the pixels
    }
}

// Painted through WM_PRINTCLIENT into a memory surface.
Image PrintPanel(TTransPanel& panel) {
    test::Surface surface(panel.Width(), panel.Height(), Backdrop);
    SendMessageW(panel.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
    return surface.Pixels();
}

bool SameImage(const Image& a, const Image& b) {
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.At(x, y) != b.At(x, y)) return false;
    return true;
}

TEST(TTransPanel, RoundSizeOutsideItsRangeIsCorrected) {
    struct Case {
        int assigned, correctedTo;
    };
    // The corner size divides by the round size: 0 must never reach the painting. The range's
    // edges are the figure's rules; here the panel keeps and paints the corrected value.
    const Case cases[] = {{0, 1}, {33, 32}};
    ui::Form parent(&test::App(), L"TTransPanelTestParent");
    TTransPanel panel(&parent, &parent);
    panel.SetBounds(0, 0, 185, 41);
    panel.SetColor(kPanelColour);
    panel.SetShapeBrush({kHatchColour, false, -1});
    const Image plain = PrintPanel(panel);
    panel.SetShape(TShapeType::stRoundRect);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ShapeRoundSize " << c.assigned);
        panel.SetShapeRoundSize(c.correctedTo);
        const Image expected = PrintPanel(panel);
        // From another value, so that a value kept from before does not pass for a corrected one.
        panel.SetShapeRoundSize(16);
        panel.SetShapeRoundSize(c.assigned);
        EXPECT_EQ(panel.ShapeRoundSize(), c.correctedTo);
        const Image painted = PrintPanel(panel);
        EXPECT_TRUE(SameImage(painted, expected));
        EXPECT_FALSE(SameImage(painted, plain)) << "no figure painted";
    }
}

// The confinement rectangle in force.
RECT ClipNow() {
    RECT r{};
    GetClipCursor(&r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

TEST(TTransPanel, MouseClipConfinesAndGoesBackOrFrees) {
    const RECT atCreation{100, 80, 700, 560};
    const RECT earlier{40, 30, 600, 500};
    ParentWindow parent;
    // Wine confines the cursor of a process with windows only through XInput2 (libXi).
    ClipCursor(&earlier);
    if (!SameRect(ClipNow(), earlier)) GTEST_SKIP() << "the window system here refuses to confine the cursor";
    ClipCursor(nullptr);
    const RECT free = ClipNow();

    for (const bool clipBack : {true, false}) {
        SCOPED_TRACE(testing::Message() << "MouseClipBack " << clipBack);
        ClipCursor(&atCreation);
        {
            TTransPanel panel(&parent.Form(), &parent.Form());
            EXPECT_TRUE(SameRect(ClipNow(), free)) << "construction frees the cursor";
            panel.SetBounds(30, 20, 120, 70);
            panel.Handle();
            ClipCursor(&earlier);
            panel.SetMouseClipBack(clipBack);
            panel.SetMouseClip(true);
            RECT onScreen;
            GetWindowRect(panel.Handle(), &onScreen);
            EXPECT_TRUE(SameRect(ClipNow(), onScreen)) << "confined to the panel";
            panel.SetMouseClip(false);
            EXPECT_TRUE(SameRect(ClipNow(), clipBack ? earlier : free)) << "confinement ended";
            ClipCursor(&atCreation);
            panel.SetMouseClip(false);  // false again still goes back or frees
            EXPECT_TRUE(SameRect(ClipNow(), clipBack ? earlier : free)) << "ended again";
            ClipCursor(&earlier);
        }
        EXPECT_TRUE(SameRect(ClipNow(), clipBack ? atCreation : free)) << "after destruction";
    }
    ClipCursor(nullptr);
}

TEST(TTransPanel, LeaveEventOnlyWhenTheCursorIsOutside) {
    struct Case {
        const char* what;
        POINT at;  // the cursor, in the panel's client coordinates
        std::vector<int> keysDown;
        bool raised;
        UINT shift;
    };
    const Case cases[] = {
        {"onto its progress bar", {50, 20}, {}, false, 0},
        {"still inside", {0, 69}, {VK_SHIFT}, false, 0},
        {"out to the left", {-3, 30}, {}, true, 0},
        {"out below, Shift and the left button down", {60, 70}, {VK_SHIFT, VK_LBUTTON}, true, ssShift | ssLeft},
        {"out to the right, Ctrl and Alt down", {120, 10}, {VK_CONTROL, VK_MENU}, true, ssCtrl | ssAlt},
        {"out above, right and middle buttons down", {0, -1}, {VK_RBUTTON, VK_MBUTTON}, true, ssRight | ssMiddle},
    };
    ParentWindow parent;
    TTransPanel panel(&parent.Form(), &parent.Form());
    panel.SetBounds(30, 20, 120, 70);
    ui::ProgressBar bar(&panel, &panel);
    bar.SetBounds(10, 10, 100, 20);
    panel.Handle();
    struct Raised {
        int count = 0;
        ui::Component* sender = nullptr;
        UINT shift = 0;
        POINT at{};
    } raised;
    panel.OnMouseLeave = [&](ui::Component& sender, UINT shift, int x, int y) {
        ++raised.count;
        raised.sender = &sender;
        raised.shift = shift;
        raised.at = {x, y};
    };
    BYTE before[256];
    GetKeyboardState(before);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        raised = {};
        BYTE keys[256] = {};
        for (int key : c.keysDown) keys[key] = 0x80;
        SetKeyboardState(keys);
        POINT screen = c.at;
        ClientToScreen(panel.Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageW(panel.Handle(), WM_MOUSELEAVE, 0, 0);
        ASSERT_EQ(raised.count, c.raised ? 1 : 0);
        if (!c.raised) continue;
        EXPECT_EQ(raised.sender, &panel);
        EXPECT_EQ(raised.shift, c.shift);
        EXPECT_EQ(raised.at.x, c.at.x);
        EXPECT_EQ(raised.at.y, c.at.y);
    }
    SetKeyboardState(before);
}

}  // namespace
}  // namespace brimview
