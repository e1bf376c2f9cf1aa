#pragma once
// An owner for kernel handles, closed with CloseHandle.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace brimview {

struct KernelHandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleCloser>;

}  // namespace brimview
