// The main window and the drive selector on real windows under Wine.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../support/QueryTesting.h"
#include "GdiTesting.h"
#include "MessageBoxWatcher.h"
#include "app/DriveMonitor.h"
#include "platform/Win32Drives.h"
#include "platform/Win32FileStore.h"
#include "platform/Win32TextServices.h"
#include "settings/SettingsPath.h"
#include "ui/Application.h"
#include "ui/Text.h"

namespace brimview {
namespace {

// Two drives of the test's own making: C: fixed with a label, Z: on the network.
class TwoDrives : public DriveCatalog {
public:
    std::uint32_t LogicalDrives() override { return 1u << 2 | 1u << 25; }
    unsigned DriveType(const std::string& root) override { return root[0] == 'c' ? Fixed : Remote; }
    std::string VolumeLabel(const std::string&) override { return "Test"; }
    std::optional<std::string> NetworkName(const std::string&) override { return "\\\\server\\share"; }
};

class Host : public ui::Form {
public:
    explicit Host(ui::Component* owner) : ui::Form(owner, L"TTestHost") {
        clientWidth = 200;
        clientHeight = 100;
    }
};

struct ComboFixture {
    test::QueriesInPlace queries;
    Win32TextServices text;
    Host host{nullptr};
    TDriveComboBox& combo = host.Make<TDriveComboBox>(&host, queries, std::make_shared<TwoDrives>(), text);
    std::vector<std::string> events;
    ComboFixture() {
        combo.SetBounds(10, 10, 154, 19);
        combo.SetTextCase(TTextCase::tcUpperCase);
        combo.OnChange = [this](ui::Component&) { events.push_back(std::string("change:") + combo.SelectedDrive()); };
        combo.OnClick = [this](ui::Component&) { events.push_back(std::string("click:") + combo.SelectedDrive()); };
        host.Handle();
    }
    void Pick(int index) {
        SendMessageW(combo.Handle(), CB_SETCURSEL, index, 0);
        SendMessageW(host.Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo.Handle()));
    }
};

TEST(DriveComboBox, PickingRaisesClickThenChangeTwiceWithTheNewLetter) {
    ComboFixture f;
    f.combo.SetSelectedDrive('c');
    ASSERT_EQ(f.combo.SelectedDrive(), 'C');
    EXPECT_EQ(SendMessageW(f.combo.Handle(), CB_GETCURSEL, 0, 0), 0);
    f.events.clear();

    f.Pick(1);
    EXPECT_EQ(f.events, (std::vector<std::string>{"click:C", "change:Z", "change:Z"}));
    f.events.clear();
    f.Pick(1);  // the drive already chosen
    EXPECT_EQ(f.events, (std::vector<std::string>{"click:Z", "change:Z"}));

    // A letter without an item shows no item rather than another drive's.
    f.combo.SetSelectedDrive('Q');
    EXPECT_EQ(f.combo.SelectedDrive(), 'Q');
    EXPECT_EQ(SendMessageW(f.combo.Handle(), CB_GETCURSEL, 0, 0), CB_ERR);
}

TEST(DriveComboBox, TheLettersComeWithTheWindowAndTheDrivesFillThemInOneByOne) {
    test::HeldQueries queries;
    Win32TextServices text;
    Host host{nullptr};
    auto& combo = host.Make<TDriveComboBox>(&host, queries, std::make_shared<TwoDrives>(), text);
    combo.SetTextCase(TTextCase::tcUpperCase);
    combo.SetSelectedDrive('Z');
    const auto texts = [&combo] {
        std::vector<std::wstring> listed;
        for (int i = 0; i < SendMessageW(combo.Handle(), CB_GETCOUNT, 0, 0); ++i) {
            wchar_t item[64] = L"";
            SendMessageW(combo.Handle(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            listed.emplace_back(item);
        }
        return listed;
    };
    EXPECT_EQ(texts(), (std::vector<std::wstring>{L"C:", L"Z:"}));
    EXPECT_EQ(SendMessageW(combo.Handle(), CB_GETCURSEL, 0, 0), 1);
    queries.Settle();  // C: is named, then Z:, the selected one
    EXPECT_EQ(texts(), (std::vector<std::wstring>{L"C: [TEST]", L"Z: \\\\SERVER\\SHARE"}));
    EXPECT_EQ(SendMessageW(combo.Handle(), CB_GETCURSEL, 0, 0), 1);
}

TEST(DriveComboBox, ItemsShowTheKindIconOnTheItemBackgroundAndTheTextAfterIt) {
    ComboFixture f;
    wchar_t text[64] = L"";
    SendMessageW(f.combo.Handle(), CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"Z: \\\\SERVER\\SHARE");

    const int width = 154, height = f.combo.ItemHeight();
    test::Surface surface(width, height, [](int, int) { return RGB(1, 2, 3); });
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_COMBOBOX;
    item.itemID = 0;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = f.combo.Handle();
    item.hDC = surface.Dc();
    item.rcItem = {0, 0, width, height};
    SendMessageW(f.host.Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    test::Image pixels = surface.Pixels();

    const COLORREF background = GetSysColor(COLOR_WINDOW);
    const UniqueBitmap icon(
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), L"HARD", IMAGE_BITMAP, 0, 0, 0)));
    ASSERT_NE(icon, nullptr) << "the test program carries the drive icons";
    test::Surface iconPixels(16, 11, [](int, int) { return RGB(0, 0, 0); });
    {
        UniqueMemoryDc source(CreateCompatibleDC(nullptr));
        Selection selected(source.get(), icon.get());
        BitBlt(iconPixels.Dc(), 0, 0, 16, 11, source.get(), 0, 0, SRCCOPY);
    }
    test::Image iconImage = iconPixels.Pixels();
    const COLORREF key = iconImage.At(0, 10);
    const int top = (height - 11) / 2;
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 16; ++x) {
            COLORREF want = iconImage.At(x, y) == key ? background : iconImage.At(x, y);
            ASSERT_EQ(pixels.At(2 + x, top + y), want) << x << "," << y;
        }
    // The text starts at the icon's width plus 6 (22): between the icon and it only the background.
    for (int y = 0; y < height; ++y)
        for (int x = 18; x < 22; ++x) ASSERT_EQ(pixels.At(x, y), background) << x << "," << y;
    bool textDrawn = false;
    for (int y = 0; y < height; ++y)
        for (int x = 22; x < 60; ++x) textDrawn |= pixels.At(x, y) != background;
    EXPECT_TRUE(textDrawn);
}

