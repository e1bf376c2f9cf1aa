#pragma once
// What the options dialog does with the settings file, apart from its window: filling
// its controls when it is shown, and writing and applying them on OK. The controls'
// state travels as plain data.
#include <optional>
#include <string>
#include <vector>

#include "platform/FileStore.h"
#include "platform/TextServices.h"
#include "settings/WindowSettings.h"

namespace brimview {

// The dialog's controls; the initial values are those of the layout.
struct OptionsState {
    int spinValue = 3;              // the interval count as the spin field reads; may lie outside its range
    bool seconds = true;            // the "秒" radio button
    bool minutes = false;           // the "分" radio button
    bool minimized = false;         // start minimised
    bool onTop = false;             // always on top
    bool transparency = false;      // translucent main window
    int trackPosition = 255;        // opacity slider, 1..255
    bool skin = true;               // use a background picture
    int skinIndex = -1;             // selected entry of the skin list; -1 when none
    bool panelTransparent = false;  // let the background show through the readout panel
    LowSpaceAlert alert;            // its box, its count as the spin field reads, and its unit
};

// The main window as the options dialog sees it.
class OptionsWindow {
public:
    virtual ~OptionsWindow() = default;
    virtual WindowOptions Options() const = 0;
    // Applies them and marks the window and its readout panel for repainting.
    virtual void Apply(const WindowOptions& options) = 0;
};

// The state read from the settings file, each control keeping its present state where a
// key is absent. skins are the list's entries in the list's order. Throws AppError when
// the file cannot be read.
OptionsState FillOptions(FileStore& files, const TextServices& text, const OptionsState& present,
                         const std::vector<std::string>& skins);

// Writes every setting the dialog shows, switches the skin off when its file is missing
// (whatever the tick says), saves, and reads back the options the main window takes;
// present are the window's options now, which stay where a key is absent. Throws AppError
// when the file cannot be read or saved; nothing is to be applied then.
WindowOptions ConfirmOptions(FileStore& files, const TextServices& text, const OptionsState& state,
                             const std::vector<std::string>& skins, const WindowOptions& present);

// Why the dialog refuses the warning's count while the warning is on: a negative count, or
// a percentage over 100 (UTF-8); nothing when it takes it.
std::optional<std::string> AlertRefusal(const LowSpaceAlert& alert);

// The interval count the spin field offers, in seconds or in minutes.
constexpr int kIntervalCountMin = 1;
constexpr int kIntervalCountMax = 60;
// The count held within that range.
int HoldIntervalCount(int count);

}  // namespace brimview
