#include "platform/RunList.h"

#include <algorithm>

namespace brimview {
namespace {

// Paths compare as the system compares them, as far as the ASCII letters go; any other
// letter in another case counts as another path, so the box shows unticked and OK writes
// the value anew.
bool SameLetters(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

// Whether the command starts with the program named as given, followed by nothing or by
// arguments.
bool Names(std::string_view command, std::string_view named) {
    if (command.size() < named.size() || !SameLetters(command.substr(0, named.size()), named)) return false;
    return command.size() == named.size() || command[named.size()] == ' ';
}

std::string Quoted(const std::string& program) {
    return '"' + program + '"';
}

}  // namespace

std::string RunCommand(const std::string& program) {
    return Quoted(program) + ' ' + kStartupSwitch;
}

bool StartsWithWindows(const RunList& run, const std::string& program) {
    const std::optional<std::string> command = run.Command(kRunName);
    return command && (Names(*command, Quoted(program)) || Names(*command, program));
}

void SetStartWithWindows(RunList& run, bool on, const std::string& program) {
    if (on) {
        if (run.Command(kRunName) != RunCommand(program)) run.SetCommand(kRunName, RunCommand(program));
    } else if (StartsWithWindows(run, program)) {
        run.Remove(kRunName);
    }
}

}  // namespace brimview
