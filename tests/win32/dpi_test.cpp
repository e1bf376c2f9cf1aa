// A window moved to a monitor of another dpi: WM_DPICHANGED as the system sends it.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestApplication.h"
#include "app/DriveMonitor.h"
#include "help/About.h"
#include "platform/Win32Drives.h"
#include "platform/Win32FileStore.h"
#include "platform/Win32TextServices.h"
#include "platform/Win32RunList.h"
#include "settings/Options.h"

namespace brimview {
namespace {

// A window inside the form: its class, its rectangle in its parent's client area and its
// font's character height. The pages of a tab control are left out: they lie over the
// display area that the system makes for the tabs' font.
struct Placed {
    std::wstring className;
    long left, top, width, height, font;
};

BOOL CALLBACK Collect(HWND child, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(child);
    return TRUE;
}

std::vector<Placed> Layout(HWND form) {
    std::vector<HWND> windows;
    EnumChildWindows(form, Collect, reinterpret_cast<LPARAM>(&windows));
    std::vector<Placed> placed;
    for (HWND child : windows) {
        wchar_t name[64] = L"", parent[64] = L"";
        GetClassNameW(child, name, 64);
        GetClassNameW(GetParent(child), parent, 64);
        if (std::wstring(parent) == WC_TABCONTROLW) continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), sizeof font, &font);
        // A link is as wide as its text, which the font's hinting does not make quite proportional.
        const long width = std::wstring(name) == L"TLinkLabel" ? 0 : r.right - r.left;
        placed.push_back({name, r.left, r.top, width, r.bottom - r.top, -font.lfHeight});
    }
    return placed;
}

// Every length at 192 dpi is twice that at 96, within the pixel a sum of two scaled
// lengths may round apart.
void ExpectDoubled(const std::vector<Placed>& at96, const std::vector<Placed>& at192) {
    ASSERT_EQ(at96.size(), at192.size());
    for (size_t i = 0; i < at96.size(); ++i) {
        const Placed &was = at96[i], &is = at192[i];
        EXPECT_EQ(was.className, is.className);
        for (auto [before, after] :
             {std::pair{was.left, is.left}, std::pair{was.top, is.top}, std::pair{was.width, is.width},
              std::pair{was.height, is.height}, std::pair{was.font, is.font}})
            EXPECT_NEAR(after, 2 * before, 1) << "window " << i << " " << before;
    }
}

TEST(DpiChange, TheWindowTakesTheSuggestedPlaceFitsItsClientAreaAndLaysOutItsContentsAtTheNewDpi) {
    Win32TextServices text;
    Win32FileStore files;
    Services services{files, text, std::make_shared<Win32DiskSpace>(), std::make_shared<Win32DriveCatalog>(), '.'};
    TForm1 main(&test::App(), services);
    main.Handle();
    Win32RunList runList;
    TPagesDlg options(&test::App(), main.Settings(), services, runList);
    TAboutBox about(&test::App(), files);
    for (ui::Form* form :
         {static_cast<ui::Form*>(&main), static_cast<ui::Form*>(&options), static_cast<ui::Form*>(&about)}) {
        HWND hwnd = form->Handle();
        ASSERT_EQ(form->Dpi(), 96);
        const std::vector<Placed> at96 = Layout(hwnd);
        RECT window, client;
        GetWindowRect(hwnd, &window);
        GetClientRect(hwnd, &client);
        // The whole window doubled, as the system suggests it, while the frame stays as it was
        // (as under per-monitor v1, and here): the place is taken, the client area fitted.
        const RECT suggested{window.left + 7, window.top + 5, window.left + 7 + 2 * (window.right - window.left),
                             window.top + 5 + 2 * (window.bottom - window.top)};
        SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
        RECT taken, fitted;
        GetWindowRect(hwnd, &taken);
        GetClientRect(hwnd, &fitted);
        EXPECT_EQ(std::vector<long>({taken.left, taken.top, fitted.right, fitted.bottom}),
                  std::vector<long>({suggested.left, suggested.top, 2 * client.right, 2 * client.bottom}));
        EXPECT_EQ(form->Dpi(), 192);
        ExpectDoubled(at96, Layout(hwnd));
    }
    // The windowless controls too: the buttons' hot areas, the value labels' right edge.
    EXPECT_EQ(main.AlphaSpeedButton1->BoundsRect().left, 246);
    EXPECT_EQ(main.AlphaSpeedButton1->BoundsRect().bottom, 280);
    EXPECT_EQ(main.AlphaSpeedButton2->Width(), 36);
    EXPECT_EQ(main.LabelSizeV->BoundsRect().right, 292);
    EXPECT_EQ(main.LabelUsed->Top(), 132);
}

}  // namespace
}  // namespace brimview
