#include "settings/OptionsLogic.h"

#include <algorithm>

#include "settings/MemIniFile.h"
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
    const TMemIniFile ini(SettingsFilePath(files, text), files, text);
    OptionsState state = present;
    SelectRadio(state.seconds, state.minutes, ini.GetFlag("General", "Interval_s", state.seconds));
    SelectRadio(state.minutes, state.seconds, ini.GetFlag("General", "Interval_m", state.minutes));
    if (state.seconds || state.minutes) {
        const int unit = state.seconds ? kMillisecondsPerSecond : kMillisecondsPerMinute;
        // Holding the count first keeps the default within 32 bits; an absent key gives
        // the same count as the unheld one would.
        const std::int32_t interval = ini.GetInteger("General", "Interval", HoldIntervalCount(state.spinValue) * unit);
        state.spinValue = HoldIntervalCount(interval / unit);
    }
    state.minimized = ini.GetFlag("Display", "Minimized", state.minimized);
    state.onTop = ini.GetFlag("Display", "On_Top", state.onTop);
    state.transparency = ini.GetFlag("Display", "Transparency", state.transparency);
    state.trackPosition = std::clamp(ini.GetInteger("Display", "Transparent_Position", state.trackPosition), 1, 255);
    state.skin = ini.GetFlag("Display", "Skin", state.skin);
    state.skinIndex = FindSkin(skins, ini.GetText("Display", "Skin_File", "bg.bmp"), text);
    state.panelTransparent = ini.GetFlag("Display", "PanelTransparent", state.panelTransparent);
    return state;
}

ConfirmedOptions ConfirmOptions(FileStore& files, const TextServices& text, const OptionsState& state,
                                const std::vector<std::string>& skins, const MainWindowOptions& present) {
    TMemIniFile ini(SettingsFilePath(files, text), files, text);
    const int count = HoldIntervalCount(state.spinValue);
    if (state.seconds)
        ini.PutInteger("General", "Interval", count * kMillisecondsPerSecond);
    else if (state.minutes)
        ini.PutInteger("General", "Interval", count * kMillisecondsPerMinute);
    ini.PutFlag("General", "Interval_s", state.seconds);
    ini.PutFlag("General", "Interval_m", state.minutes);
    ini.PutFlag("Display", "Minimized", state.minimized);
    ini.PutFlag("Display", "On_Top", state.onTop);
    ini.PutFlag("Display", "Transparency", state.transparency);
    ini.PutInteger("Display", "Transparent_Position", state.trackPosition);
    ini.PutFlag("Display", "Skin", state.skin);
    const bool selected = state.skinIndex >= 0 && static_cast<std::size_t>(state.skinIndex) < skins.size();
    const std::string skinFile = selected ? skins[static_cast<std::size_t>(state.skinIndex)] : std::string();
    ini.PutText("Display", "Skin_File", skinFile);
    ConfirmedOptions confirmed;
    if (!files.IsFile(SkinPath(skinFile))) {
        confirmed.skinOff = true;
        ini.PutFlag("Display", "Skin", false);
        ini.RemoveKey("Display", "Skin_File");
    }
    ini.PutFlag("Display", "PanelTransparent", state.panelTransparent);
    ini.Save();

    MainWindowOptions& window = confirmed.window;
    window.timerInterval = ini.GetInteger("General", "Interval", present.timerInterval);
    // An absent key means a normal window, whatever the window is now.
    window.stayOnTop = ini.GetFlag("Display", "On_Top", false);
    window.alphaBlend = ini.GetFlag("Display", "Transparency", present.alphaBlend);
    // The opacity is a byte: a wider stored value keeps its low 8 bits.
    window.alphaBlendValue =
        static_cast<std::uint8_t>(ini.GetInteger("Display", "Transparent_Position", present.alphaBlendValue));
    window.panelTransparent = ini.GetFlag("Display", "PanelTransparent", present.panelTransparent);
    return confirmed;
}

int HoldIntervalCount(int count) {
    return std::clamp(count, kIntervalCountMin, kIntervalCountMax);
}

}  // namespace brimview
