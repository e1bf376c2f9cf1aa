#pragma once
// The user's list of programs that Windows starts at sign-in, behind an interface so that
// the option's logic is tested without the registry. Names and commands are ANSI bytes.
#include <optional>
#include <string>

namespace brimview {

class RunList {
public:
    virtual ~RunList() = default;
    // The command stored under the name; nothing when there is none. The others throw
    // AppError with the system's message when they fail.
    virtual std::optional<std::string> Command(const std::string& name) const = 0;
    virtual void SetCommand(const std::string& name, const std::string& command) = 0;
    virtual void Remove(const std::string& name) = 0;
};

}  // namespace brimview
