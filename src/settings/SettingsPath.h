#pragma once
// Where the settings file lies: beside the executable, under its base name, ".ini".
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/FileStore.h"

namespace brimview {

// Where a path's extension starts: at the last "." after the last "\" and ":"; npos when
// there is none. The path is UTF-8.
std::size_t ExtensionStart(std::string_view path);

// The executable's path with its extension replaced by ".ini", or ".ini" appended when it
// has none.
std::string IniPathFor(std::string_view executablePath);

// The settings file's full path (UTF-8), worked out anew from the running executable's path.
std::string SettingsFilePath(const FileStore& files);

}  // namespace brimview
