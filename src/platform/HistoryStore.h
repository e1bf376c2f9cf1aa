#pragma once
// The forecast's history file, behind an interface so that the portable logic is tested
// against a file held in memory. Its calls may wait on a slow drive: they are made away from
// the window's thread.
#include <optional>
#include <string>
#include <string_view>

namespace brimview {

class HistoryStore {
public:
    virtual ~HistoryStore() = default;
    // The whole content; nothing when the file is missing or cannot be read.
    virtual std::optional<std::string> Read() = 0;
    // Adds the bytes at the end in one write, making the file when it is missing.
    virtual bool Append(std::string_view bytes) = 0;
    // Replaces the whole content in one step: the old or the new content survives any failure.
    virtual bool Replace(std::string_view bytes) = 0;
    // Where it is, for messages: a path in UTF-8, as the settings file's.
    virtual std::string Path() const = 0;
};

}  // namespace brimview
