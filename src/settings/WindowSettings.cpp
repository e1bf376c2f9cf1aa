#include "settings/WindowSettings.h"

#include "settings/MemIniFile.h"
#include "settings/SettingsKeys.h"
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
    if (Read(ini, setting::Minimized)) window.StartMinimized();
    int top = Read(ini, setting::Top, window.Top());
    int left = Read(ini, setting::Left, window.Left());
    window.MoveTo(left, top);
    std::string drive = Read(ini, setting::Drive, DriveText(window.SelectedDrive()));
    window.SetSelectedDrive(drive.empty() ? '\0' : drive[0]);
    window.SetTimerInterval(Read(ini, setting::Interval, window.TimerInterval()));
    window.SetAlphaBlend(Read(ini, setting::Transparency, window.AlphaBlend()));
    // The opacity is a byte: a wider stored value keeps its low 8 bits.
    window.SetAlphaBlendValue(
        static_cast<std::uint8_t>(Read(ini, setting::Transparent_Position, window.AlphaBlendValue())));
    window.SetPanelTransparent(Read(ini, setting::PanelTransparent, window.PanelTransparent()));
    skin.enabled = Read(ini, setting::Skin);
    skin.file = Read(ini, setting::Skin_File);
    if (!files.IsFile(SkinPath(skin.file))) {
        skin.enabled = false;
        Write(ini, setting::Skin, false);
        skin.file.clear();
        Remove(ini, setting::Skin_File);
    }
    ini.Save();
}

PaintSettings ReadPaintSettings(FileStore& files, const TextServices& text) {
    const TMemIniFile ini(SettingsFilePath(files, text), files, text);
    return {Read(ini, setting::On_Top), Read(ini, setting::Skin), Read(ini, setting::Skin_File)};
}

void SaveClosingSettings(FileStore& files, const TextServices& text, SettingsWindow& window) {
    {
        TMemIniFile ini(SettingsFilePath(files, text), files, text);
        Write(ini, setting::Top, window.Top());
        Write(ini, setting::Left, window.Left());
        // No drive is written as an empty value, which reads back as no drive.
        Write(ini, setting::Drive, DriveText(window.SelectedDrive()));
        ini.Save();
    }
    window.DisableTimer();
}

}  // namespace brimview
