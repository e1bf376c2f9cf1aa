#include "platform/Win32TextServices.h"

#include <windows.h>

namespace brimview {
namespace {

std::string MapCase(std::string_view text, DWORD(WINAPI* map)(LPSTR, DWORD)) {
    std::string mapped(text);
    if (!mapped.empty()) map(mapped.data(), static_cast<DWORD>(mapped.size()));
    return mapped;
}

}  // namespace

std::string Win32TextServices::UpperAnsi(std::string_view text) const {
    return MapCase(text, CharUpperBuffA);
}

std::string Win32TextServices::LowerAnsi(std::string_view text) const {
    return MapCase(text, CharLowerBuffA);
}

bool Win32TextServices::IsDoubleByteCodePage() const {
    CPINFO info{};
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 2;
}

bool Win32TextServices::IsLeadByte(unsigned char byte) const {
    return IsDBCSLeadByte(byte);
}

std::string Win32TextServices::AnsiToUtf8(std::string_view text) const {
    if (text.empty()) return {};
    const int ansiLength = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), ansiLength, nullptr, 0);
    std::wstring wide(wideLength, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), ansiLength, wide.data(), wideLength);
    const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(utf8Length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr, nullptr);
    return utf8;
}

std::string Win32TextServices::Utf16ToAnsi(std::u16string_view text) const {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 is the system's wide text");
    if (text.empty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int wideLength = static_cast<int>(text.size());
    const int ansiLength = WideCharToMultiByte(CP_ACP, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    std::string ansi(ansiLength, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, wideLength, ansi.data(), ansiLength, nullptr, nullptr);
    return ansi;
}

char DecimalSeparator() {
    char separator[4] = "";  // the locale allows up to three characters and a NUL
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) == 0 || separator[0] == 0)
        return '.';
    return separator[0];
}

}  // namespace brimview
