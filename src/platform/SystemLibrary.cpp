#include "platform/SystemLibrary.h"

#include <string>

namespace brimview {

FARPROC SystemFunction(const wchar_t* dll, const char* name) {
    // From the system folder only, never from the program's folder or the current one.
    wchar_t folder[MAX_PATH] = L"";
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L'\\' + dll;
    // Never freed: whoever asked keeps the address for the rest of the run.
    const HMODULE module = LoadLibraryW(path.c_str());
    return module ? GetProcAddress(module, name) : nullptr;
}

}  // namespace brimview
