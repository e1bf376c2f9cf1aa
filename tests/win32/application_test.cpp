// The error report for a failure that escapes the program outside every handler.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MessageBoxWatcher.h"
#include "platform/AppError.h"
#include "ui/Application.h"

namespace brimview {
namespace {

TEST(EntryPoint, AFailureOutsideEveryHandlerIsReportedAndEndsWithExitCode1) {
    test::MessageBoxWatcher watcher;
    const int exitCode =
        ui::RunReportingFailures(L"Brimview", []() -> int { throw AppError("タイマーを取得できません"); });
    EXPECT_EQ(exitCode, 1);
    EXPECT_EQ(watcher.Seen(), std::vector<std::wstring>{L"Brimview|タイマーを取得できません."});
    EXPECT_EQ(ui::RunReportingFailures(L"Brimview", [] { return 0; }), 0);
    EXPECT_EQ(watcher.Seen().size(), 1u);
}

}  // namespace
}  // namespace brimview
