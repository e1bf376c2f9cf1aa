#include "settings/MemIniFile.h"

#include <optional>
#include <utility>

#include "platform/AppError.h"

namespace brimview {

namespace {

constexpr auto npos = std::string_view::npos;

// Control characters and the space: what trimming removes at both ends.
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

int DigitValue(char c, int base) {
    int value = 16;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    return value < base ? value : -1;
}

// Leading spaces, an optional sign, then decimal digits or "$" and hexadecimal digits, the
// whole text and nothing more. Decimal values must lie in the signed 32-bit range;
// hexadecimal digits give a 32-bit pattern, so "$FFFFFFFF" is -1.
std::optional<std::int32_t> ToInteger(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const bool hex = !text.empty() && text.front() == '$';
    if (hex) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    const int base = hex ? 16 : 10;
    const std::uint64_t limit = hex ? 0xFFFFFFFFu : negative ? 0x80000000u : 0x7FFFFFFFu;
    std::uint64_t magnitude = 0;
    for (char c : text) {
        const int digit = DigitValue(c, base);
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return std::nullopt;
    }
    auto bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
}

// The file's bytes as the document reads them. A file a Unicode editor saved loads as it
// does through the system's own settings functions: a UTF-8 byte-order mark is passed
// over, and a UTF-16 (little-endian) file is read as such and turned into the ANSI code page.
std::string AnsiText(std::string bytes, const TextServices& text) {
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    constexpr std::string_view kUtf16Mark = "\xFF\xFE";
    if (bytes.starts_with(kUtf8Mark)) return bytes.substr(kUtf8Mark.size());
    if (!bytes.starts_with(kUtf16Mark)) return bytes;
    std::u16string wide((bytes.size() - kUtf16Mark.size()) / 2, u'\0');  // an odd last byte is no character
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const auto low = static_cast<unsigned char>(bytes[kUtf16Mark.size() + 2 * i]);
        const auto high = static_cast<unsigned char>(bytes[kUtf16Mark.size() + 2 * i + 1]);
        wide[i] = static_cast<char16_t>(low | high << 8);
    }
    return text.Utf16ToAnsi(wide);
}

}  // namespace

TMemIniFile::TMemIniFile(std::string path, FileStore& files, const TextServices& text, WhileHeld held)
    : path_(std::move(path)), files_(files), text_(text) {
    if (!files_.IsFile(path_)) return;
    auto bytes = files_.ReadWhole(path_, held);
    if (!bytes) throw AppError(FormatMessage1("ファイル %s は開けません", text_.AnsiToUtf8(path_)));
    Load(AnsiText(std::move(*bytes), text_));
}

void TMemIniFile::Load(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        const std::string_view line = Trim(bytes.substr(start, end - start));
        start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);

        if (line.empty() || line.front() == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string_view name = Trim(line.substr(1, line.size() - 2));
            sections_.push_back({std::string(name), text_.UpperAnsi(name), {}});
        } else if (!sections_.empty()) {
            const auto equals = line.find('=');
            sections_.back().lines.push_back(
                equals == npos ? MakeLine(std::string(line))
                               : MakeEntry(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))));
        }
    }
}

TMemIniFile::Line TMemIniFile::MakeEntry(std::string_view name, std::string_view value) const {
    std::string text;
    text.reserve(name.size() + 1 + value.size());
    text.append(name).append("=").append(value);
    return MakeLine(std::move(text));
}

TMemIniFile::Line TMemIniFile::MakeLine(std::string text) const {
    const std::size_t equals = text.find('=');
    std::string upperName = equals == npos ? std::string() : text_.UpperAnsi(std::string_view(text).substr(0, equals));
    return {std::move(text), std::move(upperName), equals};
}

std::size_t TMemIniFile::FindSection(std::string_view name) const {
    const std::string upper = text_.UpperAnsi(name);
    for (std::size_t i = sections_.size(); i-- > 0;)
        if (sections_[i].upperName == upper) return i;
    return npos;
}

bool TMemIniFile::HasSection(std::string_view section) const {
    return FindSection(section) != npos;
}

std::size_t TMemIniFile::FindEntry(const Section& section, std::string_view key) const {
    const std::string upper = text_.UpperAnsi(key);
    for (std::size_t i = section.lines.size(); i-- > 0;) {
        const Line& line = section.lines[i];
        if (line.nameLength != npos && line.upperName == upper) return i;
    }
    return npos;
}

std::string TMemIniFile::GetText(std::string_view section, std::string_view key, std::string_view fallback) const {
    if (const auto s = FindSection(section); s != npos)
        if (const auto e = FindEntry(sections_[s], key); e != npos) {
            const Line& line = sections_[s].lines[e];
            return line.text.substr(line.nameLength + 1);
        }
    return std::string(fallback);
}

std::int32_t TMemIniFile::GetInteger(std::string_view section, std::string_view key, std::int32_t fallback) const {
    std::string text = GetText(section, key, "");
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
    return ToInteger(text).value_or(fallback);
}

bool TMemIniFile::GetFlag(std::string_view section, std::string_view key, bool fallback) const {
    return GetInteger(section, key, fallback ? 1 : 0) != 0;
}

void TMemIniFile::PutText(std::string_view section, std::string_view key, std::string_view value) {
    auto s = FindSection(section);
    if (s == npos) {
        sections_.push_back({std::string(section), text_.UpperAnsi(section), {}});
        s = sections_.size() - 1;
    }
    std::vector<Line>& lines = sections_[s].lines;
    Line line = MakeEntry(key, value);
    if (const auto e = FindEntry(sections_[s], key); e != npos)
        lines[e] = std::move(line);
    else
        lines.push_back(std::move(line));
}

void TMemIniFile::PutInteger(std::string_view section, std::string_view key, std::int32_t value) {
    PutText(section, key, std::to_string(value));
}

void TMemIniFile::PutFlag(std::string_view section, std::string_view key, bool value) {
    PutText(section, key, value ? "1" : "0");
}

void TMemIniFile::RemoveKey(std::string_view section, std::string_view key) {
    if (const auto s = FindSection(section); s != npos) {
        std::vector<Line>& lines = sections_[s].lines;
        if (const auto e = FindEntry(sections_[s], key); e != npos) lines.erase(lines.begin() + e);
    }
}

std::string TMemIniFile::Text() const {
    std::string text;
    for (const Section& section : sections_) {
        text.append("[").append(section.name).append("]\r\n");
        for (const Line& line : section.lines) text.append(line.text).append("\r\n");
        text.append("\r\n");
    }
    return text;
}

void TMemIniFile::Save() const {
    if (!files_.ReplaceWhole(path_, Text()))
        throw AppError(FormatMessage1("ファイル %s を作成できません", text_.AnsiToUtf8(path_)));
}

}  // namespace brimview
