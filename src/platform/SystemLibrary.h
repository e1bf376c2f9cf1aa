#pragma once
// The system's DLLs, loaded from the system folder only: a portable program is often unpacked
// into a folder such as Downloads, where a file of the same name as a system DLL may lie, and
// a DLL asked for by its bare name would be looked for there first.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace brimview {

struct ModuleFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;

// The DLL of that name in the system folder, loaded; null when it is not there.
UniqueModule LoadSystemLibrary(const wchar_t* dll);

// A function of a DLL that only a rarely used action needs (opening help, the About box's
// link and version, a network drive's name): the DLL is loaded when one of its functions is
// first asked for, not when the program starts, and stays loaded for the rest of the run.
// Null when the DLL or the function is missing. Each call loads the DLL once more: keep the
// result, for example in a function-local static.
FARPROC SystemFunction(const wchar_t* dll, const char* name);

// The same with the function's type: SystemFunctionAs<decltype(&ShellExecuteA)>(L"shell32.dll", "ShellExecuteA").
template <class Function>
Function SystemFunctionAs(const wchar_t* dll, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemFunction(dll, name)));
}

}  // namespace brimview
