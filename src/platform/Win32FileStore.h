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
    // to disk, marks it whole by renaming it, and renames it over the target; it is made with
    // the target's attributes. On any failure the temporary file is deleted, and after success
    // those that saves ended midway left are. A folder that refuses the temporary file has the
    // target rewritten in place. A read-only target is refused; one another program holds is
    // tried again for about a second.
    bool ReplaceWhole(const std::string& path, std::string_view bytes) override;
    void RecoverInterruptedSave(const std::string& path) override;
    std::string ExecutablePath() const override;
};

}  // namespace brimview
