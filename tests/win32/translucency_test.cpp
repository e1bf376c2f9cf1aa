// Whole-window translucency of a form: the layered style and its opacity, seen at the calls.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "platform/LayeredWindows.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace brimview {
namespace {

// What the form asked of the platform.
struct Calls {
    int styleCalls = 0;  // reads and writes of the extended style
    struct Layered {
        HWND window;
        COLORREF key;
        BYTE alpha;
        DWORD flags;
    };
    std::vector<Layered> layered;
    struct Redraw {
        HWND window;
        bool whole;  // no rectangle and no region
        UINT flags;
    };
    std::vector<Redraw> redraws;

    int Total() const { return styleCalls + static_cast<int>(layered.size() + redraws.size()); }
};

Calls calls;
const LayeredWindowApi real = SystemLayeredWindows();

LONG WINAPI ReadStyle(HWND window, int index) {
    if (index == GWL_EXSTYLE) ++calls.styleCalls;
    return real.getWindowLong(window, index);
}
LONG WINAPI WriteStyle(HWND window, int index, LONG value) {
    if (index == GWL_EXSTYLE) ++calls.styleCalls;
    return real.setWindowLong(window, index, value);
}
BOOL WINAPI SetLayered(HWND window, COLORREF key, BYTE alpha, DWORD flags) {
    calls.layered.push_back({window, key, alpha, flags});
    return real.setLayeredWindowAttributes(window, key, alpha, flags);
}
BOOL WINAPI Redraw(HWND window, const RECT* rect, HRGN region, UINT flags) {
    calls.redraws.push_back({window, rect == nullptr && region == nullptr, flags});
    return real.redrawWindow(window, rect, region, flags);
}

// An application whose forms make their calls through counting stand-ins, which pass each call
// on. Without layered windows the stand-in of SetLayeredWindowAttributes is left out.
class CountedCalls {
public:
    explicit CountedCalls(bool layeredWindows = true)
        : app_({layeredWindows ? &SetLayered : nullptr, &ReadStyle, &WriteStyle, &Redraw}) {
        calls = {};
    }
    ui::Application* App() { return &app_; }

private:
    ui::Application app_;
};

bool IsLayered(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

TEST(WindowTranslucency, LayeredStyleFollowsTheTwoProperties) {
    ASSERT_NE(real.setLayeredWindowAttributes, nullptr) << "Wine has layered windows";
    constexpr UINT kRedrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN;
    struct Step {
        const char* what;
        std::function<void(ui::Form&)> act;
        std::optional<BYTE> alpha;    // the opacity given to SetLayeredWindowAttributes, if it is called
        bool redraw;                  // whether the whole window is redrawn
        std::optional<bool> layered;  // the window's style afterwards, once the window exists
    };
    const Step steps[] = {
        {"on before the window exists", [](ui::Form& f) { f.SetAlphaBlend(true); }, {}, false, {}},
        {"value before the window exists", [](ui::Form& f) { f.SetAlphaBlendValue(128); }, {}, false, {}},
        {"window created", [](ui::Form& f) { f.Handle(); }, 128, false, true},
        {"same value", [](ui::Form& f) { f.SetAlphaBlendValue(128); }, {}, false, true},
        {"same flag", [](ui::Form& f) { f.SetAlphaBlend(true); }, {}, false, true},
        {"new value", [](ui::Form& f) { f.SetAlphaBlendValue(44); }, 44, false, true},
        {"opaque yet layered", [](ui::Form& f) { f.SetAlphaBlendValue(255); }, 255, false, true},
        {"window re-created", [](ui::Form& f) { f.SetTopmostStyle(true); }, 255, false, true},
        {"off", [](ui::Form& f) { f.SetAlphaBlend(false); }, {}, true, false},
        {"off again", [](ui::Form& f) { f.SetAlphaBlend(false); }, {}, false, false},
        {"new value while off", [](ui::Form& f) { f.SetAlphaBlendValue(7); }, {}, true, false},
        {"re-created while off", [](ui::Form& f) { f.SetTopmostStyle(false); }, {}, true, false},
        {"on again", [](ui::Form& f) { f.SetAlphaBlend(true); }, 7, false, true},
    };
    CountedCalls counted;
    ui::Form form(counted.App(), L"TTranslucencyTestForm");
    form.clientWidth = 170;
    form.clientHeight = 140;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        calls = {};
        s.act(form);
        ASSERT_EQ(!calls.layered.empty(), s.alpha.has_value());
        for (const Calls::Layered& call : calls.layered) {
            EXPECT_EQ(call.window, form.Handle());
            EXPECT_EQ(call.key, 0u);
            EXPECT_EQ(call.alpha, *s.alpha);
            EXPECT_EQ(call.flags, static_cast<DWORD>(LWA_ALPHA));
        }
        EXPECT_EQ(!calls.redraws.empty(), s.redraw);
        for (const Calls::Redraw& redraw : calls.redraws) {
            EXPECT_EQ(redraw.window, form.Handle());
            EXPECT_TRUE(redraw.whole);
            EXPECT_EQ(redraw.flags, kRedrawAll);
        }
        if (s.layered) {
            EXPECT_EQ(IsLayered(form.Handle()), *s.layered);
        }
        if (s.layered.value_or(false)) {
            BYTE alpha = 0;
            EXPECT_TRUE(GetLayeredWindowAttributes(form.Handle(), nullptr, &alpha, nullptr));
            EXPECT_EQ(alpha, form.AlphaBlendValue());
        }
    }
}

TEST(WindowTranslucency, WithoutLayeredWindowsWritesAreOnlyStored) {
    CountedCalls counted(false);
    ui::Form form(counted.App(), L"TTranslucencyTestForm");
    form.SetAlphaBlend(true);
    form.SetAlphaBlendValue(50);
    form.Handle();
    form.SetAlphaBlendValue(60);
    form.SetAlphaBlend(false);
    form.SetAlphaBlend(true);
    EXPECT_EQ(calls.Total(), 0);
    EXPECT_FALSE(IsLayered(form.Handle()));
    EXPECT_TRUE(form.AlphaBlend());
    EXPECT_EQ(form.AlphaBlendValue(), 60);
}

}  // namespace
}  // namespace brimview
