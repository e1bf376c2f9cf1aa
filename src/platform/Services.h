#pragma once
// The system services the program works through, created once by the entry point and
// handed to the windows that need them. The drive services are shared with the query
// threads, which may outlive the windows.
#include <memory>

#include "platform/DriveServices.h"
#include "platform/FileStore.h"
#include "platform/TextServices.h"

namespace brimview {

struct Services {
    FileStore& files;
    const TextServices& text;
    std::shared_ptr<DiskSpace> disks;
    std::shared_ptr<DriveCatalog> drives;
    char decimalSeparator;
};

}  // namespace brimview
