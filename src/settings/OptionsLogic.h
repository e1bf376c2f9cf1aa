#pragma once
// What the options dialog does with the settings file, apart from its window: filling
// its controls when it is shown, and writing and applying them on OK. The controls'
// state travels as the options they show.
#include <optional>
#include <string>
#include <vector>

#include "platform/FileStore.h"
#include "platform/RunList.h"
#include "platform/TextServices.h"
#include "settings/WindowSettings.h"

namespace brimview {

// The main window as the options dialog sees it.
class OptionsWindow {
public:
    virtual ~OptionsWindow() = default;
    virtual WindowOptions Options() const = 0;
    // Applies them and marks the window and its readout panel for repainting.
    virtual void Apply(const WindowOptions& options) = 0;
};

// The options read from the settings file, each control keeping the option it shows
// (present) where a key is absent. The interval is read as a count of its unit, held within
// the spin field's range, and the skin's name as the entry of skins (the list's entries)
// that it names without regard to letter case, or empty when it names none. Throws AppError
// when the file cannot be read.
WindowOptions FillOptions(FileStore& files, const TextServices& text, const WindowOptions& present,
                          const std::vector<std::string>& skins);

// Writes the options the dialog shows, switches the skin off when its file is missing
// (whatever the tick says), saves, and reads back the options the main window takes;
// present are the window's options now, which stay where a key is absent. Throws AppError
// when the file cannot be read or saved; nothing is to be applied then.
WindowOptions ConfirmOptions(FileStore& files, const TextServices& text, const WindowOptions& shown,
                             const WindowOptions& present);

// Why the dialog refuses the warning's count while the warning is on: a negative count, or
// a percentage over 100 (UTF-8); nothing when it takes it.
std::optional<std::string> AlertRefusal(const LowSpaceAlert& alert);

// The sign-in list's value that starts this program, in the form it is written: the
// program's full path in quotes.
inline constexpr char kRunName[] = "Brimview";
std::string RunCommand(const std::string& program);
// Whether the value names this program: its path, quoted or not, alone or with arguments,
// compared as the system compares paths. A value naming another copy does not count.
bool StartsWithWindows(const RunList& run, const std::string& program, const TextServices& text);
// Makes the value follow the box: written to name this program when ticked and it does
// not yet, removed when unticked and it names this program. Throws AppError when the list
// cannot be read or changed; nothing else has changed then.
void SetStartWithWindows(RunList& run, bool on, const std::string& program, const TextServices& text);

// The interval count the spin field offers, in seconds or in minutes.
constexpr int kIntervalCountMin = 1;
constexpr int kIntervalCountMax = 60;
// The count held within that range.
int HoldIntervalCount(int count);
// The milliseconds of one count of the interval: a minute when the minutes are chosen, a
// second otherwise.
int IntervalUnit(const WindowOptions& options);

}  // namespace brimview
