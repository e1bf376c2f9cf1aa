#include "settings/WindowSettings.h"

#include <algorithm>
#include <cstdint>

#include "settings/MemIniFile.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsPath.h"

namespace brimview {
namespace {

std::string DriveText(char letter) {
    return letter ? std::string(1, letter) : std::string();
}

// A window's or a work area's edges, wide enough for any corner plus any size.
struct Edges {
    std::int64_t left, top, right, bottom;
};

Edges EdgesOf(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

bool Overlap(const Edges& a, const Edges& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

// How far apart two blocks lie: the gaps across and down, squared and summed. The gaps
// fit 33 bits, so the sum fits 64.
std::int64_t SquaredGap(const Edges& a, const Edges& b) {
    const std::int64_t across = std::max({std::int64_t{0}, a.left - b.right, b.left - a.right});
    const std::int64_t down = std::max({std::int64_t{0}, a.top - b.bottom, b.top - a.bottom});
    return across * across + down * down;
}

// The start of a span of this length moved the least into [low, high), or to low when it
// is longer than that.
int Clamp(std::int64_t start, std::int64_t length, std::int64_t low, std::int64_t high) {
    return static_cast<int>(std::max(low, std::min(start, high - length)));
}

}  // namespace

Position KeepOnScreen(Position saved, int width, int height, const std::vector<Rect>& workAreas) {
    const Edges window{saved.left, saved.top, std::int64_t{saved.left} + width, std::int64_t{saved.top} + height};
    const auto overlaps = [&](const Rect& area) { return Overlap(window, EdgesOf(area)); };
    if (workAreas.empty() || std::any_of(workAreas.begin(), workAreas.end(), overlaps)) return saved;
    const Edges nearest =
        EdgesOf(*std::min_element(workAreas.begin(), workAreas.end(), [&](const Rect& a, const Rect& b) {
            return SquaredGap(window, EdgesOf(a)) < SquaredGap(window, EdgesOf(b));
        }));
    return {Clamp(saved.left, width, nearest.left, nearest.right),
            Clamp(saved.top, height, nearest.top, nearest.bottom)};
}

std::string SkinPath(const std::string& skinFile) {
    return "skin\\" + skinFile;
}

void ReadStartupSettings(FileStore& files, const TextServices& text, SettingsWindow& window) {
    const std::string path = SettingsFilePath(files, text);
    // The first save of all, ended before its rename, leaves the settings only beside the file.
    files.RecoverInterruptedSave(path);
    TMemIniFile ini(path, files, text);
    const WindowSettings present = window.Current();
    WindowSettings start;
    const Position saved{Read(ini, setting::Left, present.position.left),
                         Read(ini, setting::Top, present.position.top)};
    start.position = KeepOnScreen(saved, window.Width(), window.Height(), window.WorkAreas());
    const std::string drive = Read(ini, setting::Drive, DriveText(present.drive));
    start.drive = drive.empty() ? '\0' : drive[0];
    start.options = ReadOptions(ini, present.options, &ReadBy::startup);
    if (!files.IsFile(SkinPath(start.options.skinFile))) {
        start.options.skinEnabled = false;
        Write(ini, setting::Skin, false);
        start.options.skinFile.clear();
        Remove(ini, setting::Skin_File);
    }
    // The window takes its state even when the save then fails.
    window.Apply(start);
    ini.Save();
}

WindowOptions ReadPaintSettings(FileStore& files, const TextServices& text) {
    // The paint has the values it read last to go on with: it never keeps the window waiting
    // for a file another program holds.
    const TMemIniFile ini(SettingsFilePath(files, text), files, text, WhileHeld::GiveUp);
    return ReadOptions(ini, WindowOptions{}, &ReadBy::paint);
}

void SaveClosingSettings(FileStore& files, const TextServices& text, SettingsWindow& window) {
    {
        TMemIniFile ini(SettingsFilePath(files, text), files, text);
        const WindowSettings closing = window.Current();
        Write(ini, setting::Top, closing.position.top);
        Write(ini, setting::Left, closing.position.left);
        // No drive is written as an empty value, which reads back as no drive.
        Write(ini, setting::Drive, DriveText(closing.drive));
        ini.Save();
    }
    window.DisableTimer();
}

}  // namespace brimview
