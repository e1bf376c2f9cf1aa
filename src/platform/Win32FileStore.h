#pragma once
// The settings file's operations on the real file system, with ANSI paths.
#include "platform/FileStore.h"

namespace brimview {

class Win32FileStore final : public FileStore {
public:
    bool IsFile(const std::string& path) const override;
    // Opens with read sharing only: no other process may write the file meanwhile. A file
    // another program holds is tried again for about a second.
    std::optional<std::string> ReadWhole(const std::string& path, WhileHeld held) const override;
    // Writes a new temporary file of a name no other file has beside the target, flushes it
    // to disk and puts it in the target's place, keeping the target's attributes; on any
    // failure the temporary file is deleted, and after success those that an interrupted save
    // left are. A read-only target is refused; one another program holds is tried again for
    // about a second.
    bool ReplaceWhole(const std::string& path, std::string_view bytes) override;
    std::string ExecutablePath() const override;
};

}  // namespace brimview
