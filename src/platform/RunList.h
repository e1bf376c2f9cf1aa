#pragma once
// The user's list of programs that Windows starts at sign-in, behind an interface so that
// the option's rules are tested without the registry, and those rules. Names, paths and
// commands are UTF-8.
#include <optional>
#include <string>

namespace brimview {

class RunList {
public:
    virtual ~RunList() = default;
    // The text stored under the name; nothing when there is none, or when it cannot be read
    // as text (another type, no access): such a value is not this program's.
    virtual std::optional<std::string> Command(const std::string& name) const = 0;
    // These throw AppError naming the value and the system's reason when they fail.
    virtual void SetCommand(const std::string& name, const std::string& command) = 0;
    virtual void Remove(const std::string& name) = 0;
};

// The value's name, and the one switch that tells the program it was started at sign-in.
inline constexpr char kRunName[] = "Brimview";
inline constexpr char kStartupSwitch[] = "/startup";

// The command that starts this program at sign-in: its full path in quotes, then the switch.
std::string RunCommand(const std::string& program);

// Whether the value names this program: its path, quoted or not, alone or with arguments,
// letters compared without regard to ASCII case. So a value an older build wrote (the bare
// quoted path) counts; one naming another copy does not.
bool StartsWithWindows(const RunList& run, const std::string& program);

// Makes the value follow the box: when ticked, written as RunCommand unless it is exactly
// that already (an older form is written anew); when unticked, removed if it names this
// program. Throws AppError when the list cannot be changed; nothing has changed then.
void SetStartWithWindows(RunList& run, bool on, const std::string& program);

}  // namespace brimview
