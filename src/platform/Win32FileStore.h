#pragma once
// The settings file's operations on the real file system, and the program's own path.
#include <string>

#include "platform/FileStore.h"

namespace brimview {

class Win32FileStore final : public FileStore {
public:
    bool IsFile(const std::string& path) const override;
    // Opens with read sharing only: no other process may write the file meanwhile. A file
    // another program holds is tried again for about a second.
    std::optional<std::string> ReadWhole(const std::string& path, WhileHeld held) const override;
    // Writes a new temporary file of a name no other file has beside the target, flushes it
    // to disk, and renames it over the target; it is made with the target's attributes. On
    // any failure the temporary file is deleted, and after success those that saves ended
    // midway left are. A folder that refuses the temporary file has the target rewritten in
    // place. A read-only target is refused; one another program holds is tried again for
    // about a second.
    bool ReplaceWhole(const std::string& path, std::string_view bytes) override;
    std::string ExecutablePath() const override;
};

// The running program's full path, as the wide function gives it.
std::wstring ModulePath();

// Makes the program's own folder the current one, as a start at sign-in leaves the system
// folder current.
void EnterProgramFolder();

}  // namespace brimview
