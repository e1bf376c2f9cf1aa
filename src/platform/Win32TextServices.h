#pragma once
// The text services of the system's ANSI code page and user locale.
#include "platform/TextServices.h"

namespace brimview {

class Win32TextServices final : public TextServices {
public:
    std::string UpperAnsi(std::string_view text) const override;
    std::string LowerAnsi(std::string_view text) const override;
    bool IsDoubleByteCodePage() const override;
    bool IsLeadByte(unsigned char byte) const override;
    std::string AnsiToUtf8(std::string_view text) const override;
    std::string Utf16ToAnsi(std::u16string_view text) const override;
};

// The user locale's decimal separator; "." when the locale names none.
char DecimalSeparator();

}  // namespace brimview
