#include "app/DriveMonitor.h"

#include <chrono>

#include "drawing/Skin.h"
#include "platform/AppError.h"
#include "platform/LeanThreads.h"
#include "settings/SettingsPath.h"
#include "settings/WindowSettings.h"
#include "ui/Application.h"
#include "ui/Text.h"

namespace brimview {
namespace {

const ui::FontSpec kTahoma12{L"Tahoma", 12};
const ui::FontSpec kTahoma13{L"Tahoma", 13};

// The colour of a free space at or below the warning's threshold.
constexpr COLORREF kWarningRed = RGB(255, 0, 0);

// The readout panel and its veil, the two buttons below them and the client area's height;
// the forecast's line makes them taller or moves them down by its height.
constexpr ui::Bounds kPanel{9, 36, 154, 86};
constexpr int kButtonsTop = 122;
constexpr int kClientHeight = 140;
constexpr int kForecastLine = 18;

// Now, in seconds since 1970 (UTC).
std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Whether another program's window is the one the user works in.
bool InBackground() {
    DWORD process = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &process);
    return process != GetCurrentProcessId();
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& r = info.rcWork;
        reinterpret_cast<std::vector<Rect>*>(areas)->push_back({r.left, r.top, r.right, r.bottom});
    }
    return TRUE;
}

}  // namespace

// The window as the settings sequences and the options dialog see it.
class TForm1::SettingsView final : public SettingsWindow, public OptionsWindow {
public:
    explicit SettingsView(TForm1& form) : form_(form) {}
    WindowSettings Current() const override {
        return {{form_.Left(), form_.Top()}, form_.DriveComboBox1->SelectedDrive(), form_.Options()};
    }
    void Apply(const WindowSettings& settings) override {
        if (settings.options.minimized) form_.windowState = ui::WindowState::Minimized;
        form_.SetBounds(settings.position.left, settings.position.top, form_.Width(), form_.Height());
        form_.DriveComboBox1->SetSelectedDrive(settings.drive);
        form_.ApplyOptions(settings.options);
    }
    void DisableTimer() override { form_.Timer1->SetEnabled(false); }
    int Width() const override { return form_.Width(); }
    int Height() const override { return form_.Height(); }
    std::vector<Rect> WorkAreas() const override {
        std::vector<Rect> areas;
        EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
        return areas;
    }
    WindowOptions Options() const override { return form_.Options(); }
    void Apply(const WindowOptions& options) override {
        form_.ApplyOptions(options);
        form_.Invalidate();
        form_.TransPanel1->Invalidate();
    }

private:
    TForm1& form_;
};

