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

int FindSkin(const std::vector<std::string>& skins, std::string_view name, const TextServices& text) {
    const std::string upper = text.UpperAnsi(name);
    for (std::size_t i = 0; i < skins.size(); ++i)
        if (text.UpperAnsi(skins[i]) == upper) return static_cast<int>(i);
    return -1;
}

}  // namespace

OptionsState FillOptions(FileStore& files, const TextServices& text, const OptionsState& present,
                         const std::vector<std::string>& skins) {
    const TMemIniFile ini(SettingsFilePath(files), files, text);
    OptionsState state = present;
    SelectRadio(state.seconds, state.minutes, Read(ini, setting::Interval_s, state.seconds));
    SelectRadio(state.minutes, state.seconds, Read(ini, setting::Interval_m, state.minutes));
    if (state.seconds || state.minutes) {
        const int unit = state.seconds ? kMillisecondsPerSecond : kMillisecondsPerMinute;
        // Holding the count first keeps the default within 32 bits; an absent key gives
        // the same count as the unheld one would.
        const std::int32_t interval = Read(ini, setting::Interval, HoldIntervalCount(state.spinValue) * unit);
        state.spinValue = HoldIntervalCount(interval / unit);
    }
    state.minimized = Read(ini, setting::Minimized, state.minimized);
    state.onTop = Read(ini, setting::On_Top, state.onTop);
    state.transparency = Read(ini, setting::Transparency, state.transparency);
    state.trackPosition = std::clamp(Read(ini, setting::Transparent_Position, state.trackPosition), 1, 255);
    state.skin = Read(ini, setting::Skin, state.skin);
    state.skinIndex = FindSkin(skins, Read(ini, setting::Skin_File), text);
    state.panelTransparent = Read(ini, setting::PanelTransparent, state.panelTransparent);
    state.alert.enabled = Read(ini, setting::Alert_Enabled, state.alert.enabled);
    state.alert.freeBelow = Read(ini, setting::Free_Below, state.alert.freeBelow);
    state.alert.unit = Read(ini, setting::Alert_Unit, state.alert.unit);
    return state;
}

WindowOptions ConfirmOptions(FileStore& files, const TextServices& text, const OptionsState& state,
                             const std::vector<std::string>& skins, const WindowOptions& present) {
    TMemIniFile ini(SettingsFilePath(files), files, text);
    const int count = HoldIntervalCount(state.spinValue);
    if (state.seconds)
        Write(ini, setting::Interval, count * kMillisecondsPerSecond);
    else if (state.minutes)
        Write(ini, setting::Interval, count * kMillisecondsPerMinute);
    Write(ini, setting::Interval_s, state.seconds);
    Write(ini, setting::Interval_m, state.minutes);
    Write(ini, setting::Minimized, state.minimized);
    Write(ini, setting::On_Top, state.onTop);
    Write(ini, setting::Transparency, state.transparency);
    Write(ini, setting::Transparent_Position, state.trackPosition);
    Write(ini, setting::Skin, state.skin);
    const bool selected = state.skinIndex >= 0 && static_cast<std::size_t>(state.skinIndex) < skins.size();
    const std::string skinFile = selected ? skins[static_cast<std::size_t>(state.skinIndex)] : std::string();
    Write(ini, setting::Skin_File, skinFile);
    const bool skinMissing = !files.IsFile(SkinPath(skinFile));
    if (skinMissing) {
        Write(ini, setting::Skin, false);
        Remove(ini, setting::Skin_File);
    }
    Write(ini, setting::PanelTransparent, state.panelTransparent);
    Write(ini, setting::Alert_Enabled, state.alert.enabled);
    Write(ini, setting::Free_Below, state.alert.freeBelow);
    Write(ini, setting::Alert_Unit, state.alert.unit);
    ini.Save();

    WindowOptions confirmed = ReadWindowOptions(ini, present);
    // An absent key means a normal window, whatever the window is now.
    confirmed.stayOnTop = Read(ini, setting::On_Top);
    if (skinMissing) confirmed.skinEnabled = false;
    return confirmed;
}

std::optional<std::string> AlertRefusal(const LowSpaceAlert& alert) {
    if (!alert.enabled) return std::nullopt;
    if (alert.freeBelow < 0) return "警告する空き容量には 0 以上の値を指定してください。";
    if (alert.unit == LowSpaceAlert::Percent && alert.freeBelow > 100)
        return "警告する空き容量を % で指定するときは 0 から 100 までの値にしてください。";
    return std::nullopt;
}

int HoldIntervalCount(int count) {
    return std::clamp(count, kIntervalCountMin, kIntervalCountMax);
}

}  // namespace brimview
