#pragma once
// The drive queries on the real system, with ANSI paths.
#include <windows.h>

#include "platform/DriveServices.h"

namespace brimview {

class Win32DiskSpace final : public DiskSpace {
public:
    // Looks the 64-bit space query up in kernel32, once; where it is missing, the older
    // cluster-count query serves for the whole run. Both queries run with critical-error
    // dialogs turned off for the calling thread, so that an empty drive stays silent.
    Win32DiskSpace();
    // The cluster-count query only, as on a system without the 64-bit one.
    static Win32DiskSpace ClusterQueryOnly() { return Win32DiskSpace(nullptr); }

    std::int64_t QueryDiskSize(int drive) override { return Query(drive).size; }
    std::int64_t QueryDiskFree(int drive) override { return Query(drive).free; }
    std::optional<std::uint32_t> VolumeSerial(int drive) override;

private:
    using ExtendedQuery = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    struct Space {
        std::int64_t size = -1;
        std::int64_t free = -1;  // available to the calling user
    };

    explicit Win32DiskSpace(ExtendedQuery extended) : extended_(extended) {}
    Space Query(int drive) const;

    ExtendedQuery extended_;
};

class Win32DriveCatalog final : public DriveCatalog {
public:
    std::uint32_t LogicalDrives() override;
    unsigned DriveType(const std::string& root) override;
    // Read with critical-error dialogs turned off for the calling thread, so that an empty
    // drive stays silent; the thread's error mode is back in force afterwards.
    std::string VolumeLabel(const std::string& root) override;
    std::optional<std::string> NetworkName(const std::string& localName) override;
};

}  // namespace brimview
