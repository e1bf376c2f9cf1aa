#include "platform/LeanThreads.h"

#include <windows.h>

#include <memory>

#include "platform/AppError.h"
#include "platform/Handles.h"

namespace brimview {
namespace {

constexpr SIZE_T kStackReserve = 256 * 1024;

DWORD WINAPI RunBody(void* parameter) {
    const std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
    (*body)();
    return 0;
}

}  // namespace

void StartLeanThread(std::function<void()> body) {
    auto owned = std::make_unique<std::function<void()>>(std::move(body));
    const UniqueHandle thread(
        CreateThread(nullptr, kStackReserve, RunBody, owned.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread) throw AppError("スレッドを作成できません");
    owned.release();  // the thread owns it now
}

}  // namespace brimview
