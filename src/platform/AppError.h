#pragma once
// The one exception type of the program: a failure with a message for the user.
#include <stdexcept>
#include <string>
#include <string_view>

namespace brimview {

// The message is UTF-8; the error report shows it through the wide API.
class AppError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fills the single "%s" of a message template (UTF-8) with a text (UTF-8).
std::string FormatMessage1(std::string_view pattern, std::string_view arg);

// The text the error report shows: a "." is appended unless the message ends
// in the full-width full stop or in a character whose code is at most that of "."
// (".", "!", ",", ")" and the like). A multi-byte character counts as one.
std::string ErrorReportText(std::string_view message);

}  // namespace brimview
