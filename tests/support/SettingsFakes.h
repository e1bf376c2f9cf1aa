#pragma once
// Stand-ins for the operating system in native tests, fuzzing and benchmarks of the
// settings document: files held in memory and Shift-JIS-like text services.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/FileStore.h"
#include "platform/TextServices.h"

namespace brimview::fakes {

class MemoryFileStore : public FileStore {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::set<std::string> unreadable;  // exist, but cannot be opened
    std::set<std::string> held;        // another program holds them: a read that waits counts a wait, then fails
    mutable int waits = 0;
    bool failWrites = false;
    std::string executable = "C:\\Tools\\brimview.exe";
    mutable int reads = 0;

    bool IsFile(const std::string& path) const override {
        return files.contains(path) || unreadable.contains(path) || held.contains(path);
    }
    std::optional<std::string> ReadWhole(const std::string& path, WhileHeld whileHeld) const override {
        ++reads;
        if (held.contains(path) && whileHeld == WhileHeld::Wait) ++waits;
        if (unreadable.contains(path) || held.contains(path) || !files.contains(path)) return std::nullopt;
        return files.at(path);
    }
    bool ReplaceWhole(const std::string& path, std::string_view bytes) override {
        if (failWrites || folders.contains(path)) return false;
        files[path] = bytes;
        return true;
    }
    std::string ExecutablePath() const override { return executable; }
};

// ASCII upper and lower case; Shift-JIS lead bytes, whose trail bytes are left alone;
// AnsiToUtf8 marks its result so that tests can tell a converted text from a raw one.
class FakeTextServices : public TextServices {
public:
    std::string UpperAnsi(std::string_view text) const override { return MapCase(text, 'a', 'z', 'A' - 'a'); }
    std::string LowerAnsi(std::string_view text) const override { return MapCase(text, 'A', 'Z', 'a' - 'A'); }
    bool IsDoubleByteCodePage() const override { return true; }
    bool IsLeadByte(unsigned char byte) const override {
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    }
    std::string AnsiToUtf8(std::string_view text) const override {
        std::string marked = "<";
        marked.append(text).append(">");
        return marked;
    }
    // ASCII passes; any other character becomes "?", as one missing from the code page would.
    std::string Utf16ToAnsi(std::u16string_view text) const override {
        std::string ansi;
        for (char16_t c : text) ansi += c < 0x80 ? static_cast<char>(c) : '?';
        return ansi;
    }

private:
    std::string MapCase(std::string_view text, char first, char last, int shift) const {
        std::string result(text);
        for (std::size_t i = 0; i < result.size(); ++i) {
            if (IsLeadByte(static_cast<unsigned char>(result[i])))
                ++i;
            else if (result[i] >= first && result[i] <= last)
                result[i] = static_cast<char>(result[i] + shift);
        }
        return result;
    }
};

}  // namespace brimview::fakes
