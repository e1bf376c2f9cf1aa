// The file list combo over a real folder: which entries it lists, in what order, and
// what a refill does to the selection.
#include "settings/FileComboTF.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "TestApplication.h"
#include "ui/Form.h"

namespace brimview {
namespace {

using Names = std::vector<std::string>;

// A folder of its own under the temporary folder, removed with everything the test put there.
class TestFolder {
public:
    TestFolder() {
        char temp[MAX_PATH + 1] = "";
        GetTempPathA(sizeof temp, temp);
        path_ = std::string(temp) + "brimview-filecombo-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TestFolder() {
        for (const std::string& file : files_) {
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file.c_str());
        }
        for (const std::string& folder : folders_) RemoveDirectoryA(folder.c_str());
        RemoveDirectoryA(path_.c_str());
    }
    const std::string& Path() const { return path_; }
    std::string Name() const { return path_.substr(path_.rfind('\\') + 1); }
    std::string Parent() const { return path_.substr(0, path_.rfind('\\')); }

    void AddFile(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        const std::string file = path_ + "\\" + name;
        HANDLE handle =
            CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE) << file;
        CloseHandle(handle);
        ASSERT_TRUE(SetFileAttributesA(file.c_str(), attributes)) << file;
        files_.push_back(file);
    }
    void AddFolder(const std::string& name) {
        const std::string folder = path_ + "\\" + name;
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        folders_.push_back(folder);
    }

private:
    std::string path_;
    Names files_;
    Names folders_;
};

// Runs the rest of the test with another current directory, then goes back.
class CurrentDirectoryScope {
public:
    explicit CurrentDirectoryScope(const std::string& directory) {
        GetCurrentDirectoryA(sizeof saved_, saved_);
        SetCurrentDirectoryA(directory.c_str());
    }
    ~CurrentDirectoryScope() { SetCurrentDirectoryA(saved_); }

private:
    char saved_[MAX_PATH + 1] = "";
};

class FileComboTest : public testing::Test {
protected:
    void SetUp() override {
        folder.AddFile("b.bmp");
        folder.AddFile("A.BMP");
        folder.AddFile("c.txt");
        folder.AddFolder("d.bmp");
        folder.AddFile("h.bmp", FILE_ATTRIBUTE_HIDDEN);
        folder.AddFile("r.bmp", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
        folder.AddFile("Long file name.bmp");
        combo.SetBounds(71, 41, 170, 20);
    }

    TestFolder folder;
    ui::Form form{&test::App(), L"TFileComboTest"};
    TFileComboTF& combo = form.Make<TFileComboTF>(&form);
};

TEST_F(FileComboTest, StartsWithTheCurrentDirectoryAndAnEmptyList) {
    char current[MAX_PATH + 1] = "";
    GetCurrentDirectoryA(sizeof current, current);
    EXPECT_EQ(combo.Directory(), current);
    EXPECT_EQ(combo.Mask(), "*.*");
    EXPECT_TRUE(combo.Available());
    EXPECT_EQ(combo.Items(), Names());
}

TEST_F(FileComboTest, ListsTheMatchingFilesInCaseInsensitiveOrder) {
    const Names bitmaps{"A.BMP", "b.bmp", "h.bmp", "Long file name.bmp", "r.bmp"};
    struct Case {
        const char* name;
        std::function<void(TFileComboTF&, const TestFolder&)> set;
        bool available;
        Names items;
    };
    const Case cases[] = {
        {"folder, then mask",
         [](TFileComboTF& c, const TestFolder& f) {
             c.SetDirectory(f.Path());
             c.SetMask("*.bmp");
         },
         true, bitmaps},
        {"mask, then folder",
         [](TFileComboTF& c, const TestFolder& f) {
             c.SetMask("*.bmp");
             c.SetDirectory(f.Path());
         },
         true, bitmaps},
        {"every file, no folder",
         [](TFileComboTF& c, const TestFolder& f) { c.SetDirectory(f.Path()); },
         true,
         {"A.BMP", "b.bmp", "c.txt", "h.bmp", "Long file name.bmp", "r.bmp"}},
        {"relative to the current directory",
         [](TFileComboTF& c, const TestFolder& f) {
             const CurrentDirectoryScope scope(f.Parent());
             c.SetMask("*.txt");
             c.SetDirectory(f.Name());
         },
         true,
         {"c.txt"}},
        {"no match",
         [](TFileComboTF& c, const TestFolder& f) {
             c.SetDirectory(f.Path());
             c.SetMask("*.gif");
         },
         true,
         {}},
        {"a missing folder",
         [](TFileComboTF& c, const TestFolder& f) {
             c.SetDirectory(f.Path());
             c.SetDirectory(f.Path() + "\\missing");
         },
         false,
         {}},
        {"a mask while the folder is missing",
         [](TFileComboTF& c, const TestFolder& f) {
             c.SetDirectory(f.Path() + "\\missing");
             c.SetMask("*.bmp");
         },
         false,
         {}},
        {"a file for a folder",
         [](TFileComboTF& c, const TestFolder& f) { c.SetDirectory(f.Path() + "\\b.bmp"); },
         false,
         {}},
        {"an empty folder name", [](TFileComboTF& c, const TestFolder&) { c.SetDirectory(""); }, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFileComboTF& fresh = form.Make<TFileComboTF>(&form);
        c.set(fresh, folder);
        EXPECT_EQ(fresh.Available(), c.available);
        EXPECT_EQ(fresh.Items(), c.items);
        EXPECT_EQ(fresh.ItemIndex(), -1);
    }
}

TEST_F(FileComboTest, SettingTheSameFolderAgainRefillsAndClearsTheSelection) {
    combo.SetMask("*.txt");
    combo.SetDirectory(folder.Path());
    combo.SetItemIndex(0);
    ASSERT_EQ(combo.ItemIndex(), 0);
    folder.AddFile("a.txt");
    combo.SetDirectory(folder.Path());
    EXPECT_EQ(combo.Items(), (Names{"a.txt", "c.txt"}));
    EXPECT_EQ(combo.ItemIndex(), -1);

    combo.SetItemIndex(1);
    combo.SetMask("*.txt");
    EXPECT_EQ(combo.ItemIndex(), -1);
}

TEST_F(FileComboTest, ItemsAddedBeforeTheWindowExistsAreShownAtItsCreation) {
    combo.SetMask("*.txt");
    combo.SetDirectory(folder.Path());
    ASSERT_FALSE(combo.HandleAllocated());
    form.Handle();
    ASSERT_TRUE(combo.HandleAllocated());
    EXPECT_EQ(combo.Items(), Names{"c.txt"});
    const LONG style = GetWindowLongW(combo.Handle(), GWL_STYLE);
    EXPECT_EQ(style & CBS_DROPDOWNLIST, CBS_DROPDOWNLIST);
    EXPECT_TRUE(style & CBS_SORT);
}

TEST_F(FileComboTest, NamesInTheAnsiCodePageComeBackUnchanged) {
    if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese code page";
    const std::string name = "\x94\x77\x8c\x69.bmp";  // "背景.bmp" in Shift-JIS
    folder.AddFile(name);
    combo.SetDirectory(folder.Path());
    combo.SetMask("\x94\x77*");
    EXPECT_EQ(combo.Items(), Names{name});
}

}  // namespace
}  // namespace brimview
