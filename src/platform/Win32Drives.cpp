#include "platform/Win32Drives.h"

#include <winnetwk.h>

#include <cstring>

#include "platform/SystemLibrary.h"

namespace brimview {
namespace {

// The name buffers of the label and the network name: a path's length and its NUL.
constexpr DWORD kNameBuffer = MAX_PATH + 1;

// The root of a drive number, or no path (the current directory's drive) for 0.
struct DriveRoot {
    explicit DriveRoot(int drive) : text{static_cast<char>(drive + 64), ':', '\\', '\0'}, none(drive == 0) {}
    LPCSTR Path() const { return none ? nullptr : text; }

    char text[4];
    bool none;
};

// Critical errors fail without a system dialog on this thread while this lives. The mode is
// the thread's own: queries run on several threads at once, and a process-wide mode put back
// by one of them would let another's empty drive bring up the dialog.
class QuietCriticalErrors {
public:
    QuietCriticalErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
    ~QuietCriticalErrors() { SetThreadErrorMode(previous_, nullptr); }
    QuietCriticalErrors(const QuietCriticalErrors&) = delete;
    QuietCriticalErrors& operator=(const QuietCriticalErrors&) = delete;

private:
    DWORD previous_ = 0;
};

}  // namespace

Win32DiskSpace::Win32DiskSpace() : extended_(nullptr) {
    if (HMODULE kernel32 = GetModuleHandleA("kernel32.dll"))
        extended_ =
            reinterpret_cast<ExtendedQuery>(reinterpret_cast<void*>(GetProcAddress(kernel32, "GetDiskFreeSpaceExA")));
}

Win32DiskSpace::Space Win32DiskSpace::Query(int drive) const {
    const DriveRoot root(drive);
    const QuietCriticalErrors quiet;  // an empty removable drive fails silently
    if (extended_) {
        ULARGE_INTEGER available{}, total{};
        if (!extended_(root.Path(), &available, &total, nullptr)) return {};
        return {static_cast<std::int64_t>(total.QuadPart), static_cast<std::int64_t>(available.QuadPart)};
    }
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(root.Path(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) return {};
    // The cluster size is a 32-bit product; the byte counts are 64-bit ones.
    const std::uint32_t bytesPerCluster = sectorsPerCluster * bytesPerSector;
    return {static_cast<std::int64_t>(std::uint64_t{bytesPerCluster} * totalClusters),
            static_cast<std::int64_t>(std::uint64_t{bytesPerCluster} * freeClusters)};
}

std::optional<std::uint32_t> Win32DiskSpace::VolumeSerial(int drive) {
    const DriveRoot root(drive);
    const QuietCriticalErrors quiet;
    DWORD serial = 0;
    if (!GetVolumeInformationA(root.Path(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0)) return std::nullopt;
    return serial;
}

std::uint32_t Win32DriveCatalog::LogicalDrives() {
    return GetLogicalDrives();
}

unsigned Win32DriveCatalog::DriveType(const std::string& root) {
    return GetDriveTypeA(root.c_str());
}

std::string Win32DriveCatalog::VolumeLabel(const std::string& root) {
    char label[kNameBuffer] = "";
    {
        const QuietCriticalErrors quiet;
        if (!GetVolumeInformationA(root.c_str(), label, kNameBuffer, nullptr, nullptr, nullptr, nullptr, 0)) return {};
    }
    return std::string(label, strnlen(label, kNameBuffer));
}

std::optional<std::string> Win32DriveCatalog::NetworkName(const std::string& localName) {
    static const auto getConnection = SystemFunctionAs<decltype(&WNetGetConnectionA)>(L"mpr.dll", "WNetGetConnectionA");
    char remote[kNameBuffer] = "";
    DWORD length = kNameBuffer;
    if (!getConnection || getConnection(localName.c_str(), remote, &length) != NO_ERROR) return std::nullopt;
    return std::string(remote, strnlen(remote, kNameBuffer));
}

}  // namespace brimview
