#pragma once
// What the help component makes of a help request, apart from the viewer itself: which
// help file is meant, and which viewer call a classic help command turns into. Also the
// About box's version text.
#include <cstdint>
#include <string>
#include <string_view>

namespace brimview {

// Classic help commands the application's help requests carry.
inline constexpr unsigned kHelpContext = 1;
inline constexpr unsigned kHelpContents = 3;
inline constexpr unsigned kHelpContextPopup = 8;
inline constexpr unsigned kHelpFinder = 11;
inline constexpr unsigned kHelpSetPopupPos = 13;

// Commands of the HTML Help viewer.
inline constexpr unsigned kHhDisplayTopic = 0x00;
inline constexpr unsigned kHhDisplayTextPopup = 0x0E;
inline constexpr unsigned kHhHelpContext = 0x0F;
inline constexpr unsigned kHhGetLastError = 0x14;
inline constexpr unsigned kHhInitialize = 0x1C;
inline constexpr unsigned kHhUninitialize = 0x1D;

// The help file a request is for: the active form's, else the application's, else the
// executable's path with its extension replaced by (or, without one, followed by) ".chm".
// Paths are UTF-8.
std::string CurrentHelpFile(std::string_view formHelpFile, std::string_view appHelpFile,
                            std::string_view executablePath);

// True when the file's extension is ".chm" in any letter case: only such a file goes to the
// HTML Help viewer.
bool IsHtmlHelpFile(std::string_view path);

enum class HelpAction {
    None,              // the command asks nothing of the viewer
    ShowTopic,         // one viewer call
    SetPopupPosition,  // no call: the data is the position of later text popups
};

// The viewer call a help command turns into, and what follows when it opens no window.
struct HelpRoute {
    HelpAction action = HelpAction::None;
    unsigned viewerCommand = 0;    // kHhHelpContext or kHhDisplayTopic
    std::uint32_t viewerData = 0;  // the context number, or 0 for the default topic
    bool popupFallback = false;    // a text popup for the context number instead
    bool reportsError = false;     // the viewer's own description of its last error
    bool operator==(const HelpRoute&) const = default;
};

HelpRoute RouteHelpCommand(unsigned command, std::uint32_t data);

// The position HELP_SETPOPUP_POS carries: x in the low, y in the high 16 bits, both unsigned.
struct PopupPosition {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const PopupPosition&) const = default;
};

PopupPosition PopupPositionFrom(std::uint32_t data);

// Whether the viewer's last-error record is worth showing: a failure code with a description.
bool ShowsViewerError(std::int32_t hr, bool hasDescription);

// A version as "major.minor.release.build": the high and low 16 bits of the most significant
// 32 bits, then those of the least significant, each unsigned and without filling.
std::string FormatVersion(std::uint32_t mostSignificant, std::uint32_t leastSignificant);

}  // namespace brimview
