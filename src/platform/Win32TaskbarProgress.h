#pragma once
// The progress on the program's taskbar button, through the shell's taskbar list (Windows 7
// and later).
#include <windows.h>

#include <memory>

#include "platform/TaskbarProgress.h"

namespace brimview {

// The progress of the taskbar button of `window`; nothing when the system has no taskbar list
// that shows progress. Asked for again each time the button is made (as after a restart of
// the shell): an older one speaks to a taskbar that has gone.
std::unique_ptr<TaskbarProgress> MakeTaskbarProgress(HWND window);

}  // namespace brimview
