#include "platform/Win32RunList.h"

#include <windows.h>

#include <memory>
#include <type_traits>

#include "platform/AppError.h"
#include "platform/SystemLibrary.h"
#include "platform/WideText.h"

namespace brimview {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

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
    return message.empty() ? "error " + std::to_string(code) : Narrow(message);
}

// A failure names the value it could not change, and why.
void ThrowUnless(LSTATUS status, const std::string& name) {
    if (status != ERROR_SUCCESS)
        throw AppError(
            FormatMessage1("レジストリの HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\%s "
                           "を変更できません: ",
                           name) +
            SystemMessage(status));
}

template <class Function>
Function Advapi(const char* name) {
    return SystemFunctionAs<Function>(L"advapi32.dll", name);
}

}  // namespace

std::optional<std::string> Win32RunList::Command(const std::string& name) const {
    static const auto getValue = Advapi<decltype(&RegGetValueW)>("RegGetValueW");
    if (!getValue) return std::nullopt;
    const std::wstring wideName = Widen(name);
    DWORD size = 0;
    LSTATUS status = getValue(HKEY_CURRENT_USER, kRunKey, wideName.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size);
    std::wstring command;
    // The value may grow between the two calls.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        command.resize(size / sizeof(wchar_t) + 1);
        size = static_cast<DWORD>(command.size() * sizeof(wchar_t));
        status = getValue(HKEY_CURRENT_USER, kRunKey, wideName.c_str(), RRF_RT_REG_SZ, nullptr, command.data(), &size);
        if (status == ERROR_SUCCESS) {
            command.resize(size / sizeof(wchar_t));
            while (!command.empty() && command.back() == L'\0') command.pop_back();
            return Narrow(command);
        }
    }
    // Not there, not text, or not ours to read: no value of this program's.
    return std::nullopt;
}

void Win32RunList::SetCommand(const std::string& name, const std::string& command) {
    static const auto setValue = Advapi<decltype(&RegSetKeyValueW)>("RegSetKeyValueW");
    if (!setValue) ThrowUnless(ERROR_PROC_NOT_FOUND, name);
    const std::wstring wide = Widen(command);
    ThrowUnless(setValue(HKEY_CURRENT_USER, kRunKey, Widen(name).c_str(), REG_SZ, wide.c_str(),
                         static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))),
                name);
}

void Win32RunList::Remove(const std::string& name) {
    static const auto openKey = Advapi<decltype(&RegOpenKeyExW)>("RegOpenKeyExW");
    static const auto deleteValue = Advapi<decltype(&RegDeleteValueW)>("RegDeleteValueW");
    static const auto closeKey = Advapi<decltype(&RegCloseKey)>("RegCloseKey");
    if (!openKey || !deleteValue || !closeKey) ThrowUnless(ERROR_PROC_NOT_FOUND, name);
    HKEY opened = nullptr;
    LSTATUS status = openKey(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &opened);
    if (status == ERROR_SUCCESS) {
        const std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(closeKey)> key(opened, closeKey);
        status = deleteValue(key.get(), Widen(name).c_str());
    }
    if (status != ERROR_FILE_NOT_FOUND) ThrowUnless(status, name);
}

}  // namespace brimview
