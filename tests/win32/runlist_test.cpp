// The sign-in list in the registry: a value that is no text is no command of anyone's, and
// one the program writes comes back as written, any folder name included.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/Win32RunList.h"

namespace brimview {
namespace {

TEST(Win32RunList, AValueThatIsNoTextIsNoCommandAndIsWrittenOver) {
    const DWORD number = 1;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"BrimviewTest",
                              REG_DWORD, &number, sizeof number),
              ERROR_SUCCESS);
    Win32RunList list;
    EXPECT_EQ(list.Command("BrimviewTest"), std::nullopt);
    const std::string command = "\"C:\\Ölçü-José-Ω\\brimview.exe\" /startup";
    list.SetCommand("BrimviewTest", command);
    EXPECT_EQ(list.Command("BrimviewTest"), command);
    list.Remove("BrimviewTest");
    EXPECT_EQ(list.Command("BrimviewTest"), std::nullopt);
}

}  // namespace
}  // namespace brimview
