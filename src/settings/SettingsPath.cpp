#include "settings/SettingsPath.h"

namespace brimview {

std::size_t ExtensionStart(std::string_view path, const TextServices& text) {
    auto dot = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (byte == '.') {
            dot = i;
        } else if (byte == '\\' || byte == ':') {
            dot = std::string_view::npos;
        } else if (text.IsLeadByte(byte)) {
            ++i;  // a trail byte may have the code of "\"
        }
    }
    return dot;
}

std::string IniPathFor(std::string_view executablePath, const TextServices& text) {
    return std::string(executablePath.substr(0, ExtensionStart(executablePath, text))) + ".ini";
}

std::string SettingsFilePath(const FileStore& files, const TextServices& text) {
    return IniPathFor(files.ExecutablePath(), text);
}

}  // namespace brimview
