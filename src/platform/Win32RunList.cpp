#include "platform/Win32RunList.h"

#include <windows.h>

#include <memory>
#include <type_traits>

#include "platform/AppError.h"
#include "platform/SystemLibrary.h"

namespace brimview {
namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The system's own words for an error code, as UTF-8.
std::string SystemMessage(LSTATUS code) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
        message.pop_back();
    if (message.empty()) return "error " + std::to_string(code);
    const int wide = static_cast<int>(message.size());
    std::string utf8(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, message.c_str(), wide, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, message.c_str(), wide, utf8.data(), static_cast<int>(utf8.size()), nullptr,
                        nullptr);
    return utf8;
}

void ThrowUnless(LSTATUS status) {
    if (status != ERROR_SUCCESS) throw AppError(SystemMessage(status));
}

template <class Function>
Function Advapi(const char* name) {
    const auto function = SystemFunctionAs<Function>(L"advapi32.dll", name);
    if (!function) ThrowUnless(ERROR_PROC_NOT_FOUND);
    return function;
}

}  // namespace

std::optional<std::string> Win32RunList::Command(const std::string& name) const {
    static const auto getValue = Advapi<decltype(&RegGetValueA)>("RegGetValueA");
    DWORD size = 0;
    LSTATUS status = getValue(HKEY_CURRENT_USER, kRunKey, name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size);
    std::string command;
    // The value may grow between the two calls.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        command.resize(size);
        status = getValue(HKEY_CURRENT_USER, kRunKey, name.c_str(), RRF_RT_REG_SZ, nullptr, command.data(), &size);
        if (status == ERROR_SUCCESS) {
            command.resize(size > 0 ? size - 1 : 0);  // without its terminating zero
            return command;
        }
    }
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    ThrowUnless(status);
    return std::nullopt;
}

void Win32RunList::SetCommand(const std::string& name, const std::string& command) {
    static const auto setValue = Advapi<decltype(&RegSetKeyValueA)>("RegSetKeyValueA");
    ThrowUnless(setValue(HKEY_CURRENT_USER, kRunKey, name.c_str(), REG_SZ, command.c_str(),
                         static_cast<DWORD>(command.size() + 1)));
}

void Win32RunList::Remove(const std::string& name) {
    static const auto openKey = Advapi<decltype(&RegOpenKeyExA)>("RegOpenKeyExA");
    static const auto deleteValue = Advapi<decltype(&RegDeleteValueA)>("RegDeleteValueA");
    static const auto closeKey = Advapi<decltype(&RegCloseKey)>("RegCloseKey");
    HKEY opened = nullptr;
    LSTATUS status = openKey(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &opened);
    if (status == ERROR_SUCCESS) {
        const std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(closeKey)> key(opened, closeKey);
        status = deleteValue(key.get(), name.c_str());
    }
    if (status != ERROR_FILE_NOT_FOUND) ThrowUnless(status);
}

}  // namespace brimview
