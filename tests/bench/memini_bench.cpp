// Prints how long the settings document takes to load a 1 MB file and to look up the
// keys that start-up and every repaint read. Files are held in memory, so the figures
// are those of the document itself, without the disk.
#include <cstdio>
#include <string>

#include "../support/SettingsFakes.h"
#include "Timing.h"
#include "settings/MemIniFile.h"

namespace {

using namespace brimview;

constexpr std::size_t kSize = 1 << 20;
constexpr int kRuns = 31;

// A settings file as the program writes it, for comparison.
const std::string kTypical =
    "[General]\r\nInterval=3000\r\nInterval_s=1\r\nInterval_m=0\r\n\r\n"
    "[Display]\r\nMinimized=0\r\nOn_Top=0\r\nTransparency=0\r\nTransparent_Position=255\r\nSkin=1\r\n"
    "Skin_File=bg.bmp\r\nPanelTransparent=0\r\n\r\n"
    "[Window]\r\nTop=120\r\nLeft=-8\r\nDrive=C\r\n\r\n";

// The program's three sections first, then filler up to the size: the program's sections
// are then the farthest from where a lookup starts searching.
std::string ManySections() {
    std::string text = kTypical;
    for (int n = 0; text.size() < kSize; ++n) {
        text += "[Filler " + std::to_string(n) + "]\r\n";
        for (int k = 0; k < 8; ++k) text += "  Key_" + std::to_string(k) + " = value " + std::to_string(n) + "\r\n";
    }
    return text;
}

// One section of many keys with the program's keys first: the longest search within a section.
std::string OneLongSection() {
    std::string text = "[Display]\r\nOn_Top=0\r\nSkin=1\r\nSkin_File=bg.bmp\r\n";
    for (int n = 0; text.size() < kSize; ++n) text += "Key_" + std::to_string(n) + "=" + std::to_string(n) + "\r\n";
    return text;
}

// Keeps results alive so that the compiler cannot drop the work that made them.
volatile int sink = 0;

void Measure(const char* name, const std::string& content) {
    const std::string path = "C:\\Tools\\brimview.ini";
    fakes::MemoryFileStore files;
    fakes::FakeTextServices text;
    files.files[path] = content;

    std::string copy;
    const double floor = bench::MedianMicroseconds(kRuns, 1, [&] {
        copy.assign(content);
        sink = copy[copy.size() / 2];
    });
    const double load = bench::MedianMicroseconds(kRuns, 1, [&] { TMemIniFile ini(path, files, text); });
    const TMemIniFile ini(path, files, text);
    // What start-up reads, then what every repaint reads.
    const double lookup = bench::MedianMicroseconds(kRuns, 1, [&] {
        int total = ini.GetFlag("Display", "Minimized", false);
        total += ini.GetInteger("Window", "Top", 0) + ini.GetInteger("Window", "Left", 0);
        total += static_cast<int>(ini.GetText("Window", "Drive", "C").size());
        total += ini.GetInteger("General", "Interval", 3000);
        total += ini.GetFlag("Display", "Transparency", false);
        total += ini.GetInteger("Display", "Transparent_Position", 255);
        total += ini.GetFlag("Display", "PanelTransparent", false);
        total += ini.GetFlag("Display", "Skin", true);
        total += static_cast<int>(ini.GetText("Display", "Skin_File", "bg.bmp").size());
        total += ini.GetFlag("Display", "On_Top", false);
        total += ini.GetFlag("Display", "Skin", true);
        total += static_cast<int>(ini.GetText("Display", "Skin_File", "bg.bmp").size());
        sink = total;
    });
    std::printf("%-26s %8zu bytes   copy (floor) %7.1f us   load %8.1f us   13 lookups %7.1f us\n", name,
                content.size(), floor, load, lookup);
}

}  // namespace

int main() {
    std::printf("settings document, median of %d runs\n", kRuns);
    Measure("typical file", kTypical);
    Measure("1 MB, 8 keys per section", ManySections());
    Measure("1 MB, all in one section", OneLongSection());
    return 0;
}