// C: of 80,015,491,072 bytes with 35,000,000,000 free; every other drive fails its queries.
class OneDisk : public DiskSpace {
public:
    std::int64_t QueryDiskSize(int drive) override { return drive == 3 ? 80'015'491'072 : -1; }
    std::int64_t QueryDiskFree(int drive) override { return drive == 3 ? 35'000'000'000 : -1; }
};

// A main window with the real files and drive list and a disk of the test's own, created
// in a scratch folder of its own and with a settings file that holds the given text (none
// when empty).
struct MainWindowFixture {
    Win32TextServices text;
    Win32FileStore files;
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path folder;
    std::string ini = SettingsFilePath(files, text);
    explicit MainWindowFixture(const char* name, const std::string& settings = "") {
        folder = previous / name;
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
        std::filesystem::remove(ini);
        if (!settings.empty()) std::ofstream(ini, std::ios::binary) << settings;
    }
    ~MainWindowFixture() {
        std::filesystem::remove(ini);
        std::filesystem::current_path(previous);
    }
    Services services() {
        return Services{files, text, std::make_shared<OneDisk>(), std::make_shared<Win32DriveCatalog>(), '.'};
    }
};

// The main window's own drawing (skin, veil, buttons) as the paint leaves it.
test::Image PaintedWindow(TForm1& form) {
    test::Surface surface(170, 140, [](int, int) { return RGB(1, 2, 3); });
    SendMessageW(form.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.Dc()), PRF_CLIENT);
    return surface.Pixels();
}

// Runs the message loop until the readout shows these size and free texts: its queries are
// answered on other threads.
bool Shows(TForm1& form, const wchar_t* size, const wchar_t* free) {
    return test::PumpUntil([&] { return form.LabelSizeV->Caption() == size && form.LabelFreeV->Caption() == free; });
}

TEST(MainWindow, RefreshShowsTheSelectedDrivesSpace) {
    MainWindowFixture f("refresh");
    TForm1 form(nullptr, f.services());
    form.FinishCreation();
    struct Case {
        char letter;
        const wchar_t *size, *free, *used;
        int barMax, barPosition;
    };
    // 80,015,491,072 bytes are 74.52 GB, 76,308 whole MB; the 45,015,491,072 used are 42,930 MB
    // and 56.3 %. A failing drive keeps the bar as it was.
    const Case cases[] = {{'C', L"74.52 GB", L"32.60 GB", L"56.3 %", 76'308, 42'930},
                          {'Z', L" - ", L" - ", L" - %", 76'308, 0}};
    const ui::FontSpec valueFont{L"Tahoma", 13};
    const UniqueFont valueFontHandle = valueFont.Create(ui::kDesignDpi);
    for (const Case& c : cases) {
        form.DriveComboBox1->SetSelectedDrive(c.letter);
        form.DriveCount();
        ASSERT_TRUE(Shows(form, c.size, c.free)) << c.letter;
        // The value is as wide as its text and keeps its right edge, 133 + 13.
        test::Surface surface(1, 1, [](int, int) { return RGB(0, 0, 0); });
        const Selection font(surface.Dc(), valueFontHandle.get());
        SIZE text{};
        GetTextExtentPoint32W(surface.Dc(), c.size, static_cast<int>(wcslen(c.size)), &text);
        const RECT bounds = form.LabelSizeV->BoundsRect();
        EXPECT_EQ(bounds.right - bounds.left, text.cx) << c.letter;
        EXPECT_EQ(bounds.right, 146) << c.letter;
        EXPECT_EQ(form.LabelUsedPercent->Caption(), c.used);
        EXPECT_EQ(form.ProgressBar1->Max(), c.barMax);
        EXPECT_EQ(form.ProgressBar1->Position(), c.barPosition);
        EXPECT_EQ(SendMessageW(form.ProgressBar1->Handle(), PBM_GETPOS, 0, 0), c.barPosition);
    }
    EXPECT_TRUE(std::filesystem::is_directory("skin")) << "the skin folder is made in the current directory";
}

TEST(MainWindow, MinimisedTitleFollowsTheFreeSpaceAndRestoreBringsTheCaptionBack) {
    MainWindowFixture f("title");
    TForm1 form(nullptr, f.services());
    form.FinishCreation();
    form.DriveComboBox1->SetSelectedDrive('C');
    ui::App().SetTitle(L"Brimview");
    ui::App().Minimize();  // the answer for C: brings the title along
    EXPECT_TRUE(test::PumpUntil([] { return ui::App().Title() == L"32.60 GB Free"; }));
    form.DriveComboBox1->SetSelectedDrive('Z');  // not ready: the label's " - "
    form.Timer1Timer(form);
    EXPECT_EQ(ui::App().Title(), L" -  Free");
    ui::App().Restore();
    test::PumpMessages();
    EXPECT_EQ(ui::App().Title(), L"Brimview");
}

TEST(MainWindow, TakesTheStoredOpacitysLowEightBits) {
    MainWindowFixture f("opacity", "[Display]\r\nTransparent_Position=300\r\n");
    TForm1 form(nullptr, f.services());
    form.FinishCreation();
    EXPECT_EQ(form.AlphaBlendValue(), 44);
}

TEST(MainWindow, AWindowThatGoesLeavesNothingBoundToTheApplication) {
    MainWindowFixture f("unbound");
    {
        TForm1 form(nullptr, f.services());
        form.FinishCreation();
        EXPECT_TRUE(ui::App().OnMinimize && ui::App().OnRestore && ui::App().OnWake);
    }
    EXPECT_FALSE(ui::App().OnMinimize || ui::App().OnRestore || ui::App().OnWake);
}

BOOL CALLBACK AddTooltipOf(HWND window, LPARAM found) {
    auto& [owner, tooltips] = *reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(found);
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    if (GetWindow(window, GW_OWNER) == owner && std::wstring(name) == TOOLTIPS_CLASSW) tooltips.push_back(window);
    return TRUE;
}

std::vector<HWND> TooltipsOf(HWND owner) {
    std::pair<HWND, std::vector<HWND>> found{owner, {}};
    EnumThreadWindows(GetCurrentThreadId(), AddTooltipOf, reinterpret_cast<LPARAM>(&found));
    return found.second;
}

TEST(MainWindow, TheButtonsHintsComeInOneTooltipWindowMadeWhenTheMouseFirstComes) {
    MainWindowFixture f("hints");
    TForm1 form(nullptr, f.services());
    form.FinishCreation();
    EXPECT_TRUE(TooltipsOf(form.Handle()).empty());
    for (int move = 0; move < 2; ++move) SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    const std::vector<HWND> tooltips = TooltipsOf(form.Handle());
    ASSERT_EQ(tooltips.size(), 1u);
    EXPECT_EQ(SendMessageW(tooltips[0], TTM_GETTOOLCOUNT, 0, 0), 2);
}

TEST(MainWindow, ASkinFolderThatCannotBeMadeIsReportedAndTheRestOfStartUpSkipped) {
    MainWindowFixture f("noskin");
    { std::ofstream("skin") << "a file where the folder should be"; }
    test::MessageBoxWatcher watcher;
    TForm1 form(nullptr, f.services());
    ui::App().SetTitle(L"Brimview");
    form.FinishCreation();
    auto seen = watcher.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], L"Brimview|skinフォルダを作成できません。");
    EXPECT_FALSE(form.DoubleBuffered()) << "the steps after the failing one are skipped";
    EXPECT_FALSE(ui::App().OnMinimize);
}

// Every drive holds 80,015,491,072 bytes with 35,000,000,000 free; the size queries of each
// drive by number, that is its refreshes that went out, are counted.
struct CountedDisks : DiskSpace {
    std::int64_t QueryDiskSize(int drive) override {
        ++asked.at(static_cast<std::size_t>(drive));
        return 80'015'491'072;
    }
    std::int64_t QueryDiskFree(int) override { return 35'000'000'000; }
    std::array<std::atomic<int>, 256> asked{};
};

// The main window with the change events that reach its handler counted.
class CountingForm : public TForm1 {
public:
    using TForm1::TForm1;
    int changes = 0;

protected:
    void Loaded() override {
        TForm1::Loaded();
        DriveComboBox1->OnChange = [this, handler = DriveComboBox1->OnChange](ui::Component& sender) {
            ++changes;
            handler(sender);
        };
    }
};

// Runs the message loop for a while: long enough for a query that went out to answer.
void PumpAWhile() {
    const ULONGLONG end = GetTickCount64() + 500;
    while (GetTickCount64() < end) {
        test::PumpMessages();
        Sleep(10);
    }
}

TEST(MainWindow, StartUpRefreshesOnceAndAgainOnlyForAnotherStoredDrive) {
    const char current = static_cast<char>(std::toupper(std::filesystem::current_path().string().at(0)));
    const char other = current == 'C' ? 'Z' : 'C';
    struct Case {
        const char* name;
        char stored;
        bool skinFolder;
        int changes;
        int askedCurrent, askedOther;  // once start-up is over, before the first tick
    };
    const Case cases[] = {
        {"the current drive stored", current, true, 0, 1, 0},
        {"another drive stored", other, true, 1, 0, 1},
        // Start-up ends before its refresh: " - " until the first tick.
        {"no skin folder", current, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MainWindowFixture f("startup",
                            std::string("[Window]\r\nDrive=") + c.stored + "\r\n[General]\r\nInterval=0\r\n");
        if (!c.skinFolder) std::ofstream("skin") << "a file where the folder should be";
        test::MessageBoxWatcher watcher;
        auto disks = std::make_shared<CountedDisks>();
        Services services = f.services();
        services.disks = disks;
        CountingForm form(nullptr, services);
        form.FinishCreation();
        EXPECT_EQ(form.changes, c.changes);
        if (c.skinFolder) {
            EXPECT_TRUE(Shows(form, L"74.52 GB", L"32.60 GB"));
        } else {
            PumpAWhile();
            EXPECT_EQ(form.LabelSizeV->Caption(), L" - ");
        }
        EXPECT_EQ(disks->asked[DriveNumber(current)], c.askedCurrent);
        EXPECT_EQ(disks->asked[DriveNumber(other)], c.askedOther);
        form.Timer1Timer(form);
        EXPECT_TRUE(Shows(form, L"74.52 GB", L"32.60 GB")) << "the first tick";
    }
}

// A 2 x 2 24-bit bitmap file, rows given from the top.
void WriteBitmap(const char* path, const COLORREF (&pixels)[2][2]) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    const DWORD stride = 8;  // two pixels of three bytes, padded to four-byte rows
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + 2 * stride;
    info.biSize = sizeof info;
    info.biWidth = 2;
    info.biHeight = 2;  // bottom-up
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file)
        .write(reinterpret_cast<const char*>(&info), sizeof info);
    for (int y = 1; y >= 0; --y) {
        unsigned char row[stride] = {};
        for (int x = 0; x < 2; ++x) {
            row[x * 3] = GetBValue(pixels[y][x]);
            row[x * 3 + 1] = GetGValue(pixels[y][x]);
            row[x * 3 + 2] = GetRValue(pixels[y][x]);
        }
        out.write(reinterpret_cast<const char*>(row), stride);
    }
}

TEST(MainWindow, PaintTilesTheSkinOrLeavesTheButtonFace) {
    for (bool skin : {true, false}) {
        MainWindowFixture f("paint", skin ? "" : "[Display]\r\nSkin=0\r\n");
        std::filesystem::create_directories("skin");
        const COLORREF tile[2][2] = {{RGB(0, 0, 255), RGB(255, 255, 0)}, {RGB(0, 0, 0), RGB(255, 0, 0)}};
        WriteBitmap("skin\\bg.bmp", tile);
        TForm1 form(nullptr, f.services());
        form.FinishCreation();
        test::Image pixels = PaintedWindow(form);
        SCOPED_TRACE(skin ? "skin on" : "skin off");
        // Outside the veil and the buttons the client area is the skin, tiled from the corner, or the face.
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) ASSERT_EQ(pixels.At(x, y), skin ? tile[y % 2][x % 2] : face) << x << "," << y;
    }
}

