#pragma once
// The single-instance guard: claims a mutex named after the application title while
// the main window is built; when the name is taken, another copy runs, so this copy
// brings that one forward and ends without showing anything.
#include "platform/Handles.h"
#include "ui/Component.h"

namespace brimview {

class TXJustOne : public ui::Component {
public:
    explicit TXJustOne(ui::Component* owner) : ui::Component(owner) {}

    bool SwitchToPrevious = true;
    ui::NotifyEvent AlreadyExist;
    // True once the check found another copy running: this copy is ending.
    bool GaveWay() const { return gaveWay_; }

protected:
    void Loaded() override;

private:
    UniqueHandle SingleInstanceMutex;  // held for the guard's lifetime
    bool gaveWay_ = false;
};

}  // namespace brimview
