#pragma once
// What the main window takes from the settings file when it starts and hands back
// when it closes.
#include <cstdint>
#include <string>
#include <vector>

#include "drawing/Geometry.h"
#include "platform/FileStore.h"
#include "platform/TextServices.h"

namespace brimview {

// The main window as the start-up and close sequences see it.
class SettingsWindow {
public:
    virtual ~SettingsWindow() = default;
    virtual void StartMinimized() = 0;
    virtual int Top() const = 0;
    virtual int Left() const = 0;
    virtual void MoveTo(int left, int top) = 0;
    virtual char SelectedDrive() const = 0;
    virtual void SetSelectedDrive(char letter) = 0;
    virtual std::int32_t TimerInterval() const = 0;
    virtual void SetTimerInterval(std::int32_t milliseconds) = 0;
    virtual bool AlphaBlend() const = 0;
    virtual void SetAlphaBlend(bool on) = 0;
    virtual std::uint8_t AlphaBlendValue() const = 0;
    virtual void SetAlphaBlendValue(std::uint8_t value) = 0;
    virtual bool PanelTransparent() const = 0;
    virtual void SetPanelTransparent(bool on) = 0;
    virtual void DisableTimer() = 0;
    // The window's outer size and the work areas of the monitors, screen coordinates: a
    // position saved on a monitor that is gone must not hide the window.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual std::vector<Rect> WorkAreas() const = 0;
};

// A window's top-left corner on the screen.
struct Position {
    int left = 0;
    int top = 0;
    friend bool operator==(const Position&, const Position&) = default;
};

// Where a window of width × height saved at this corner is shown: where it was when it
// overlaps a work area, even partly; otherwise moved the shortest way onto the nearest
// work area, whole when it fits there, by its top-left corner when it does not. Without
// work areas it stays.
Position KeepOnScreen(Position saved, int width, int height, const std::vector<Rect>& workAreas);

// The skin's switch and file name, shared by the start-up sequence, the paint and
// the options dialog.
struct SkinState {
    bool& enabled;
    std::string& file;
};

// The skin file's path, relative to the current directory.
std::string SkinPath(const std::string& skinFile);

// Reads the window's starting state (a position off every screen brought back onto
// one), switches the skin off when its file is missing, and saves the file, always. Throws AppError when the file
// cannot be read or saved.
void ReadStartupSettings(FileStore& files, const TextServices& text, SettingsWindow& window, SkinState skin);

// What every paint of the main window reads again from the settings file.
struct PaintSettings {
    bool stayOnTop;
    bool skinEnabled;
    std::string skinFile;
};
PaintSettings ReadPaintSettings(FileStore& files, const TextServices& text);

// Saves the window's position and drive, then stops the refresh timer. A failed save
// throws before the timer is touched.
void SaveClosingSettings(FileStore& files, const TextServices& text, SettingsWindow& window);

}  // namespace brimview
