// Start-up benchmark: starts a program and its floor programs in turn, times each start until
// the program's message loop first waits for input (its window created, shown and
// painted), reads its committed private memory and working set, and ends it. Prints the medians and
// the program's ratio to each floor.
//   launch_bench RUNS program.exe floor.exe...
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "Timing.h"
#include "platform/Handles.h"

namespace {

using namespace brimview;

struct Figures {
    double milliseconds;
    double privateKiB;
    double workingSetKiB;
};

// The committed private memory of a process, summed over its address space: Wine leaves
// the private usage that GetProcessMemoryInfo reports at 0 for other processes.
SIZE_T PrivateCommitted(HANDLE process) {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize)
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    return total;
}

// One start in the current directory; nothing when the program cannot be started or ends
// before it waits for input (a copy of it already running makes it give way).
std::optional<Figures> LaunchOnce(const std::wstring& program) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring commandLine = L"\"" + program + L"\"";
    LARGE_INTEGER frequency, start, ready;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return std::nullopt;
    const UniqueHandle process(pi.hProcess), thread(pi.hThread);
    const DWORD idle = WaitForInputIdle(process.get(), 30000);
    QueryPerformanceCounter(&ready);
    if (idle != 0 || WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        return std::nullopt;
    }
    Sleep(300);  // lets the first paint settle before the memory is read
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process.get(), &memory, sizeof memory);
    const double privateKiB = PrivateCommitted(process.get()) / 1024.0;
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);  // the next start must not find this copy running
    return Figures{(ready.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart, privateKiB,
                   memory.WorkingSetSize / 1024.0};
}

std::wstring FileName(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc >= 4 ? _wtoi(argv[1]) : 0;
    if (runs < 1) {
        std::puts("usage: launch_bench RUNS program.exe floor.exe...");
        return 2;
    }
    const std::vector<std::wstring> programs(argv + 2, argv + argc);
    const std::size_t count = programs.size();
    std::vector<std::vector<double>> times(count), privates(count), workingSets(count);
    // One start of each first, not counted: the first start of a program reads it from disk.
    // Then they take turns, so that a change in the machine's load touches all alike.
    for (int i = -1; i < runs; ++i)
        for (std::size_t p = 0; p < count; ++p) {
            const std::optional<Figures> f = LaunchOnce(programs[p]);
            if (!f) {
                std::printf("launch_bench: %ls did not start and wait for input\n", programs[p].c_str());
                return 1;
            }
            if (i < 0) continue;
            times[p].push_back(f->milliseconds);
            privates[p].push_back(f->privateKiB);
            workingSets[p].push_back(f->workingSetKiB);
        }
    std::vector<Figures> median(count);
    for (std::size_t p = 0; p < count; ++p) {
        median[p] = {bench::Median(times[p]), bench::Median(privates[p]), bench::Median(workingSets[p])};
        std::printf("%-16ls start to first idle %7.1f ms   private memory %7.0f KiB   working set %7.0f KiB\n",
                    FileName(programs[p]).c_str(), median[p].milliseconds, median[p].privateKiB,
                    median[p].workingSetKiB);
    }
    for (std::size_t p = 1; p < count; ++p)
        std::printf("ratio to %-16ls time %.2fx   private memory %.2fx   working set %.2fx   (medians of %d starts)\n",
                    FileName(programs[p]).c_str(), median[0].milliseconds / median[p].milliseconds,
                    median[0].privateKiB / median[p].privateKiB, median[0].workingSetKiB / median[p].workingSetKiB,
                    runs);
    return 0;
}
