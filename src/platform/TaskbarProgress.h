#pragma once
// The progress shown on the program's taskbar button, behind an interface so that what the
// window asks of it is tested against a fake.
#include <cstdint>

namespace brimview {

class TaskbarProgress {
public:
    enum class State { None, Normal, Error };

    virtual ~TaskbarProgress() = default;
    virtual void SetState(State state) = 0;
    // The share done / total; the button shows it in its state.
    virtual void SetValue(std::uint64_t done, std::uint64_t total) = 0;
};

}  // namespace brimview
