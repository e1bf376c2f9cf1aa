#pragma once
// The drive selector: an owner-drawn drop-down list of the machine's drives, each
// with the icon of its kind and its volume label or network name.
#include <array>
#include <memory>
#include <string>

#include "monitor/DriveSelector.h"
#include "platform/GdiHandles.h"
#include "ui/Controls.h"

namespace brimview {

class TDriveComboBox : public ui::WinControl {
public:
    // The drives are asked through `queries`, whose answers arrive on the window's thread.
    TDriveComboBox(ui::Component* owner, ui::WinControl* parent, QueryRunner& queries,
                   std::shared_ptr<DriveCatalog> drives, const TextServices& text);

    char SelectedDrive() const { return model_.SelectedDrive(); }
    void SetSelectedDrive(char letter);
    void SetTextCase(TTextCase textCase);
    int ItemHeight() const { return itemHeight_; }
    void SetPixelBounds(int left, int top, int width, int height) override;
    void DpiChanged() override;

    ui::NotifyEvent OnChange;
    ui::NotifyEvent OnClick;

protected:
    void CreateParamsFor(CreateParams& params) override;
    void WindowCreated() override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void FontChanged() override;

private:
    void ShowItems();
    std::wstring ItemText(int index) const;
    void ReplaceItem(int index);
    void RemoveItem(int index);
    void ShowSelection();
    void DrawItem(const DRAWITEMSTRUCT& item);
    HBITMAP IconFor(DriveKind kind) const;
    void LoadIcons();
    void MeasureItemHeight();
    int WindowHeight() const;

    DriveSelectorModel model_;
    std::array<UniqueBitmap, 5> icons_;  // by DriveKind
    int iconWidth_ = 0;                  // the icons' width at the list's dpi
    int itemHeight_ = 0;
};

}  // namespace brimview
