#pragma once
// What the main window takes from the settings file when it starts and hands back
// when it closes.
#include <cstdint>
#include <string>
#include <vector>

#include "drawing/Geometry.h"
#include "platform/FileStore.h"
#include "platform/TextServices.h"
#include "settings/SettingsKeys.h"

namespace brimview {

// A window's top-left corner on the screen.
struct Position {
    int left = 0;
    int top = 0;
    friend bool operator==(const Position&, const Position&) = default;
};

// What the settings file holds of the main window: besides its options, where it is and
// which drive it shows.
struct WindowSettings {
    Position position;
    char drive = '\0';  // none
    WindowOptions options;
    friend bool operator==(const WindowSettings&, const WindowSettings&) = default;
};

// The main window as the start-up and close sequences see it.
class SettingsWindow {
public:
    virtual ~SettingsWindow() = default;
    // Its state now; at start-up a key absent from the file keeps it.
    virtual WindowSettings Current() const = 0;
    // Takes the state read at start-up: minimised, moved, its drive chosen, then its options.
    virtual void Apply(const WindowSettings& settings) = 0;
    virtual void DisableTimer() = 0;
    // The window's outer size and the work areas of the monitors, screen coordinates: a
    // position saved on a monitor that is gone must not hide the window.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual std::vector<Rect> WorkAreas() const = 0;
};

// Where a window of width × height saved at this corner is shown: where it was when it
// overlaps a work area, even partly; otherwise moved the shortest way onto the nearest
// work area, whole when it fits there, by its top-left corner when it does not. Without
// work areas it stays.
Position KeepOnScreen(Position saved, int width, int height, const std::vector<Rect>& workAreas);

// The skin file's path, relative to the current directory.
std::string SkinPath(const std::string& skinFile);

// Reads the window's starting state (a position off every screen brought back onto
// one), switches the skin off when its file is missing, hands the state to the window and
// saves the file, always. Throws AppError when the file cannot be read or saved.
void ReadStartupSettings(FileStore& files, const TextServices& text, SettingsWindow& window);

// What every paint of the main window reads again from the settings file; the other
// options at their defaults.
WindowOptions ReadPaintSettings(FileStore& files, const TextServices& text);

// Saves the window's position and drive, then stops the refresh timer. A failed save
// throws before the timer is touched.
void SaveClosingSettings(FileStore& files, const TextServices& text, SettingsWindow& window);

}  // namespace brimview
