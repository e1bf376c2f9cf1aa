#include <gtest/gtest.h>

#include "ui/SpinRules.h"

namespace brimview::ui {
namespace {

TEST(SpinEdit, TextReadsAsAWholeNumberOrCountsAsOne) {
    const std::pair<const wchar_t*, int> cases[] = {
        {L"3", 3},
        {L"60", 60},
        {L"99", 99},
        {L"  7", 7},
        {L"+5", 5},
        {L"-2", -2},
        {L"", 1},
        {L"abc", 1},
        {L"3.5", 1},
        {L"1,5", 1},
        {L"-", 1},
        {L"+", 1},
        {L"7 ", 1},
        {L"0", 0},
        {L"2147483647", 2147483647},
        {L"2147483648", 1},
        {L"-2147483648", -2147483647 - 1},
        {L"99999999999999999999", 1},
    };
    for (auto [text, value] : cases) EXPECT_EQ(SpinEditValue(text), value) << std::wstring(text).size();
}

TEST(SpinEdit, AcceptsOnlyKeysThatCanBePartOfANumber) {
    for (wchar_t key : {L'0', L'9', L'+', L'-', L',', L'\b', L'\x1b', L'\t'})
        EXPECT_TRUE(IsSpinEditKey(key, L',')) << int(key);
    for (wchar_t key : {L'\r', L'a', L' ', L'.', L'x', L'\x3042'}) EXPECT_FALSE(IsSpinEditKey(key, L',')) << int(key);
    EXPECT_TRUE(IsSpinEditKey(L'.', L'.'));
}

}  // namespace
}  // namespace brimview::ui
