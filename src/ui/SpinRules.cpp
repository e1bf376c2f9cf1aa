#include "ui/SpinRules.h"

#include <cwctype>
#include <limits>

namespace brimview::ui {

int SpinEditValue(const std::wstring& text) {
    size_t i = text.find_first_not_of(L' ');
    if (i == std::wstring::npos) return 1;
    bool negative = text[i] == L'-';
    if (text[i] == L'+' || text[i] == L'-') ++i;
    if (i == text.size()) return 1;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return 1;
        value = value * 10 + (text[i] - L'0');
        if (value > std::numeric_limits<int>::max() + 1LL) return 1;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max()) return 1;
    return static_cast<int>(value);
}

bool IsSpinEditKey(wchar_t key, wchar_t decimalSeparator) {
    if (key == L'\r') return false;
    return (key >= L'0' && key <= L'9') || key == L'+' || key == L'-' || key == decimalSeparator || key < 32;
}

}  // namespace brimview::ui
