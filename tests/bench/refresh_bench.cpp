// Prints the cost of one refresh of the readout on the real system (the drive's size and
// free space queried and turned into the texts and the bar) beside the cost of one space
// query, and counts the space queries one refresh makes.
#include <windows.h>

#include <cstdio>

#include "Timing.h"
#include "monitor/Readout.h"
#include "platform/Win32Drives.h"
#include "platform/Win32TextServices.h"

namespace {

using namespace brimview;

constexpr int kRuns = 15;
constexpr int kCalls = 1000;

// Passes the queries on to the system and counts them.
class CountingDiskSpace final : public DiskSpace {
public:
    explicit CountingDiskSpace(DiskSpace& system) : system_(system) {}
    std::int64_t QueryDiskSize(int drive) override {
        ++queries;
        return system_.QueryDiskSize(drive);
    }
    std::int64_t QueryDiskFree(int drive) override {
        ++queries;
        return system_.QueryDiskFree(drive);
    }
    long long queries = 0;

private:
    DiskSpace& system_;
};

}  // namespace

int main() {
    Win32DiskSpace system;
    CountingDiskSpace disks(system);
    const char separator = DecimalSeparator();
    std::printf("readout refresh: medians of %d runs of %d calls\n", kRuns, kCalls);
    for (char letter : {'C', 'Z'}) {
        const char root[] = {letter, ':', '\\', 0};
        ULARGE_INTEGER available, total;
        const double query =
            bench::MedianMicroseconds(kRuns, kCalls, [&] { GetDiskFreeSpaceExA(root, &available, &total, nullptr); });
        Readout readout;
        disks.queries = 0;
        const double refresh =
            bench::MedianMicroseconds(kRuns, kCalls, [&] { readout = RefreshReadout(letter, disks, separator); });
        const long long refreshes = static_cast<long long>(kRuns) * kCalls;
        std::printf("%c: %s free of %s\n", letter, readout.freeText.c_str(), readout.sizeText.c_str());
        std::printf("  one space query (GetDiskFreeSpaceExA)  %8.2f us\n", query);
        std::printf(
            "  one refresh                            %8.2f us   space queries: %lld in %lld refreshes, %g each\n",
            refresh, disks.queries, refreshes, static_cast<double>(disks.queries) / refreshes);
    }
    return 0;
}
