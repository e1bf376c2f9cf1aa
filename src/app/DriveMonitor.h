#pragma once
// The main window: the drive selector over the readout panel with the drive's size,
// free space, used share and bar, two small blended buttons and a popup menu.
#include <memory>
#include <optional>
#include <string>

#include "app/JustOne.h"
#include "drawing/AlphaBtn.h"
#include "drawing/AlphaCtl.h"
#include "drawing/Skin.h"
#include "drawing/TrPanel.h"
#include "help/HtmlHelp.h"
#include "monitor/DriveCombo.h"
#include "monitor/Forecast.h"
#include "monitor/History.h"
#include "monitor/LowSpace.h"
#include "monitor/QueryThreads.h"
#include "monitor/Readout.h"
#include "platform/Services.h"
#include "settings/OptionsLogic.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

namespace brimview {

class TForm1 : public ui::Form {
public:
    TForm1(ui::Component* owner, Services services);
    ~TForm1() override;

    ui::Label* LabelSizeV;
    ui::Label* LabelFreeV;
    ui::Timer* Timer1;
    TDriveComboBox* DriveComboBox1;
    ui::Label* LabelSize;
    ui::Label* LabelFree;
    ui::ProgressBar* ProgressBar1;
    ui::Label* LabelUsedPercent;
    ui::Label* LabelUsed;
    ui::PopupMenu* PopupMenu1;
    TTransPanel* TransPanel1;
    TAlphaShape* AlphaShape1;
    TXJustOne* XJustOne1;
    THTMLHelp* HTMLHelp1;
    TAlphaSpeedButton* AlphaSpeedButton2;
    TAlphaSpeedButton* AlphaSpeedButton1;
    // The forecast's line under "Used:", shown while the forecast is on.
    ui::Label* LabelFull;
    ui::Label* LabelFullV;

    // The dialogs the menu and the settings button show; the entry point sets them.
    ui::Form* PagesDlg = nullptr;
    ui::Form* AboutBox = nullptr;

    // Read by every paint; the start-up sequence, the paint and the options dialog set it.
    bool SkinEnabled = false;
    std::string SkinFile;
    bool StayOnTop = false;

    void DriveCount();
    void AppMinimize(ui::Component& sender);
    void AppRestore(ui::Component& sender);
    void Timer1Timer(ui::Component& sender);
    void FormCreate(ui::Component& sender);
    void DriveComboBox1Change(ui::Component& sender);
    void FormPaint(ui::Component& sender);
    void FormClose(ui::Component& sender);
    void Exit1Click(ui::Component& sender);
    void About1Click(ui::Component& sender);
    void Options1Click(ui::Component& sender);
    void Help1Click(ui::Component& sender);
    void AlphaSpeedButton2Click(ui::Component& sender);
    void AlphaSpeedButton1Click(ui::Component& sender);

    // The minimised taskbar text: the free space followed by " Free", and by the forecast
    // while there is one.
    std::wstring FreeTitle() const;

    // The window as the options dialog sees it.
    OptionsWindow& Settings();
    // The options it runs with now, and all of them changed in one go.
    WindowOptions Options() const;
    void ApplyOptions(const WindowOptions& options);

protected:
    void Loaded() override;

private:
    class SettingsView;
    void ReloadPaintSettings();
    // Puts a refresh's outcome on the labels and the bar; while minimised the taskbar text
    // follows the free space.
    void ShowReadout(const Readout& readout);
    // The low-space warning for the bytes shown last: the bar's error state and the free
    // figure in red, and a flash of the taskbar button at a crossing the user may not see.
    void ShowLowSpace();
    // The forecast: its history kept while it is on, its line shown, the serial asked for.
    void SetForecast(bool on);
    void ShowForecastLine(bool on);
    // Records the answer in the history and shows when the drive will be full.
    void ShowForecast(const Readout& readout);
    std::optional<Trend> TrendOf(const Sample& latest);
    // The taskbar button's gauge, on or off, and what it shows.
    void SetTaskbarProgress(bool on);
    void ShowTaskbarProgress();
    void TaskbarButtonCreated(ui::Component& sender);

    Services services_;
    std::unique_ptr<SettingsView> settings_;
    QueryThreads queries_;
    ui::Subscription wake_;  // the queries' answers run when the application is woken
    ReadoutRefresher refresher_;
    SkinPattern skin_;
    WindowOptions options_;  // as the start-up or the options dialog applied them last
    LowSpaceWatch lowSpace_;
    std::optional<DriveBytes> shownBytes_;
    std::string settingsFailure_;  // the path and message of the paint's failures last reported
    std::string skinFailure_;
    ui::Subscription minimize_;  // bound at start-up, unbound when the window goes
    ui::Subscription restore_;

    std::unique_ptr<HistoryLog> history_;  // while the forecast is on
    struct TrendFor {
        std::size_t rows;
        char drive;
        std::uint32_t serial;
        std::int64_t total;
        std::optional<Trend> trend;
    };
    std::optional<TrendFor> trend_;  // worked out again only when the rows or the volume change
    std::optional<double> fullIn_;   // seconds, as shown
    bool lowShown_ = false;
    bool taskbarProgress_ = false;
    std::unique_ptr<TaskbarProgress> taskbar_;  // while on, when the shell has one
    ui::Subscription taskbarCreated_;
};

}  // namespace brimview