// A step before a paint of the main window, and the error boxes the paint brings.
struct PaintStep {
    const char* what;
    std::function<void()> before;
    std::vector<std::wstring> reports;  // message texts, in order
};

void RunPaintSteps(TForm1& form, test::MessageBoxWatcher& watcher, const std::vector<PaintStep>& steps) {
    std::size_t seen = 0;
    for (const PaintStep& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.before) step.before();
        PaintedWindow(form);
        test::PumpMessages();  // the whole window painted again after a failure
        const auto boxes = watcher.Seen();
        std::vector<std::wstring> reports;
        for (std::size_t i = seen; i < boxes.size(); ++i) reports.push_back(boxes[i]);
        seen = boxes.size();
        EXPECT_EQ(reports, step.reports);
    }
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(MainWindow, ABrokenSkinIsReportedOnceAndAgainAfterTheSkinWasSwitchedOffAndOn) {
    const std::string on = "[Display]\r\nSkin=1\r\nSkin_File=bad.bmp\r\n";
    MainWindowFixture f("brokenskin", on);
    std::filesystem::create_directories("skin");
    WriteFile("skin\\bad.bmp", "not a picture");
    test::MessageBoxWatcher watcher;
    TForm1 form(nullptr, f.services());
    ui::App().SetTitle(L"Brimview");
    form.FinishCreation();
    const std::wstring report = L"Brimview|ビットマップイメージが不正です.";
    RunPaintSteps(form, watcher,
                  {{"first paint", nullptr, {report}},
                   {"again", nullptr, {}},
                   {"switched off", [&] { WriteFile(f.ini, "[Display]\r\nSkin=0\r\nSkin_File=bad.bmp\r\n"); }, {}},
                   {"switched on again", [&] { WriteFile(f.ini, on); }, {report}},
                   {"and again", nullptr, {}}});
}

