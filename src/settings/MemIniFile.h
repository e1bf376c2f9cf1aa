#pragma once
// The settings document: an INI file loaded whole into memory, read and changed there,
// and written back whole on Save. One document lives for one operation only.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileStore.h"
#include "platform/TextServices.h"

namespace brimview {

class TMemIniFile {
public:
    // Loads the file at the full path; a missing file (a folder does not count) gives an
    // empty document. Throws AppError "ファイル %s は開けません" when the file exists but
    // cannot be read. The store and the text services must outlive the document.
    TMemIniFile(std::string path, FileStore& files, const TextServices& text, WhileHeld held = WhileHeld::Wait);

    const std::string& Path() const { return path_; }

    // The value after the first "=" of the last entry of the key in the last section of
    // that name; the fallback when either is absent. Names compare without letter case.
    std::string GetText(std::string_view section, std::string_view key, std::string_view fallback) const;
    // The value as a decimal or hexadecimal ("$" or "0x") 32-bit integer; the fallback
    // when absent or not convertible.
    std::int32_t GetInteger(std::string_view section, std::string_view key, std::int32_t fallback) const;
    // True when the value is an integer other than 0; the fallback when not an integer.
    bool GetFlag(std::string_view section, std::string_view key, bool fallback) const;
    // Whether a section of that name is in the document, even an empty one.
    bool HasSection(std::string_view section) const;

    // Replaces the last entry of the key in place, or appends one to the section; a
    // missing section is appended to the document. Names keep the caller's letter case.
    void PutText(std::string_view section, std::string_view key, std::string_view value);
    void PutInteger(std::string_view section, std::string_view key, std::int32_t value);
    void PutFlag(std::string_view section, std::string_view key, bool value);
    // Deletes the last entry of the key, if any; an earlier duplicate is then the one found.
    void RemoveKey(std::string_view section, std::string_view key);

    // Writes the whole document to its path. Throws AppError "ファイル %s を作成できません"
    // when it cannot; the file on disk is then unchanged.
    void Save() const;

private:
    // A line of a section: an entry "name=value" (name before the first "=") or a bare line.
    struct Line {
        std::string text;
        std::string upperName;   // entries only
        std::size_t nameLength;  // npos for a bare line
    };
    struct Section {
        std::string name;
        std::string upperName;
        std::vector<Line> lines;
    };

    void Load(std::string_view bytes);
    Line MakeLine(std::string text) const;
    Line MakeEntry(std::string_view name, std::string_view value) const;
    // Indexes of the last section of a name and of its last entry of a key; npos when absent.
    std::size_t FindSection(std::string_view name) const;
    std::size_t FindEntry(const Section& section, std::string_view key) const;
    std::string Text() const;

    std::string path_;
    FileStore& files_;
    const TextServices& text_;
    std::vector<Section> sections_;
};

}  // namespace brimview
