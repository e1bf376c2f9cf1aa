#include "settings/Options.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/LayeredWindows.h"
#include "ui/Application.h"
#include "ui/Text.h"

namespace brimview {
namespace {

// Asked of the system itself rather than of its version number, which later systems
// no longer report truthfully.
bool CanDrawTranslucentWindows() {
    return LayeredWindows().setLayeredWindowAttributes != nullptr;
}

ui::SystemControl& MakeLabel(ui::Component& owner, ui::WinControl* parent, std::wstring caption) {
    return owner.Make<ui::SystemControl>(parent, WC_STATICW, SS_LEFT | SS_NOPREFIX, std::move(caption));
}

template <class T>
T& Place(T& control, int left, int top, int width, int height, int tabOrder = 0) {
    control.SetBounds(left, top, width, height);
    control.tabOrder = tabOrder;
    return control;
}

}  // namespace

TPagesDlg::TPagesDlg(ui::Component* owner, OptionsWindow& mainWindow, const Services& services, RunList& runList)
    : ui::Form(owner, L"TPagesDlg"), mainWindow_(mainWindow), services_(services), runList_(runList) {
    using namespace std::placeholders;
    caption = L"設定";
    clientWidth = 346;
    clientHeight = 314;
    border = ui::FormBorder::Dialog;
    position = ui::FormPosition::ScreenCenter;
    windowOnFirstShow = true;
    SetFont(ui::FontSpec{});

    Panel1 = &Place(Make<ui::Panel>(this), 0, 0, 346, 280);
    PageControl1 = &Place(Make<ui::PageControl>(Panel1), 5, 5, 336, 270);
    ui::Panel& general = PageControl1->AddPage(L"全般");
    ui::Panel& display = PageControl1->AddPage(L"表示");
    ui::Panel& other = PageControl1->AddPage(L"その他");

    GroupBox1 = &Place(Make<ui::GroupBox>(&general, L"更新間隔"), 8, 16, 313, 89);
    SpinEdit1 = &Place(Make<ui::SpinEdit>(GroupBox1, kIntervalCountMin, kIntervalCountMax, 3), 16, 24, 41, 21, 0);
    SpinEdit1->decimalSeparator = static_cast<wchar_t>(static_cast<unsigned char>(services.decimalSeparator));
    RadioButton1 = &Place(Make<ui::RadioButton>(GroupBox1, L"秒"), 72, 25, 33, 17, 1);
    RadioButton1->SetChecked(true);
    RadioButton2 = &Place(Make<ui::RadioButton>(GroupBox1, L"分"), 72, 49, 33, 17, 2);
    Label1 = &Place(MakeLabel(*this, GroupBox1, L"毎に更新"), 111, 27, 47, 12);

    GroupBox4 = &Place(Make<ui::GroupBox>(&general, L"空き容量の警告"), 8, 112, 313, 77, 1);
    CheckBox6 =
        &Bind(Place(Make<ui::CheckBox>(GroupBox4, L"空き容量が次の値以下になったら警告する"), 16, 20, 241, 17, 0),
              setting::Alert_Enabled);
    SpinEdit2 =
        &Place(Make<ui::SpinEdit>(GroupBox4, 0, std::numeric_limits<std::int32_t>::max(), 10), 32, 44, 65, 21, 1);
    SpinEdit2->decimalSeparator = SpinEdit1->decimalSeparator;
    UnitPanel = &Place(Make<ui::Panel>(GroupBox4), 104, 44, 150, 21, 2);
    RadioButton3 = &Place(Make<ui::RadioButton>(UnitPanel, L"%"), 0, 2, 33, 17, 0);
    RadioButton3->SetChecked(true);
    RadioButton4 = &Place(Make<ui::RadioButton>(UnitPanel, L"MB"), 40, 2, 41, 17, 1);
    RadioButton5 = &Place(Make<ui::RadioButton>(UnitPanel, L"GB"), 88, 2, 41, 17, 2);
    CheckBox7 = &Place(Make<ui::CheckBox>(&general, L"Windows の起動時に Brimview を開始する"), 16, 200, 249, 17, 2);

    GroupBox2 = &Place(Make<ui::GroupBox>(&display, L"ウィンドウ"), 8, 16, 313, 121, 0);
    CheckBox5 = &Bind(Place(Make<ui::CheckBox>(GroupBox2, L"最小化で起動"), 16, 16, 97, 17, 3), setting::Minimized);
    CheckBox1 = &Bind(Place(Make<ui::CheckBox>(GroupBox2, L"常に手前に表示"), 16, 40, 105, 17, 0), setting::On_Top);
    CheckBox2 =
        &Bind(Place(Make<ui::CheckBox>(GroupBox2, L"半透明表示 （Windows 2000/XPのみ対応）"), 16, 64, 249, 17, 1),
              setting::Transparency);
    TransPanel = &Place(Make<ui::Panel>(GroupBox2), 32, 77, 249, 41, 2);
    TransPanel->SetVisible(false);
    Label2 = &Place(MakeLabel(*this, TransPanel, L"透明"), 1, 15, 24, 12);
    TrackBar1 = &Place(Make<ui::TrackBar>(TransPanel, 1, 255, 20), 34, 10, 180, 25);
    Label3 = &Place(MakeLabel(*this, TransPanel, L"不透明"), 213, 15, 36, 12);

    GroupBox3 = &Place(Make<ui::GroupBox>(&display, L"背景画像"), 8, 140, 313, 93, 1);
    CheckBox3 = &Bind(Place(Make<ui::CheckBox>(GroupBox3, L"背景画像を使う"), 16, 20, 97, 17, 0), setting::Skin);
    CheckBox3->SetChecked(true);
    FileComboTF1 = &Place(Make<TFileComboTF>(GroupBox3), 71, 41, 170, 20, 1);
    FileComboTF1->SetItemHeight(12);
    FileComboTF1->SetDirectory("skin");
    FileComboTF1->SetMask("*.bmp");
    CheckBox4 =
        &Bind(Place(Make<ui::CheckBox>(GroupBox3, L"背景画像を透過"), 16, 69, 110, 17, 2), setting::PanelTransparent);

    // The two pages above are full.
    Bind(Place(Make<ui::CheckBox>(&other, L"満杯までの予測を表示する"), 16, 16, 249, 17, 0), setting::Forecast_Enabled);
    Bind(Place(Make<ui::CheckBox>(&other, L"タスクバーのボタンに使用率を表示する"), 16, 40, 249, 17, 1),
         setting::Taskbar_Progress);

    Panel2 = &Place(Make<ui::Panel>(this), 0, 280, 346, 34);
    OKBtn = &Place(Make<ui::Button>(Panel2, L"OK", IDOK, ui::mrOk, true), 106, 2, 75, 25, 0);
    CancelBtn = &Place(Make<ui::Button>(Panel2, L"キャンセル", IDCANCEL, ui::mrCancel, false), 186, 2, 75, 25, 1);
    HelpBtn = &Place(Make<ui::Button>(Panel2, L"ヘルプ(&H)", 100, ui::mrNone, false), 266, 2, 75, 25, 2);

    OnActivate = std::bind(&TPagesDlg::FormActivate, this, _1);
    OKBtn->OnClick = std::bind(&TPagesDlg::OKBtnClick, this, _1);
    CheckBox2->OnClick = std::bind(&TPagesDlg::CheckBox2Click, this, _1);
    CheckBox3->OnClick = std::bind(&TPagesDlg::CheckBox3Click, this, _1);
    CheckBox6->OnClick = std::bind(&TPagesDlg::CheckBox6Click, this, _1);
    HelpBtn->OnClick = std::bind(&TPagesDlg::HelpBtnClick, this, _1);
}

ui::CheckBox& TPagesDlg::Bind(ui::CheckBox& box, const Setting<bool>& setting) {
    boxes_.emplace_back(&box, &setting);
    return box;
}

WindowOptions TPagesDlg::State() {
    WindowOptions options;
    for (auto [box, setting] : boxes_) setting->field(options) = box->Checked();
    options.intervalSeconds = RadioButton1->Checked();
    options.intervalMinutes = RadioButton2->Checked();
    options.timerInterval = HoldIntervalCount(SpinEdit1->Value()) * IntervalUnit(options);
    options.alphaBlendValue = TrackBar1->Position();
    const int skin = FileComboTF1->ItemIndex();
    options.skinFile = skin >= 0 ? FileComboTF1->Items()[static_cast<std::size_t>(skin)] : std::string();
    options.alert.freeBelow = SpinEdit2->Value();
    options.alert.unit = RadioButton5->Checked()   ? LowSpaceAlert::GB
                         : RadioButton4->Checked() ? LowSpaceAlert::MB
                                                   : LowSpaceAlert::Percent;
    return options;
}

void TPagesDlg::Show(WindowOptions options) {
    for (auto [box, setting] : boxes_) box->SetChecked(setting->field(options));
    RadioButton1->SetChecked(options.intervalSeconds);
    RadioButton2->SetChecked(options.intervalMinutes);
    // Without a unit the interval is not read, and the field keeps its text as typed.
    if (options.intervalSeconds || options.intervalMinutes)
        SpinEdit1->SetValue(options.timerInterval / IntervalUnit(options));
    TrackBar1->SetPosition(options.alphaBlendValue);  // held within its range
    const std::vector<std::string>& skins = FileComboTF1->Items();
    const auto skin = std::find(skins.begin(), skins.end(), options.skinFile);
    FileComboTF1->SetItemIndex(skin == skins.end() ? -1 : static_cast<int>(skin - skins.begin()));
    SpinEdit2->SetValue(options.alert.freeBelow);
    RadioButton3->SetChecked(options.alert.unit != LowSpaceAlert::MB && options.alert.unit != LowSpaceAlert::GB);
    RadioButton4->SetChecked(options.alert.unit == LowSpaceAlert::MB);
    RadioButton5->SetChecked(options.alert.unit == LowSpaceAlert::GB);
}

void TPagesDlg::FormActivate(ui::Component&) {
    Show(FillOptions(services_.files, services_.text, State(), FileComboTF1->Items()));
    CheckBox2->SetEnabled(CanDrawTranslucentWindows());
    CheckBox2Click(*this);
    CheckBox3Click(*this);
    CheckBox6Click(*this);
    CheckBox7->SetChecked(StartsWithWindows(runList_, services_.files.ExecutablePath(), services_.text));
}

void TPagesDlg::OKBtnClick(ui::Component&) {
    const WindowOptions state = State();
    if (const std::optional<std::string> refusal = AlertRefusal(state.alert)) {
        MessageBoxW(Handle(), ui::Widen(*refusal).c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
        SetFocus(SpinEdit2->Handle());
        modalResult = ui::mrNone;  // the dialog stays open
        return;
    }
    SetStartWithWindows(runList_, CheckBox7->Checked(), services_.files.ExecutablePath(), services_.text);
    mainWindow_.Apply(ConfirmOptions(services_.files, services_.text, state, mainWindow_.Options()));
}

void TPagesDlg::CheckBox2Click(ui::Component&) {
    TransPanel->SetVisible(CheckBox2->Checked());
}

void TPagesDlg::CheckBox3Click(ui::Component&) {
    EnableWindow(FileComboTF1->Handle(), CheckBox3->Checked());
}

void TPagesDlg::CheckBox6Click(ui::Component&) {
    const bool on = CheckBox6->Checked();
    SpinEdit2->SetEnabled(on);
    for (ui::RadioButton* unit : {RadioButton3, RadioButton4, RadioButton5}) unit->SetEnabled(on);
}

void TPagesDlg::HelpBtnClick(ui::Component&) {
    ui::App().RequestHelp(HELP_CONTEXT, 16);
}

void TPagesDlg::DialogCommand(int id) {
    if (id == IDOK)
        OKBtn->Click();
    else
        ui::Form::DialogCommand(id);
}

}  // namespace brimview
