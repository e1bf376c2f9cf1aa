#pragma once
// Functions of the system DLLs that only a rarely used action needs (opening help, the About
// box's link and version, a network drive's name): such a DLL is loaded from the system
// folder when one of its functions is first asked for, not when the program starts, and
// stays loaded for the rest of the run.
#include <windows.h>

namespace brimview {

// The function's address, or null when the DLL or the function is missing. Each call loads
// the DLL once more: keep the result, for example in a function-local static.
FARPROC SystemFunction(const wchar_t* dll, const char* name);

// The same with the function's type: SystemFunctionAs<decltype(&ShellExecuteA)>(L"shell32.dll", "ShellExecuteA").
template <class Function>
Function SystemFunctionAs(const wchar_t* dll, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemFunction(dll, name)));
}

}  // namespace brimview
