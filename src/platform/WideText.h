#pragma once
// Conversions between the program's texts and the wide API. Captions, messages and the
// program's own paths are UTF-8 in the code; data from the system or the settings file
// (skin names, labels) is ANSI bytes.
#include <string>
#include <string_view>

namespace brimview {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
std::wstring AnsiToWide(std::string_view ansi);
std::string WideToAnsi(std::wstring_view wide);

}  // namespace brimview
