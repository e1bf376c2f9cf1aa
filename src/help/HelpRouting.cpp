#include "help/HelpRouting.h"

#include "settings/SettingsPath.h"

namespace brimview {

std::string CurrentHelpFile(std::string_view formHelpFile, std::string_view appHelpFile,
                            std::string_view executablePath) {
    if (!formHelpFile.empty()) return std::string(formHelpFile);
    if (!appHelpFile.empty()) return std::string(appHelpFile);
    return std::string(executablePath.substr(0, ExtensionStart(executablePath))) + ".chm";
}

bool IsHtmlHelpFile(std::string_view path) {
    const std::size_t dot = ExtensionStart(path);
    if (dot == std::string_view::npos) return false;
    const std::string_view extension = path.substr(dot);
    constexpr std::string_view chm = ".chm";
    if (extension.size() != chm.size()) return false;
    // Plain ASCII folding is enough: no byte of a UTF-8 character beyond ASCII is a letter.
    for (std::size_t i = 0; i < chm.size(); ++i) {
        char c = extension[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != chm[i]) return false;
    }
    return true;
}

HelpRoute RouteHelpCommand(unsigned command, std::uint32_t data) {
    switch (command) {
        case kHelpContext:
            return {HelpAction::ShowTopic, kHhHelpContext, data, false, true};
        case kHelpContents:
        case kHelpFinder:
            return {HelpAction::ShowTopic, kHhDisplayTopic, 0, false, true};
        case kHelpContextPopup:
            return {HelpAction::ShowTopic, kHhHelpContext, data, true, false};
        case kHelpSetPopupPos:
            return {HelpAction::SetPopupPosition};
        default:
            return {};
    }
}

PopupPosition PopupPositionFrom(std::uint32_t data) {
    return {static_cast<std::int32_t>(data & 0xFFFFu), static_cast<std::int32_t>(data >> 16)};
}

bool ShowsViewerError(std::int32_t hr, bool hasDescription) {
    return hr < 0 && hasDescription;
}

std::string FormatVersion(std::uint32_t mostSignificant, std::uint32_t leastSignificant) {
    return std::to_string(mostSignificant >> 16) + "." + std::to_string(mostSignificant & 0xFFFFu) + "." +
           std::to_string(leastSignificant >> 16) + "." + std::to_string(leastSignificant & 0xFFFFu);
}

}  // namespace brimview
