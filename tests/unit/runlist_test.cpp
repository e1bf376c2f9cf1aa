// The sign-in value's rules: which values tick the box, and what OK leaves in the list.
#include <gtest/gtest.h>

#include "platform/AppError.h"
#include "platform/RunList.h"

namespace brimview {
namespace {

// The sign-in list in memory; a list that refuses changes, as under a policy.
class MemoryRunList : public RunList {
public:
    std::optional<std::string> value;
    bool refuse = false;
    int writes = 0;
    std::optional<std::string> Command(const std::string& name) const override {
        EXPECT_EQ(name, "Brimview");
        return value;
    }
    void SetCommand(const std::string&, const std::string& command) override {
        if (refuse) throw AppError("アクセスが拒否されました。");
        value = command;
        ++writes;
    }
    void Remove(const std::string&) override {
        if (refuse) throw AppError("アクセスが拒否されました。");
        value.reset();
    }
};

TEST(StartWithWindows, TheBoxShowsAndSetsTheValueThatNamesThisCopy) {
    const std::string self = "A:\\Ölçü-José-Ω-Z\\brimview.exe";
    const std::string current = "\"A:\\Ölçü-José-Ω-Z\\brimview.exe\" /startup";
    struct Case {
        std::optional<std::string> value;
        bool shown;                           // the box as filled
        std::optional<std::string> ticked;    // the value after OK with the box ticked
        std::optional<std::string> unticked;  // and unticked
    };
    const Case cases[] = {
        {std::nullopt, false, current, std::nullopt},
        {current, true, current, std::nullopt},
        {"\"A:\\Ölçü-José-Ω-Z\\brimview.exe\"", true, current, std::nullopt},  // an older build's
        {"\"a:\\ölçü-josé-ω-z\\BRIMVIEW.EXE\" /min", false, current, "\"a:\\ölçü-josé-ω-z\\BRIMVIEW.EXE\" /min"},
        {"\"a:\\Ölçü-José-Ω-z\\BRIMVIEW.EXE\" /min", true, current, std::nullopt},
        {"A:\\Ölçü-José-Ω-Z\\brimview.exe", true, current, std::nullopt},
        {"\"D:\\Old\\brimview.exe\" /startup", false, current, "\"D:\\Old\\brimview.exe\" /startup"},
        {"\"A:\\Ölçü-José-Ω-Z\\brimview.exe.bak\"", false, current, "\"A:\\Ölçü-José-Ω-Z\\brimview.exe.bak\""},
        {"A:\\Ölçü-José-Ω-Z\\brimview.exe2", false, current, "A:\\Ölçü-José-Ω-Z\\brimview.exe2"},
        {"", false, current, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.value_or("<none>"));
        MemoryRunList run;
        run.value = c.value;
        EXPECT_EQ(StartsWithWindows(run, self), c.shown);
        SetStartWithWindows(run, true, self);
        EXPECT_EQ(run.value, c.ticked);
        EXPECT_EQ(run.writes, c.value == current ? 0 : 1) << "the value in its current form is left alone";
        run.value = c.value;
        SetStartWithWindows(run, false, self);
        EXPECT_EQ(run.value, c.unticked);
    }
    MemoryRunList refusing;
    refusing.refuse = true;
    EXPECT_THROW(SetStartWithWindows(refusing, true, self), AppError);
    EXPECT_FALSE(refusing.value);
}

}  // namespace
}  // namespace brimview
