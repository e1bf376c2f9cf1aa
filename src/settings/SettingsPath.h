#pragma once
// Where the settings file lies: beside the executable, under its base name, ".ini".
#include <string>
#include <string_view>

#include "platform/FileStore.h"
#include "platform/TextServices.h"

namespace brimview {

// The executable's path with its extension replaced by ".ini". The extension starts at the
// last "." after the last "\" and ":"; without one, ".ini" is appended. The second byte of a
// double-byte character is never taken for a "\".
std::string IniPathFor(std::string_view executablePath, const TextServices& text);

// The settings file's full path, worked out anew from the running executable's path.
std::string SettingsFilePath(const FileStore& files, const TextServices& text);

}  // namespace brimview
