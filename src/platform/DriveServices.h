#pragma once
// The drive queries the readout and the drive selector need, behind interfaces so
// that the portable logic is tested against drives of its own making.
#include <cstdint>
#include <optional>
#include <string>

namespace brimview {

// Space of a drive given by number: 0 is the drive of the current directory, 1 is A,
// 26 is Z; any other number n addresses the root of the letter with code n + 64.
class DiskSpace {
public:
    virtual ~DiskSpace() = default;
    // Total bytes of the volume as the calling user sees it (the quota limit under quotas);
    // -1 when the query fails for any reason.
    virtual std::int64_t QueryDiskSize(int drive) = 0;
    // Free bytes available to the calling user; -1 when the query fails.
    virtual std::int64_t QueryDiskFree(int drive) = 0;
    // The volume's serial number, which tells one medium in the drive from another; nothing
    // when it cannot be read.
    virtual std::optional<std::uint32_t> VolumeSerial(int) { return std::nullopt; }
};

// The drives of the machine. Roots are a letter followed by ":\", local names a letter
// followed by ":", all in ANSI bytes.
class DriveCatalog {
public:
    // The system's drive kinds, as the drive-type query reports them.
    enum : unsigned { Unknown = 0, NoRootDir = 1, Removable = 2, Fixed = 3, Remote = 4, CdRom = 5, RamDisk = 6 };

    virtual ~DriveCatalog() = default;
    // Bit n set when the drive with letter 'A' + n exists.
    virtual std::uint32_t LogicalDrives() = 0;
    // One of the kinds above, or any other value the system reports.
    virtual unsigned DriveType(const std::string& root) = 0;
    // The volume label, empty when it cannot be read. Never brings up a system dialog.
    virtual std::string VolumeLabel(const std::string& root) = 0;
    // The remote name a network drive is connected to; nothing when it cannot be had.
    virtual std::optional<std::string> NetworkName(const std::string& localName) = 0;
};

}  // namespace brimview
