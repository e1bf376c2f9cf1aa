#include "platform/WideText.h"

#include <windows.h>

namespace brimview {
namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), n, nullptr, nullptr);
    return narrow;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
    return ToWide(CP_UTF8, utf8);
}
std::string Narrow(std::wstring_view wide) {
    return FromWide(CP_UTF8, wide);
}
std::wstring AnsiToWide(std::string_view ansi) {
    return ToWide(CP_ACP, ansi);
}
std::string WideToAnsi(std::wstring_view wide) {
    return FromWide(CP_ACP, wide);
}

}  // namespace brimview
