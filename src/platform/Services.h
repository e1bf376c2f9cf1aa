#pragma once
// The system services the program works through, created once by the entry point and
// handed to the windows that need them.
#include "platform/DriveServices.h"
#include "platform/FileStore.h"
#include "platform/TextServices.h"

namespace brimview {

struct Services {
    FileStore& files;
    const TextServices& text;
    DiskSpace& disks;
    DriveCatalog& drives;
    char decimalSeparator;
};

}  // namespace brimview
