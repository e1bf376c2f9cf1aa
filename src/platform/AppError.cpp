#include "platform/AppError.h"

namespace brimview {

std::string FormatMessage1(std::string_view pattern, std::string_view arg) {
    std::string text(pattern);
    if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, arg);
    return text;
}

std::string ErrorReportText(std::string_view message) {
    constexpr std::string_view fullStop = "\xE3\x80\x82";  // "。" in UTF-8
    if (message.ends_with(fullStop)) return std::string(message);
    // The last byte decides for an ASCII last character; the bytes of a multi-byte
    // UTF-8 character are all above 0x7F, so such a character never stops the dot.
    if (!message.empty() && static_cast<unsigned char>(message.back()) <= '.') return std::string(message);
    return std::string(message) + ".";
}

}  // namespace brimview
