#include "platform/SystemLibrary.h"

#include <string>

namespace brimview {

UniqueModule LoadSystemLibrary(const wchar_t* dll) {
    wchar_t folder[MAX_PATH] = L"";
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L'\\' + dll;
    return UniqueModule(LoadLibraryW(path.c_str()));
}

FARPROC SystemFunction(const wchar_t* dll, const char* name) {
    // Never freed: whoever asked keeps the address for the rest of the run.
    const HMODULE module = LoadSystemLibrary(dll).release();
    return module ? GetProcAddress(module, name) : nullptr;
}

}  // namespace brimview
