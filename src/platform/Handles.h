#pragma once
// Owners for the system's handles other than GDI's: one close policy per handle type.
#include <windows.h>

#include <oleauto.h>

#include <memory>
#include <type_traits>

#include "platform/SystemLibrary.h"

namespace brimview {

struct KernelHandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// A kernel handle whose "none" is null, such as a mutex.
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleCloser>;

struct FindCloser {
    void operator()(HANDLE search) const { FindClose(search); }
};

// A handle whose "none" is INVALID_HANDLE_VALUE rather than null, as CreateFile and
// FindFirstFile give them.
template <class Close>
class UniqueInvalidable {
public:
    explicit UniqueInvalidable(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~UniqueInvalidable() {
        if (*this) Close{}(handle_);
    }
    UniqueInvalidable(const UniqueInvalidable&) = delete;
    UniqueInvalidable& operator=(const UniqueInvalidable&) = delete;
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};
using UniqueFile = UniqueInvalidable<KernelHandleCloser>;
using UniqueFind = UniqueInvalidable<FindCloser>;

struct MenuDestroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

struct BstrFreer {
    void operator()(OLECHAR* text) const {
        // oleaut32 is loaded when the first text is freed, not at start.
        static const auto sysFreeString = SystemFunctionAs<decltype(&SysFreeString)>(L"oleaut32.dll", "SysFreeString");
        if (sysFreeString) sysFreeString(text);
    }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFreer>;

}  // namespace brimview
