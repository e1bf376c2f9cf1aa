// The in-place save: at whichever step it fails, the file reads as the old text or the new one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/InPlaceSave.h"

namespace brimview {
namespace {

// A file in memory whose step number failAt fails. A failing write is one on a full disk: what
// lies within the file's present length is written, and half of what lies beyond it. It keeps
// what a reader would have seen after each change, had the program been ended there.
class MemoryFile : public InPlaceFile {
public:
    std::string bytes;
    int failAt = -1;
    int steps = 0;
    std::vector<std::string> seen;

    std::optional<std::uint64_t> Size() override {
        if (Fails()) return std::nullopt;
        return bytes.size();
    }
    bool WriteAt(std::uint64_t offset, std::string_view data) override {
        const bool fails = Fails();
        if (fails && offset + data.size() > bytes.size()) {
            const std::size_t within = bytes.size() > offset ? bytes.size() - offset : 0;
            data = data.substr(0, within + (data.size() - within) / 2);
        }
        if (bytes.size() < offset + data.size()) bytes.resize(offset + data.size());
        bytes.replace(offset, data.size(), data);
        seen.push_back(Read());
        return !fails;
    }
    bool Cut(std::uint64_t length) override {
        if (Fails()) return false;
        bytes.resize(length);
        seen.push_back(Read());
        return true;
    }
    bool Flush() override { return !Fails(); }
    // The text every reader of the settings file sees: up to the first NUL.
    std::string Read() const { return bytes.substr(0, bytes.find('\0')); }

private:
    bool Fails() { return steps++ == failAt; }
};

TEST(InPlaceSave, AtEveryStepAndEveryFailureTheFileReadsAsTheOldTextOrTheNew) {
    struct Case {
        const char* name;
        std::string old, now;
    };
    const Case cases[] = {
        {"longer", "[Window]\r\nTop=1\r\n", "[Window]\r\nTop=1\r\nLeft=200\r\n\r\n[Display]\r\nSkin=0\r\n"},
        {"shorter", "[Window]\r\nTop=1\r\nLeft=200\r\n\r\n", "[A]\r\n"},
        {"same length", "[A]\r\nB=1\r\n", "[A]\r\nB=2\r\n"},
        {"from empty", "", "[A]\r\n"},
        {"to empty", "[A]\r\n", ""},
    };
    for (const Case& c : cases) {
        for (int failAt = 0;; ++failAt) {
            SCOPED_TRACE(std::string(c.name) + ", step " + std::to_string(failAt) + " fails");
            MemoryFile file;
            file.bytes = c.old;
            file.failAt = failAt;
            const bool saved = RewriteInPlace(file, c.now);
            for (const std::string& text : file.seen) EXPECT_TRUE(text == c.old || text == c.now) << text;
            if (file.steps <= failAt) {  // no step failed
                EXPECT_TRUE(saved);
                EXPECT_EQ(file.bytes, c.now);
                break;
            }
            EXPECT_FALSE(saved);
            // Before the old text changes, a failure gives the file back exactly as it was.
            if (file.Read() == c.old && c.now.size() > c.old.size()) {
                EXPECT_EQ(file.bytes, c.old);
            }
        }
    }
}

}  // namespace
}  // namespace brimview
