#include "settings/OptionsLogic.h"

#include <algorithm>

#include "settings/MemIniFile.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsPath.h"
#include "settings/WindowSettings.h"

namespace brimview {
namespace {

constexpr int kMillisecondsPerSecond = 1000;
constexpr int kMillisecondsPerMinute = 60000;

// The two radio buttons share a group: selecting one deselects the other, while
// deselecting one selects nothing.
void SelectRadio(bool& button, bool& other, bool selected) {
    button = selected;
    if (selected) other = false;
}

// The list's entry that the name names without regard to letter case; empty when none does.
std::string ListedSkin(const std::vector<std::string>& skins, std::string_view name, const TextServices& text) {
    const std::string upper = text.UpperAnsi(name);
    for (const std::string& skin : skins)
        if (text.UpperAnsi(skin) == upper) return skin;
    return {};
}

}  // namespace

WindowOptions FillOptions(FileStore& files, const TextServices& text, const WindowOptions& present,
                          const std::vector<std::string>& skins) {
    const TMemIniFile ini(SettingsFilePath(files, text), files, text);
    WindowOptions shown = ReadOptions(ini, present, &ReadBy::dialog);
    SelectRadio(shown.intervalSeconds, shown.intervalMinutes, Read(ini, setting::Interval_s, shown.intervalSeconds));
    SelectRadio(shown.intervalMinutes, shown.intervalSeconds, Read(ini, setting::Interval_m, shown.intervalMinutes));
    // The count shown now is the default of the count in the unit read. Holding it first
    // keeps the default within 32 bits; an absent key gives the same count as the unheld one
    // would.
    int count = HoldIntervalCount(present.timerInterval / IntervalUnit(present));
    const int unit = IntervalUnit(shown);
    if (shown.intervalSeconds || shown.intervalMinutes)
        count = HoldIntervalCount(Read(ini, setting::Interval, count * unit) / unit);
    shown.timerInterval = count * unit;
    shown.skinFile = ListedSkin(skins, shown.skinFile, text);
    return shown;
}

WindowOptions ConfirmOptions(FileStore& files, const TextServices& text, const WindowOptions& shown,
                             const WindowOptions& present) {
    TMemIniFile ini(SettingsFilePath(files, text), files, text);
    WriteOptions(ini, shown);
    if (!files.IsFile(SkinPath(shown.skinFile))) {
        Write(ini, setting::Skin, false);
        Remove(ini, setting::Skin_File);
    }
    ini.Save();
    // The window takes what it would take from the file at start-up and at its paint.
    return ReadOptions(ini, ReadOptions(ini, present, &ReadBy::startup), &ReadBy::paint);
}

std::optional<std::string> AlertRefusal(const LowSpaceAlert& alert) {
    if (!alert.enabled) return std::nullopt;
    if (alert.freeBelow < 0) return "警告する空き容量には 0 以上の値を指定してください。";
    if (alert.unit == LowSpaceAlert::Percent && alert.freeBelow > 100)
        return "警告する空き容量を % で指定するときは 0 から 100 までの値にしてください。";
    return std::nullopt;
}

std::string RunCommand(const std::string& program) {
    return '"' + program + '"';
}

bool StartsWithWindows(const RunList& run, const std::string& program, const TextServices& text) {
    const std::optional<std::string> command = run.Command(kRunName);
    if (!command) return false;
    const std::string value = text.UpperAnsi(*command);
    const std::string path = text.UpperAnsi(program);
    for (const std::string& named : {RunCommand(path), path})
        if (value == named || value.starts_with(named + ' ')) return true;
    return false;
}

void SetStartWithWindows(RunList& run, bool on, const std::string& program, const TextServices& text) {
    if (on == StartsWithWindows(run, program, text)) return;
    if (on)
        run.SetCommand(kRunName, RunCommand(program));
    else
        run.Remove(kRunName);
}

int HoldIntervalCount(int count) {
    return std::clamp(count, kIntervalCountMin, kIntervalCountMax);
}

int IntervalUnit(const WindowOptions& options) {
    return options.intervalMinutes ? kMillisecondsPerMinute : kMillisecondsPerSecond;
}

}  // namespace brimview