TForm1::TForm1(ui::Component* owner, Services services)
    : ui::Form(owner, L"TForm1"),
      services_(services),
      settings_(std::make_unique<SettingsView>(*this)),
      queries_([&app = App()] { app.Wake(); }, StartLeanThread),
      wake_(App().OnWake.Subscribe([this](ui::Component&) {
          queries_.RunAnswers([this](const std::exception& e) { App().ShowException(e); });
      })),
      refresher_(queries_, services.disks, services.decimalSeparator,
                 [this](const Readout& readout) { ShowReadout(readout); }) {
    using namespace std::placeholders;
    caption = L"Brimview";
    clientWidth = 170;
    clientHeight = kClientHeight;
    minimizeBox = true;
    SetFont(ui::FontSpec{});

    AlphaShape1 = &Make<TAlphaShape>(this);
    AlphaShape1->SetBounds(kPanel.left, kPanel.top, kPanel.width, kPanel.height);
    AlphaShape1->pen = {RGB(255, 255, 255), PS_NULL, 0};
    AlphaShape1->SetAlpha(175);

    AlphaSpeedButton2 = &Make<TAlphaSpeedButton>(this, std::wstring(L"GLYPH_HELP"));
    AlphaSpeedButton2->SetBounds(142, kButtonsTop, 18, 18);
    AlphaSpeedButton2->hint = L"ヘルプ";
    AlphaSpeedButton2->SetAlpha(175);
    AlphaSpeedButton2->OnClick = std::bind(&TForm1::AlphaSpeedButton2Click, this, _1);

    AlphaSpeedButton1 = &Make<TAlphaSpeedButton>(this, std::wstring(L"GLYPH_SETTINGS"));
    AlphaSpeedButton1->SetBounds(123, kButtonsTop, 18, 18);
    AlphaSpeedButton1->hint = L"設定";
    AlphaSpeedButton1->SetAlpha(175);
    AlphaSpeedButton1->OnClick = std::bind(&TForm1::AlphaSpeedButton1Click, this, _1);

    DriveComboBox1 = &Make<TDriveComboBox>(this, queries_, services.drives, services.text);
    DriveComboBox1->SetBounds(9, 8, 154, 19);
    DriveComboBox1->SetFont(ui::FontSpec{L"ＭＳ Ｐゴシック", 13});
    DriveComboBox1->SetTextCase(TTextCase::tcUpperCase);
    DriveComboBox1->tabOrder = 0;

    TransPanel1 = &Make<TTransPanel>(this);
    TransPanel1->SetBounds(kPanel.left, kPanel.top, kPanel.width, kPanel.height);
    TransPanel1->SetColor(RGB(255, 255, 255));
    TransPanel1->SetBevelInner(TBevelCut::bvLowered);
    TransPanel1->SetBevelOuter(TBevelCut::bvNone);
    TransPanel1->tabOrder = 1;

    auto& panel = *TransPanel1;
    LabelUsedPercent = &Make<ui::Label>(&panel, ui::Bounds{121, 64, 25, 16}, L" - %", kTahoma13, ui::Alignment::Right);
    LabelUsed = &Make<ui::Label>(&panel, ui::Bounds{8, 66, 31, 14}, L"Used:", kTahoma12);
    LabelSizeV = &Make<ui::Label>(&panel, ui::Bounds{133, 4, 13, 16}, L" - ", kTahoma13, ui::Alignment::Right);
    LabelSize = &Make<ui::Label>(&panel, ui::Bounds{8, 6, 25, 14}, L"Size:", kTahoma12);
    LabelFreeV = &Make<ui::Label>(&panel, ui::Bounds{133, 22, 13, 16}, L" - ", kTahoma13, ui::Alignment::Right);
    LabelFree = &Make<ui::Label>(&panel, ui::Bounds{8, 24, 28, 14}, L"Free:", kTahoma12);
    ProgressBar1 = &Make<ui::ProgressBar>(&panel);
    ProgressBar1->SetBounds(8, 50, 138, 10);
    LabelFull = &Make<ui::Label>(&panel, ui::Bounds{8, 84, 50, 14}, L"満杯まで:", kTahoma12);
    LabelFullV = &Make<ui::Label>(&panel, ui::Bounds{133, 82, 13, 16}, L"-", kTahoma13, ui::Alignment::Right);
    LabelFull->SetVisible(false);
    LabelFullV->SetVisible(false);

    Timer1 = &Make<ui::Timer>();
    Timer1->SetInterval(3000);
    Timer1->SetOnTimer(std::bind(&TForm1::Timer1Timer, this, _1));

    PopupMenu1 = &Make<ui::PopupMenu>(std::vector<ui::PopupMenu::Item>{
        {L"設定(&O)...", std::bind(&TForm1::Options1Click, this, _1)},
        {L"-", nullptr},
        {L"ヘルプ(&H)", std::bind(&TForm1::Help1Click, this, _1)},
        {L"About(&A)...", std::bind(&TForm1::About1Click, this, _1)},
        {L"終了(&X)", std::bind(&TForm1::Exit1Click, this, _1)},
    });
    popupMenu = PopupMenu1;

    HTMLHelp1 = &Make<THTMLHelp>(services.files);

    XJustOne1 = &Make<TXJustOne>();
    XJustOne1->SwitchToPrevious = true;

    OnCreate = std::bind(&TForm1::FormCreate, this, _1);
    OnClose = std::bind(&TForm1::FormClose, this, _1);
    OnPaint = std::bind(&TForm1::FormPaint, this, _1);
    taskbarCreated_ = App().OnTaskbarButtonCreated.Subscribe(std::bind(&TForm1::TaskbarButtonCreated, this, _1));
}

void TForm1::DriveCount() {
    refresher_.Refresh(DriveComboBox1->SelectedDrive());
}

void TForm1::ShowReadout(const Readout& readout) {
    if (readout.barMax) ProgressBar1->SetMax(*readout.barMax);
    ProgressBar1->SetPosition(readout.barPosition);
    LabelUsedPercent->SetCaption(ui::AnsiToWide(readout.usedText));
    LabelSizeV->SetCaption(ui::AnsiToWide(readout.sizeText));
    LabelFreeV->SetCaption(ui::AnsiToWide(readout.freeText));
    shownBytes_ = readout.bytes;
    ShowLowSpace();
    ShowForecast(readout);
    if (App().IsMinimized()) App().SetTitle(FreeTitle());
}

