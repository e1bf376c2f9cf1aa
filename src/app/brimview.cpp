// The entry point: settles the process-wide look-ups, creates the three windows in
// order and runs the message loop until the main window closes. A failure on the way
// that no handler met is reported, and the program ends with exit code 1. Started at
// sign-in (the one switch the sign-in value carries), it first makes its own folder the
// current one, where the skin folder is looked for; any other command line is ignored.
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "app/DriveMonitor.h"
#include "drawing/AlphaBlendProc.h"
#include "help/About.h"
#include "monitor/History.h"
#include "settings/Options.h"
#include "platform/LayeredWindows.h"
#include "platform/Win32Drives.h"
#include "platform/Win32FileStore.h"
#include "platform/Win32HistoryStore.h"
#include "platform/Win32RunList.h"
#include "platform/Win32TaskbarProgress.h"
#include "platform/Win32TextServices.h"
#include "platform/WideText.h"
#include "settings/SettingsPath.h"
#include "ui/Application.h"

// The run-time library's own last resort for an exception nobody caught prints its demangled
// type to the standard error, which a windowed program does not have, and brings about 46 KB
// of demangler into the program for it. Ours ends the program the same way, without the words.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int showCommand) {
    using namespace brimview;
    if (commandLine == Widen(kStartupSwitch)) EnterProgramFolder();
    constexpr wchar_t kTitle[] = L"Brimview";
    return ui::RunReportingFailures(kTitle, [&] {
        Win32TextServices text;
        Win32FileStore files;
        Win32RunList runList;
        AlphaBlendProc();

        Services services{files,
                          text,
                          std::make_shared<Win32DiskSpace>(),
                          std::make_shared<Win32DriveCatalog>(),
                          DecimalSeparator(),
                          std::make_shared<Win32HistoryStore>(HistoryPathFor(SettingsFilePath(files)),
                                                              std::make_unique<Win32FileStore>()),
                          [](void* window) { return MakeTaskbarProgress(static_cast<HWND>(window)); }};

        ui::Application app(SystemLayeredWindows());
        app.SetTitle(kTitle);
        TForm1& form1 = app.CreateForm<TForm1>(services);
        form1.AboutBox = &app.CreateForm<TAboutBox>(files);
        form1.PagesDlg = &app.CreateForm<TPagesDlg>(form1.Settings(), services, runList);
        app.Run(showCommand);
        return 0;
    });
}
