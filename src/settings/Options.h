#pragma once
// The options dialog: every user setting on two tab pages, filled from the settings
// file each time it is shown, written back and applied to the main window on OK.
#include <utility>
#include <vector>

#include "platform/Services.h"
#include "platform/RunList.h"
#include "settings/FileComboTF.h"
#include "settings/OptionsLogic.h"
#include "ui/DialogCtrls.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

namespace brimview {

class TPagesDlg : public ui::Form {
public:
    // mainWindow is the window that OK applies the settings to; runList is the user's list
    // of programs started at sign-in.
    TPagesDlg(ui::Component* owner, OptionsWindow& mainWindow, const Services& services, RunList& runList);

    ui::Panel* Panel1;
    ui::PageControl* PageControl1;
    ui::GroupBox* GroupBox1;
    ui::SpinEdit* SpinEdit1;
    ui::RadioButton* RadioButton1;
    ui::RadioButton* RadioButton2;
    ui::SystemControl* Label1;
    ui::GroupBox* GroupBox4;
    ui::CheckBox* CheckBox6;
    ui::SpinEdit* SpinEdit2;
    ui::Panel* UnitPanel;
    ui::RadioButton* RadioButton3;
    ui::RadioButton* RadioButton4;
    ui::RadioButton* RadioButton5;
    ui::CheckBox* CheckBox7;
    ui::GroupBox* GroupBox2;
    ui::CheckBox* CheckBox5;
    ui::CheckBox* CheckBox1;
    ui::CheckBox* CheckBox2;
    ui::Panel* TransPanel;
    ui::SystemControl* Label2;
    ui::TrackBar* TrackBar1;
    ui::SystemControl* Label3;
    ui::GroupBox* GroupBox3;
    ui::CheckBox* CheckBox3;
    TFileComboTF* FileComboTF1;
    ui::CheckBox* CheckBox4;
    ui::Panel* Panel2;
    ui::Button* OKBtn;
    ui::Button* CancelBtn;
    ui::Button* HelpBtn;

    void FormActivate(ui::Component& sender);
    void OKBtnClick(ui::Component& sender);
    void CheckBox2Click(ui::Component& sender);
    void CheckBox3Click(ui::Component& sender);
    void CheckBox6Click(ui::Component& sender);
    void HelpBtnClick(ui::Component& sender);

    // The options the controls show, and back.
    WindowOptions State();
    void Show(WindowOptions options);

protected:
    void DialogCommand(int id) override;

private:
    // A check box that shows a flag of the options.
    ui::CheckBox& Bind(ui::CheckBox& box, const Setting<bool>& setting);

    std::vector<std::pair<ui::CheckBox*, const Setting<bool>*>> boxes_;
    OptionsWindow& mainWindow_;
    Services services_;
    RunList& runList_;
};

}  // namespace brimview
