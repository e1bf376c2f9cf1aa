// Prints the cost of one full paint of the main window (the settings read, the stay-on-top
// call, the skin tiled, the veil and the buttons blended) with the cost of its parts, and the
// process's GDI objects, USER objects and kernel handles before and after many paints: a
// leak shows as growth. Run it from a folder laid out like the program's, with skin\bg.bmp.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "Timing.h"
#include "app/DriveMonitor.h"
#include "drawing/AlphaBlendProc.h"
#include "drawing/AlphaCtl.h"
#include "drawing/Skin.h"
#include "platform/GdiHandles.h"
#include "platform/LayeredWindows.h"
#include "platform/Win32Drives.h"
#include "platform/Win32FileStore.h"
#include "platform/Win32TextServices.h"
#include "settings/WindowSettings.h"
#include "ui/Application.h"

namespace {

using namespace brimview;

constexpr int kRuns = 10;
constexpr int kPaints = 1000;  // per run: 10,000 paints of the form in all
constexpr int kRedraws = 100;  // per run: a redraw of the whole window costs more
constexpr int kPartCalls = 100;

struct Counts {
    DWORD gdi, user, kernel;
};

// Wine answers GetGuiResources and GetProcessHandleCount with 0. Its handles are small
// table indices, and a GDI or USER handle whose upper word is 0 names whatever object
// holds that index, so there the objects are counted by asking every index.
DWORD ProbeGdiObjects() {
    DWORD count = 0;
    for (ULONG_PTR index = 1; index < 0x10000; ++index) count += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
    return count;
}

// The windows of this process and the menus: the USER objects the program makes, besides
// the shared cursors and icons.
DWORD ProbeUserObjects() {
    DWORD count = 0;
    for (ULONG_PTR index = 2; index < 0x10000; index += 2) {
        const HWND window = reinterpret_cast<HWND>(index);
        DWORD process = 0;
        count += IsWindow(window) && GetWindowThreadProcessId(window, &process) && process == GetCurrentProcessId();
        count += IsMenu(reinterpret_cast<HMENU>(index)) != FALSE;
    }
    return count;
}

DWORD ProbeKernelHandles() {
    DWORD count = 0, flags;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4)
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) != FALSE;
    return count;
}

bool probed = false;

Counts Count() {
    const HANDLE self = GetCurrentProcess();
    Counts counts{GetGuiResources(self, GR_GDIOBJECTS), GetGuiResources(self, GR_USEROBJECTS), 0};
    GetProcessHandleCount(self, &counts.kernel);
    probed = counts.gdi == 0 || counts.user == 0 || counts.kernel == 0;
    if (probed) counts = {ProbeGdiObjects(), ProbeUserObjects(), ProbeKernelHandles()};
    return counts;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

template <class Work>
double MedianMilliseconds(int calls, Work&& work) {
    return bench::MedianMicroseconds(kRuns, calls, work) / 1000;
}

}  // namespace

int main() {
    if (GetFileAttributesA("skin\\bg.bmp") == INVALID_FILE_ATTRIBUTES) {
        std::puts("paint_bench: run it from a folder that holds skin\\bg.bmp");
        return 2;
    }
    Win32TextServices text;
    Win32FileStore files;
    AlphaBlendProc();
    ui::Application app(SystemLayeredWindows());
    app.SetTitle(L"Brimview");
    TForm1& form = app.CreateForm<TForm1>(Services{files, text, std::make_shared<Win32DiskSpace>(),
                                                   std::make_shared<Win32DriveCatalog>(), DecimalSeparator()});
    form.Show();
    PumpMessages();

    RECT client;
    GetClientRect(form.Handle(), &client);
    const WindowDc screen(nullptr);
    const UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    const Selection selected(memory.get(), bitmap.get());
    const auto formPaint = [&] {
        SendMessageW(form.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
    };
    const auto windowRedraw = [&] {
        RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    };
    // The first paints load the fonts and fill the caches; they are not counted.
    formPaint();
    windowRedraw();
    PumpMessages();

    // The parts of the form's paint, each on its own.
    const double settingsMs = MedianMilliseconds(kPartCalls, [&] { ReadPaintSettings(files, text); });
    const double stayOnTopMs = MedianMilliseconds(kPartCalls, [&] {
        SetWindowPos(form.Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    });
    SkinPattern skin;
    const std::string skinPath = SkinPath(form.SkinFile);
    const double skinMs = MedianMilliseconds(kPartCalls, [&] { skin.Paint(memory.get(), client, skinPath, text); });
    const double skinDecodedMs =
        MedianMilliseconds(kPartCalls, [&] { SkinPattern().Paint(memory.get(), client, skinPath, text); });
    const TAlphaShape& veil = *form.AlphaShape1;
    ui::OffscreenSurface offscreen;
    const double veilMs = MedianMilliseconds(kPartCalls, [&] {
        PaintBlended(memory.get(), offscreen, veil.Width(), veil.Height(), veil.Alpha(),
                     [&](HDC dc) { PatBlt(dc, 0, 0, veil.Width(), veil.Height(), WHITENESS); });
    });

    const Counts before = Count();
    const double formMs = MedianMilliseconds(kPaints, formPaint);
    const Counts afterForm = Count();
    const double windowMs = MedianMilliseconds(kRedraws, windowRedraw);
    PumpMessages();
    const Counts afterWindow = Count();

    std::printf("main window paint, %ld x %ld client, skin %s: medians of %d runs, %d form paints, %d redraws\n",
                client.right, client.bottom, form.SkinEnabled ? SkinPath(form.SkinFile).c_str() : "off", kRuns,
                kRuns * kPaints, kRuns * kRedraws);
    const auto time = [](const std::string& what, double ms) { std::printf("  %-58s %7.3f ms\n", what.c_str(), ms); };
    time("one paint of the form into a memory DC (WM_PRINTCLIENT)", formMs);
    time("  its settings read", settingsMs);
    time("  its stay-on-top call (SetWindowPos, made at every paint)", stayOnTopMs);
    time("  its skin, tiled from the picture of the unchanged file", skinMs);
    time("  its skin, decoded again (after the file changed) and tiled", skinDecodedMs);
    const std::string veilSize = std::to_string(veil.Width()) + " x " + std::to_string(veil.Height());
    time("  one blend the size of the veil (" + veilSize + ")", veilMs);
    time("one redraw of the whole window with its children", windowMs);
    if (probed) std::puts("  GetGuiResources and GetProcessHandleCount answer 0 here: counted by probing the handles");
    std::printf("  %-16s %8s %24s %24s\n", "", "before", "after the form paints", "after the redraws");
    const auto row = [](const char* name, DWORD a, DWORD b, DWORD c) {
        std::printf("  %-16s %8lu %24lu %24lu\n", name, a, b, c);
    };
    row("GDI objects", before.gdi, afterForm.gdi, afterWindow.gdi);
    row("USER objects", before.user, afterForm.user, afterWindow.user);
    row("kernel handles", before.kernel, afterForm.kernel, afterWindow.kernel);
    return 0;
}
