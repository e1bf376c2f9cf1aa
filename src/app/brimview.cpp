#include <windows.h>

#include "ui/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    brimview::ui::Application app;
    app.SetTitle(L"Brimview");
    app.Run(showCommand);
    return 0;
}
