#include "platform/Win32TaskbarProgress.h"

#include <objbase.h>
#include <shobjidl.h>

#include "platform/SystemLibrary.h"

namespace brimview {
namespace {

// COM from ole32, loaded when the gauge is first asked for, not at start.
struct Ole32 {
    decltype(&CoInitializeEx) initialize = SystemFunctionAs<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    decltype(&CoUninitialize) uninitialize =
        SystemFunctionAs<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize");
    decltype(&CoCreateInstance) createInstance =
        SystemFunctionAs<decltype(&CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
    explicit operator bool() const { return initialize && uninitialize && createInstance; }
};

const Ole32& Com() {
    static const Ole32 ole32;
    return ole32;
}

// COM in use on this thread while this lives.
class ComApartment {
public:
    ComApartment() : entered_(SUCCEEDED(Com().initialize(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (entered_) Com().uninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_;
};

struct ReleaseList {
    void operator()(ITaskbarList3* list) const { list->Release(); }
};

class ShellTaskbarProgress final : public TaskbarProgress {
public:
    ShellTaskbarProgress(HWND window, std::unique_ptr<ComApartment> com,
                         std::unique_ptr<ITaskbarList3, ReleaseList> list)
        : window_(window), com_(std::move(com)), list_(std::move(list)) {}

    void SetState(State state) override {
        static constexpr TBPFLAG kFlags[] = {TBPF_NOPROGRESS, TBPF_NORMAL, TBPF_ERROR};
        list_->SetProgressState(window_, kFlags[static_cast<int>(state)]);
    }
    void SetValue(std::uint64_t done, std::uint64_t total) override { list_->SetProgressValue(window_, done, total); }

private:
    HWND window_;
    std::unique_ptr<ComApartment> com_;  // outlives the list
    std::unique_ptr<ITaskbarList3, ReleaseList> list_;
};

}  // namespace

std::unique_ptr<TaskbarProgress> MakeTaskbarProgress(HWND window) {
    if (!Com()) return nullptr;
    auto com = std::make_unique<ComApartment>();
    ITaskbarList3* raw = nullptr;
    if (FAILED(Com().createInstance(__uuidof(TaskbarList), nullptr, CLSCTX_INPROC_SERVER, __uuidof(ITaskbarList3),
                                    reinterpret_cast<void**>(&raw))))
        return nullptr;
    std::unique_ptr<ITaskbarList3, ReleaseList> list(raw);
    if (FAILED(list->HrInit())) return nullptr;
    return std::make_unique<ShellTaskbarProgress>(window, std::move(com), std::move(list));
}

}  // namespace brimview
