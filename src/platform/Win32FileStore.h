#pragma once
// The settings file's operations on the real file system, with ANSI paths.
#include "platform/FileStore.h"

namespace brimview {

class Win32FileStore final : public FileStore {
public:
    bool IsFile(const std::string& path) const override;
    // Opens with read sharing only: no other process may write the file meanwhile.
    std::optional<std::string> ReadWhole(const std::string& path) const override;
    // Writes a temporary file beside the target, flushes it to disk and moves it over the
    // target with write-through; on any failure the temporary file is deleted. A read-only
    // target is refused.
    bool ReplaceWhole(const std::string& path, std::string_view bytes) override;
    std::string ExecutablePath() const override;
};

}  // namespace brimview
