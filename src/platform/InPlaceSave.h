#pragma once
// The save for a folder that refuses new files: the file rewritten in place, in an order that
// never leaves a shorter file or the old text's tail behind the new one.
#include <cstdint>
#include <optional>
#include <string_view>

namespace brimview {

// A file open for writing, as the in-place save uses it. Each call reports whether it did
// all it was asked.
class InPlaceFile {
public:
    virtual ~InPlaceFile() = default;
    virtual std::optional<std::uint64_t> Size() = 0;
    virtual bool WriteAt(std::uint64_t offset, std::string_view bytes) = 0;
    // Makes the file end at the length.
    virtual bool Cut(std::uint64_t length) = 0;
    virtual bool Flush() = 0;
};

// Rewrites the file with exactly the bytes. Every reader of the settings file ends the text at
// a NUL, and the file holds one wherever the old text would otherwise go on: so until the new
// text is written it reads as the old one, and afterwards as the new one. A longer text first
// takes its room beyond the old end, so that a full disk fails before the old text changes;
// the file then gets its old length back. False when a step failed.
bool RewriteInPlace(InPlaceFile& file, std::string_view bytes);

}  // namespace brimview
