#pragma once
// The system services the program works through, created once by the entry point and
// handed to the windows that need them. The drive services are shared with the query
// threads, which may outlive the windows.
#include <functional>
#include <memory>

#include "platform/DriveServices.h"
#include "platform/FileStore.h"
#include "platform/HistoryStore.h"
#include "platform/TaskbarProgress.h"
#include "platform/TextServices.h"

namespace brimview {

struct Services {
    FileStore& files;
    const TextServices& text;
    std::shared_ptr<DiskSpace> disks;
    std::shared_ptr<DriveCatalog> drives;
    char decimalSeparator;
    // The forecast's history file, shared with the threads that write it; none: no forecast.
    std::shared_ptr<HistoryStore> history = nullptr;
    // The progress of the taskbar button of the window given, asked for each time the button
    // is made; none, or a call that gives none: no gauge.
    std::function<std::unique_ptr<TaskbarProgress>(void* window)> taskbarProgress = nullptr;
};

}  // namespace brimview
