#pragma once
// The file operations the settings logic needs, behind an interface so that the
// portable code is tested against files held in memory.
#include <optional>
#include <string>
#include <string_view>

namespace brimview {

// Whether a read waits a moment for a file another program holds (a backup or a virus
// scanner), or gives up at once because it has something to go on with meanwhile.
enum class WhileHeld { Wait, GiveUp };

// The program's own paths (the settings file beside it) are full paths in UTF-8, so that any
// folder name works; relative paths (the skin files the settings file names) are ANSI bytes,
// as that file stores them.
class FileStore {
public:
    virtual ~FileStore() = default;
    // True when a file of exactly that name exists; a folder does not count.
    virtual bool IsFile(const std::string& path) const = 0;
    // The whole content as bytes; nothing when the file cannot be opened or read.
    virtual std::optional<std::string> ReadWhole(const std::string& path, WhileHeld held) const = 0;
    // Replaces the file (or creates it) with exactly these bytes in one step: either the
    // old or the new content survives any failure, and the file is never missing. A folder
    // that refuses new files has its file rewritten in place instead, which only a write
    // error midway can leave part old, part new. False when it could not be done.
    virtual bool ReplaceWhole(const std::string& path, std::string_view bytes) = 0;
    // The full path of the running program's executable, UTF-8.
    virtual std::string ExecutablePath() const = 0;
};

}  // namespace brimview
