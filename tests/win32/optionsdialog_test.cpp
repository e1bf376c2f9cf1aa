// The options dialog on real windows under Wine: filled from a crafted settings file,
// confirmed with OK, and applied to the running main window.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "GdiTesting.h"
#include "MessageBoxWatcher.h"
#include "app/DriveMonitor.h"
#include "platform/Win32Drives.h"
#include "platform/Win32FileStore.h"
#include "platform/Win32RunList.h"
#include "platform/Win32TextServices.h"
#include "settings/Options.h"
#include "settings/SettingsPath.h"
#include "ui/Application.h"

namespace brimview {
namespace {

struct DialogFixture {
    Win32TextServices text;
    Win32FileStore files;
    Win32RunList runList;
    Services services{files, text, std::make_shared<Win32DiskSpace>(), std::make_shared<Win32DriveCatalog>(), '.'};
    std::filesystem::path previous = std::filesystem::current_path();
    std::string ini = SettingsFilePath(files, text);

    explicit DialogFixture(const std::string& settings) {
        std::filesystem::path folder = previous / "options";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "skin");
        std::ofstream(folder / "skin" / "bg.bmp") << "BM";
        std::ofstream(folder / "skin" / "wood.bmp") << "BM";
        std::filesystem::current_path(folder);
        std::ofstream(ini, std::ios::binary) << settings;
    }
    ~DialogFixture() {
        std::filesystem::remove(ini);
        std::filesystem::current_path(previous);
    }
    std::string Saved() const {
        std::ifstream in(ini, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

std::function<void()> pendingAction;

void CALLBACK RunPendingAction(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    pendingAction();
}

// Runs the dialog modally until the action, run inside its loop, closes it.
int RunModal(TPagesDlg& dialog, std::function<void()> action) {
    pendingAction = std::move(action);
    SetTimer(nullptr, 0, 200, RunPendingAction);
    return dialog.ShowModal();
}

TEST(OptionsDialog, FillsItsControlsFromTheSettingsFile) {
    DialogFixture f(
        "[General]\r\nInterval=90000\r\nInterval_s=0\r\nInterval_m=1\r\n"
        "[Display]\r\nMinimized=1\r\nTransparency=1\r\nTransparent_Position=0\r\nSkin=0\r\nSkin_File=WOOD.BMP\r\n");
    TForm1 main(nullptr, f.services);
    main.FinishCreation();
    TPagesDlg dialog(nullptr, main.Settings(), f.services, f.runList);
    dialog.FinishCreation();
    // What start-up wrote; the dialog's own values would change it (60000 ms for one minute, wood.bmp).
    const std::string started = f.Saved();
    int result = RunModal(dialog, [&] {
        EXPECT_FALSE(dialog.RadioButton1->Checked());
        EXPECT_TRUE(dialog.RadioButton2->Checked());
        EXPECT_EQ(dialog.SpinEdit1->Value(), 1);  // 90000 ms read as minutes, truncated
        EXPECT_TRUE(dialog.CheckBox5->Checked());
        EXPECT_TRUE(dialog.CheckBox2->Checked());
        EXPECT_TRUE(GetWindowLongW(dialog.TransPanel->Handle(), GWL_STYLE) & WS_VISIBLE) << "the slider shows";
        EXPECT_EQ(dialog.TrackBar1->Position(), 1);
        EXPECT_FALSE(dialog.CheckBox3->Checked());
        EXPECT_FALSE(IsWindowEnabled(dialog.FileComboTF1->Handle()));
        EXPECT_EQ(dialog.FileComboTF1->ItemIndex(), 1);  // wood.bmp, matched without letter case
        PostMessageW(dialog.Handle(), WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, ui::mrCancel);
    EXPECT_EQ(f.Saved(), started) << "Cancel writes nothing";
}

TEST(OptionsDialog, WithoutAUnitTheSpinFieldKeepsItsText) {
    DialogFixture f("[General]\r\nInterval=90000\r\nInterval_s=0\r\nInterval_m=0\r\n");
    TForm1 main(nullptr, f.services);
    main.FinishCreation();
    TPagesDlg dialog(nullptr, main.Settings(), f.services, f.runList);
    dialog.FinishCreation();
    dialog.Handle();
    HWND field = GetWindow(dialog.SpinEdit1->Handle(), GW_CHILD);
    SetWindowTextW(field, L"abc");  // typed at an earlier showing
    RunModal(dialog, [&] {
        EXPECT_FALSE(dialog.RadioButton1->Checked());
        EXPECT_FALSE(dialog.RadioButton2->Checked());
        wchar_t text[16] = L"";
        GetWindowTextW(field, text, 16);
        EXPECT_STREQ(text, L"abc");
        PostMessageW(dialog.Handle(), WM_COMMAND, IDCANCEL, 0);
    });
}

TEST(OptionsDialog, OkWritesEverySettingAndAppliesItToTheMainWindow) {
    DialogFixture f("");
    TForm1 main(nullptr, f.services);
    main.FinishCreation();
    TPagesDlg dialog(nullptr, main.Settings(), f.services, f.runList);
    dialog.FinishCreation();
    int result = RunModal(dialog, [&] {
        dialog.SpinEdit1->SetValue(10);
        dialog.CheckBox4->SetChecked(true);
        dialog.FileComboTF1->SetItemIndex(0);
        PostMessageW(dialog.Handle(), WM_COMMAND, IDOK, 0);  // Enter
    });
    EXPECT_EQ(result, ui::mrOk);
    EXPECT_EQ(f.Saved(),
              "[General]\r\nInterval=10000\r\nInterval_s=1\r\nInterval_m=0\r\n\r\n"
              "[Display]\r\nMinimized=0\r\nOn_Top=0\r\nTransparency=0\r\nTransparent_Position=255\r\nSkin=1\r\n"
              "Skin_File=bg.bmp\r\nPanelTransparent=1\r\n\r\n");
    EXPECT_EQ(main.Timer1->Interval(), 10000u);
    EXPECT_TRUE(main.TransPanel1->Transparent());
}

TEST(OptionsDialog, OkRefusesAWarningOver100PercentAndTheDialogStaysOpen) {
    DialogFixture f("");
    TForm1 main(nullptr, f.services);
    main.FinishCreation();
    TPagesDlg dialog(nullptr, main.Settings(), f.services, f.runList);
    dialog.FinishCreation();
    test::MessageBoxWatcher watcher;
    int result = RunModal(dialog, [&] {
        dialog.CheckBox6->SetChecked(true);
        dialog.SpinEdit2->SetValue(101);
        dialog.OKBtn->Click();
        PostMessageW(dialog.Handle(), WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, ui::mrCancel);
    EXPECT_EQ(watcher.Seen(), std::vector<std::wstring>{
                                  L"設定|警告する空き容量を % で指定するときは 0 から 100 までの値にしてください。"});
    EXPECT_EQ(f.Saved(), "");
}

}  // namespace
}  // namespace brimview
