#include "settings/SettingsPath.h"

namespace brimview {

std::size_t ExtensionStart(std::string_view path) {
    // In UTF-8 every byte of a character beyond ASCII is 0x80 or above, so none is taken
    // for a "\", ":" or ".".
    const std::size_t dot = path.find_last_of('.');
    const std::size_t separator = path.find_last_of("\\:");
    return dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator)
               ? dot
               : std::string_view::npos;
}

std::string IniPathFor(std::string_view executablePath) {
    return std::string(executablePath.substr(0, ExtensionStart(executablePath))) + ".ini";
}

std::string SettingsFilePath(const FileStore& files) {
    return IniPathFor(files.ExecutablePath());
}

}  // namespace brimview
