#include "settings/WindowSettings.h"

#include "settings/MemIniFile.h"
#include "settings/SettingsPath.h"

namespace brimview {
namespace {

std::string DriveText(char letter) {
    return letter ? std::string(1, letter) : std::string();
}

}  // namespace

std::string SkinPath(const std::string& skinFile) {
    return "skin\\" + skinFile;
}

void ReadStartupSettings(FileStore& files, const TextServices& text, SettingsWindow& window, SkinState skin) {
    TMemIniFile ini(SettingsFilePath(files, text), files, text);
    if (ini.GetFlag("Display", "Minimized", false)) window.StartMinimized();
    int top = ini.GetInteger("Window", "Top", window.Top());
    int left = ini.GetInteger("Window", "Left", window.Left());
    window.MoveTo(left, top);
    std::string drive = ini.GetText("Window", "Drive", DriveText(window.SelectedDrive()));
    window.SetSelectedDrive(drive.empty() ? '\0' : drive[0]);
    window.SetTimerInterval(ini.GetInteger("General", "Interval", window.TimerInterval()));
    window.SetAlphaBlend(ini.GetFlag("Display", "Transparency", window.AlphaBlend()));
    // The opacity is a byte: a wider stored value keeps its low 8 bits.
    window.SetAlphaBlendValue(
        static_cast<std::uint8_t>(ini.GetInteger("Display", "Transparent_Position", window.AlphaBlendValue())));
    window.SetPanelTransparent(ini.GetFlag("Display", "PanelTransparent", window.PanelTransparent()));
    skin.enabled = ini.GetFlag("Display", "Skin", true);
    skin.file = ini.GetText("Display", "Skin_File", "bg.bmp");
    if (!files.IsFile(SkinPath(skin.file))) {
        skin.enabled = false;
        ini.PutFlag("Display", "Skin", false);
        skin.file.clear();
        ini.RemoveKey("Display", "Skin_File");
    }
    ini.Save();
}

void SaveClosingSettings(FileStore& files, const TextServices& text, SettingsWindow& window) {
    {
        TMemIniFile ini(SettingsFilePath(files, text), files, text);
        ini.PutInteger("Window", "Top", window.Top());
        ini.PutInteger("Window", "Left", window.Left());
        // No drive is written as an empty value, which reads back as no drive.
        ini.PutText("Window", "Drive", DriveText(window.SelectedDrive()));
        ini.Save();
    }
    window.DisableTimer();
}

}  // namespace brimview