void TForm1::ShowLowSpace() {
    const LowSpaceVerdict verdict = lowSpace_.Check(options_.alert, DriveComboBox1->SelectedDrive(), shownBytes_);
    ProgressBar1->SetState(verdict.low ? PBST_ERROR : PBST_NORMAL);
    LabelFreeV->SetColor(verdict.low ? kWarningRed : CLR_INVALID);
    if (verdict.crossed && (App().IsMinimized() || InBackground())) {
        // Until the user brings the window up.
        FLASHWINFO flash{sizeof flash, App().Handle(), FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
        FlashWindowEx(&flash);
    }
    lowShown_ = verdict.low;
    ShowTaskbarProgress();
}

void TForm1::SetForecast(bool on) {
    on = on && services_.history;
    if (on == (history_ != nullptr)) return;
    refresher_.SetVolumeSerial(on);
    fullIn_.reset();
    trend_.reset();
    LabelFullV->SetCaption(ForecastText(fullIn_));
    ShowForecastLine(on);
    if (!on) {
        history_.reset();
        return;
    }
    history_ = std::make_unique<HistoryLog>(queries_, services_.history, [this] {
        throw AppError(FormatMessage1("満杯までの予測の履歴ファイル %s に書き込めません", services_.history->Path()));
    });
    history_->Open(Now());
}

// The forecast's line under "Used:": the panel and its veil grow by it, and the two buttons
// and the window's bottom edge move down with it.
void TForm1::ShowForecastLine(bool on) {
    const int line = on ? kForecastLine : 0;
    LabelFull->SetVisible(on);
    LabelFullV->SetVisible(on);
    AlphaShape1->SetBounds(kPanel.left, kPanel.top, kPanel.width, kPanel.height + line);
    TransPanel1->SetBounds(kPanel.left, kPanel.top, kPanel.width, kPanel.height + line);
    AlphaSpeedButton2->SetBounds(142, kButtonsTop + line, 18, 18);
    AlphaSpeedButton1->SetBounds(123, kButtonsTop + line, 18, 18);
    clientHeight = kClientHeight + line;
    if (!HandleAllocated()) return;
    RECT client;
    GetClientRect(Handle(), &client);
    SetBounds(Left(), Top(), Width(), Height() + Scale(clientHeight) - client.bottom);
    Invalidate();
}

void TForm1::ShowForecast(const Readout& readout) {
    if (!history_) return;
    fullIn_.reset();
    if (readout.bytes && readout.serial) {
        const Sample latest{Now(), DriveComboBox1->SelectedDrive(), *readout.serial, readout.bytes->size,
                            readout.bytes->free};
        history_->Record(latest);
        fullIn_ = SecondsToFull(TrendOf(latest), latest);
    }
    LabelFullV->SetCaption(ForecastText(fullIn_));
}

std::optional<Trend> TForm1::TrendOf(const Sample& latest) {
    const std::vector<Sample>& rows = history_->Rows();
    if (!trend_ || trend_->rows != rows.size() || trend_->drive != latest.drive || trend_->serial != latest.serial ||
        trend_->total != latest.total)
        trend_ = TrendFor{rows.size(), latest.drive, latest.serial, latest.total,
                          FindTrend(rows, latest.drive, latest.serial, latest.total)};
    return trend_->trend;
}

void TForm1::SetTaskbarProgress(bool on) {
    if (on == taskbarProgress_) return;
    taskbarProgress_ = on;
    if (taskbar_) taskbar_->SetState(TaskbarProgress::State::None);
    taskbar_ = on && services_.taskbarProgress ? services_.taskbarProgress(App().Handle()) : nullptr;
    ShowTaskbarProgress();
}

void TForm1::ShowTaskbarProgress() {
    if (taskbar_) ShowGauge(*taskbar_, shownBytes_, lowShown_);
}

void TForm1::TaskbarButtonCreated(ui::Component&) {
    if (!taskbarProgress_ || !services_.taskbarProgress) return;
    taskbar_ = services_.taskbarProgress(App().Handle());
    ShowTaskbarProgress();
}

TForm1::~TForm1() = default;

// The selector's change event is bound once its window and list exist, as a stored layout
// binds it after the properties that make them: the start-up's first refresh is then the one
// its settings sequence asks for, and a start-up that fails before that leaves " - " shown.
void TForm1::Loaded() {
    using namespace std::placeholders;
    ui::Form::Loaded();
    DriveComboBox1->OnChange = std::bind(&TForm1::DriveComboBox1Change, this, _1);
}

OptionsWindow& TForm1::Settings() {
    return *settings_;
}

WindowOptions TForm1::Options() const {
    return options_;
}

void TForm1::ApplyOptions(const WindowOptions& options) {
    // A negative period never comes round: it stops the timer like 0.
    Timer1->SetInterval(options.timerInterval > 0 ? static_cast<unsigned>(options.timerInterval) : 0);
    SetTopmostStyle(options.stayOnTop);
    SetAlphaBlend(options.alphaBlend);
    // The opacity is a byte: a wider stored value keeps its low 8 bits.
    SetAlphaBlendValue(static_cast<std::uint8_t>(options.alphaBlendValue));
    TransPanel1->SetTransparent(options.panelTransparent);
    SkinEnabled = options.skinEnabled;
    SkinFile = options.skinFile;
    options_ = options;
    ShowLowSpace();
    SetForecast(options.forecastEnabled);
    SetTaskbarProgress(options.taskbarProgress);
}

std::wstring TForm1::FreeTitle() const {
    const std::wstring free = LabelFreeV->Caption() + L" Free";
    return fullIn_ ? free + L" (" + ForecastText(fullIn_) + L")" : free;
}

void TForm1::AppMinimize(ui::Component&) {
    App().SetTitle(FreeTitle());
}

void TForm1::AppRestore(ui::Component&) {
    App().SetTitle(caption);
}

void TForm1::Timer1Timer(ui::Component&) {
    // The answer brings the minimised title along.
    DriveCount();
}

void TForm1::FormCreate(ui::Component&) {
    using namespace std::placeholders;
    // A copy that gives way ends without showing anything: the settings file is the running
    // copy's, and copies started together would collide over it, each reporting the other.
    if (XJustOne1->GaveWay()) return;
    ReadStartupSettings(services_.files, services_.text, *settings_);
    DWORD skin = GetFileAttributesA("skin");
    bool skinFolder = skin != INVALID_FILE_ATTRIBUTES && (skin & FILE_ATTRIBUTE_DIRECTORY);
    if (!skinFolder && !CreateDirectoryA("skin", nullptr)) throw AppError("skinフォルダを作成できません。");
    DriveCount();
    SetDoubleBuffered(true);
    minimize_ = App().OnMinimize.Subscribe(std::bind(&TForm1::AppMinimize, this, _1));
    restore_ = App().OnRestore.Subscribe(std::bind(&TForm1::AppRestore, this, _1));
}

void TForm1::DriveComboBox1Change(ui::Component&) {
    DriveCount();
}

namespace {

// Runs one step of a paint whose failure is reported once: the same failure (path and
// message) again is passed over, so that error boxes do not follow one another while it
// lasts, and the step's next success forgets it.
template <class Step>
void ReportOnce(std::string& reported, const std::string& path, Step step) {
    try {
        step();
        reported.clear();
    } catch (const AppError& e) {
        std::string failure = path + '\n' + e.what();
        if (failure == reported) return;
        reported = std::move(failure);
        throw;
    }
}

}  // namespace

// The options dialog hands the skin and the stay-on-top choice to the window only through
// the settings file, and another copy of the program or the user may change the file
// meanwhile: every paint reads them again before it draws.
void TForm1::ReloadPaintSettings() {
    WindowOptions settings = ReadPaintSettings(services_.files, services_.text);
    StayOnTop = settings.stayOnTop;
    SkinEnabled = settings.skinEnabled;
    SkinFile = std::move(settings.skinFile);
}

// A settings file or skin that cannot be read is reported once; meanwhile the window is
// painted with the values it has (those last read) and without the skin.
void TForm1::FormPaint(ui::Component&) {
    ReportOnce(settingsFailure_, SettingsFilePath(services_.files), [this] { ReloadPaintSettings(); });
    // Asked at every paint, also when the state is already so: a window that stays on top
    // rises again above the other topmost windows.
    SetWindowPos(Handle(), StayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    if (!SkinEnabled) {
        skinFailure_.clear();  // a broken skin switched off and on again is reported again
        return;
    }
    RECT client;
    GetClientRect(Handle(), &client);
    const std::string path = SkinPath(SkinFile);
    ReportOnce(skinFailure_, path, [&] { skin_.Paint(Canvas(), client, path, services_.text); });
}

void TForm1::FormClose(ui::Component&) {
    SaveClosingSettings(services_.files, services_.text, *settings_);
}

void TForm1::Exit1Click(ui::Component&) {
    Close();
}

void TForm1::About1Click(ui::Component&) {
    if (AboutBox) AboutBox->ShowModal();
}

void TForm1::Options1Click(ui::Component&) {
    if (PagesDlg) PagesDlg->ShowModal();
}

void TForm1::Help1Click(ui::Component&) {
    App().RequestHelp(HELP_CONTEXT, 2);
}

void TForm1::AlphaSpeedButton2Click(ui::Component&) {
    App().RequestHelp(HELP_CONTEXT, 2);
}

void TForm1::AlphaSpeedButton1Click(ui::Component&) {
    Options1Click(*this);
}

}  // namespace brimview
