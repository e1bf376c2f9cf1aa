#pragma once
// The spin edit's rules, apart from any window.
#include <string>

namespace brimview::ui {

// The field's text read as a whole number: optional blanks and sign, then digits, and
// nothing else; text that is no number (or one beyond 32 bits) counts as 1.
int SpinEditValue(const std::wstring& text);

// The keys the field accepts: digits, "+", "-", the decimal separator, and control
// characters other than Enter (Backspace and the like).
bool IsSpinEditKey(wchar_t key, wchar_t decimalSeparator);

}  // namespace brimview::ui
