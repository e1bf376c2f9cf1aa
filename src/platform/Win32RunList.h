#pragma once
// The sign-in list in the registry: the values of the current user's
// Software\Microsoft\Windows\CurrentVersion\Run key. advapi32 is loaded when the list is
// first used, from the system folder.
#include "platform/RunList.h"

namespace brimview {

class Win32RunList final : public RunList {
public:
    std::optional<std::string> Command(const std::string& name) const override;
    void SetCommand(const std::string& name, const std::string& command) override;
    void Remove(const std::string& name) override;
};

}  // namespace brimview