TEST(MainWindow, ASettingsFileHeldByAnotherIsReportedOnceAndThePaintGoesOnWithWhatItHas) {
    MainWindowFixture f("heldsettings", "[Display]\r\nSkin=1\r\n");
    std::filesystem::create_directories("skin");
    const COLORREF tile[2][2] = {{RGB(0, 0, 255), RGB(255, 255, 0)}, {RGB(0, 0, 0), RGB(255, 0, 0)}};
    WriteBitmap("skin\\bg.bmp", tile);
    test::MessageBoxWatcher watcher;
    TForm1 form(nullptr, f.services());
    ui::App().SetTitle(L"Brimview");
    form.FinishCreation();
    HANDLE held = INVALID_HANDLE_VALUE;
    const auto hold = [&] {
        held = CreateFileA(f.ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
    };
    const auto release = [&] { CloseHandle(std::exchange(held, INVALID_HANDLE_VALUE)); };
    const std::wstring report = L"Brimview|ファイル " + ui::AnsiToWide(f.ini) + L" は開けません.";
    RunPaintSteps(form, watcher,
                  {{"held", hold, {report}},
                   {"still held", nullptr, {}},
                   {"still held", nullptr, {}},
                   {"released", release, {}},
                   {"held again", hold, {report}}});
    // The paint that passes over the failure draws the skin it last read.
    EXPECT_EQ(PaintedWindow(form).At(0, 0), tile[0][0]);
    EXPECT_EQ(watcher.Seen().size(), 2u);
    release();
}

}  // namespace
}  // namespace brimview
