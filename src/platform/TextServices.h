#pragma once
// Text services of the operating system that the portable logic needs.
#include <string>
#include <string_view>

namespace brimview {

class TextServices {
public:
    virtual ~TextServices() = default;
    // Upper-casing in the system's ANSI code page; the length never changes.
    virtual std::string UpperAnsi(std::string_view text) const = 0;
    // Lower-casing in the system's ANSI code page with the locale's full mapping.
    virtual std::string LowerAnsi(std::string_view text) const = 0;
    // True on a double-byte code page (Japanese and the like).
    virtual bool IsDoubleByteCodePage() const = 0;
    // True when the byte starts a double-byte character in the ANSI code page.
    virtual bool IsLeadByte(unsigned char byte) const = 0;
    // ANSI bytes (paths, labels) as UTF-8, for messages and display.
    virtual std::string AnsiToUtf8(std::string_view text) const = 0;
    // UTF-16 text, as a Unicode editor saves a file, in the ANSI code page; a character the
    // code page lacks becomes its default character.
    virtual std::string Utf16ToAnsi(std::u16string_view text) const = 0;
};

}  // namespace brimview
