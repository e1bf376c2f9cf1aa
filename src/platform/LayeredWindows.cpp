#include "platform/LayeredWindows.h"

namespace brimview {

LayeredWindowApi SystemLayeredWindows() {
    LayeredWindowApi found;
    if (HMODULE user32 = GetModuleHandleA("User32.dll"))
        found.setLayeredWindowAttributes = reinterpret_cast<LayeredWindowApi::SetLayeredFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetLayeredWindowAttributes")));
    return found;
}

}  // namespace brimview
