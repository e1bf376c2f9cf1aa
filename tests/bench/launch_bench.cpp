// Start-up benchmark: starts a program and its floor programs in turn, times each start until
// the program's message loop first waits for input (its window created, shown and
// painted), reads its private memory as the host sees it and as Wine counts it, and ends
// it. Prints the medians and the program's ratio to each floor.
//   launch_bench RUNS program.exe floor.exe...
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Timing.h"
#include "platform/Handles.h"

namespace {

using namespace brimview;

struct Figures {
    double milliseconds;
    double hostPrivateKiB;
    double committedKiB;
};

// The committed private memory of a process, summed over its address space: Wine leaves
// the private usage that GetProcessMemoryInfo reports at 0 for other processes. Wine
// counts every thread's whole stack as committed, used or not.
SIZE_T PrivateCommitted(HANDLE process) {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize)
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    return total;
}

std::wstring FileName(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}

std::string ReadHostFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(x) == std::towlower(y);
           });
}

// The memory only this process holds, as the host sees it: the private pages, clean or
// dirty, of Linux's /proc/PID/smaps_rollup, read through Wine's Z: drive (the host's
// root). The process is the one whose command line starts with the program's name; there
// is one at a time. Nothing when there is no such process (not under Wine).
std::optional<double> HostPrivateKiB(const std::wstring& program) {
    WIN32_FIND_DATAW entry;
    const UniqueFind find(FindFirstFileW(L"Z:\\proc\\*", &entry));
    if (!find) return std::nullopt;
    do {
        const std::wstring pid = entry.cFileName;
        if (pid.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        const std::string commandLine = ReadHostFile(L"Z:\\proc\\" + pid + L"\\cmdline");
        const std::string first = commandLine.substr(0, commandLine.find_first_of(std::string(" \0", 2)));
        if (!SameName(FileName(std::wstring(first.begin(), first.end())), FileName(program))) continue;
        std::istringstream rollup(ReadHostFile(L"Z:\\proc\\" + pid + L"\\smaps_rollup"));
        double kiB = 0;
        for (std::string key; rollup >> key;) {
            double value = 0;
            if ((key == "Private_Clean:" || key == "Private_Dirty:") && rollup >> value) kiB += value;
        }
        return kiB;
    } while (FindNextFileW(find.get(), &entry));
    return std::nullopt;
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
    const std::optional<double> hostPrivate = HostPrivateKiB(program);
    const double committedKiB = PrivateCommitted(process.get()) / 1024.0;
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);  // the next start must not find this copy running
    if (!hostPrivate) std::printf("launch_bench: no host process found for %ls\n", program.c_str());
    return Figures{(ready.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart, hostPrivate.value_or(0),
                   committedKiB};
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
    std::vector<std::vector<double>> times(count), hostPrivates(count), committed(count);
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
            hostPrivates[p].push_back(f->hostPrivateKiB);
            committed[p].push_back(f->committedKiB);
        }
    std::vector<Figures> median(count);
    for (std::size_t p = 0; p < count; ++p) {
        median[p] = {bench::Median(times[p]), bench::Median(hostPrivates[p]), bench::Median(committed[p])};
        std::printf(
            "%-16ls start to first idle %6.1f ms   private memory (host) %6.0f KiB   committed (Wine) %6.0f KiB\n",
            FileName(programs[p]).c_str(), median[p].milliseconds, median[p].hostPrivateKiB, median[p].committedKiB);
    }
    for (std::size_t p = 1; p < count; ++p)
        std::printf("ratio to %-16ls time %.2fx   private memory (host) %.2fx   committed (Wine) %.2fx\n",
                    FileName(programs[p]).c_str(), median[0].milliseconds / median[p].milliseconds,
                    median[0].hostPrivateKiB / median[p].hostPrivateKiB,
                    median[0].committedKiB / median[p].committedKiB);
    std::printf("(medians of %d starts)\n", runs);
    return 0;
}
