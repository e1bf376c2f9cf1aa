#pragma once
// The controls of the program's dialogs: push buttons, check boxes, radio buttons,
// group boxes, plain panels, tab pages, a track bar, a spin edit and an image.
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/SpinRules.h"

namespace brimview::ui {

// A control of a system window class whose caption is its text.
class SystemControl : public WinControl {
public:
    SystemControl(Component* owner, WinControl* parent, const wchar_t* className, DWORD style, std::wstring caption);
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }

protected:
    void CreateParamsFor(CreateParams& params) override;

    const wchar_t* className_;
    DWORD style_;
    std::wstring caption_;
    bool enabled_ = true;
};

class Button : public SystemControl {
public:
    // id: IDOK or IDCANCEL for the buttons Enter and Esc press, otherwise any other.
    Button(Component* owner, WinControl* parent, std::wstring caption, int id, int modalResult, bool isDefault);
    NotifyEvent OnClick;
    void Click();
    // Enter presses the button that has the focus, whichever is the default.
    bool DialogKey(const MSG& msg) override;

protected:
    void CreateParamsFor(CreateParams& params) override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    int id_;
    int modalResult_;
};

class CheckBox : public SystemControl {
public:
    CheckBox(Component* owner, WinControl* parent, std::wstring caption);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    NotifyEvent OnClick;

protected:
    void WindowCreated() override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool checked_ = false;
};

// Radio buttons of one parent form a group: selecting one deselects the others, while
// deselecting one selects nothing. Only the selected one is a tab stop; the arrow keys
// move between those side by side in tab order.
class RadioButton : public SystemControl {
public:
    RadioButton(Component* owner, WinControl* parent, std::wstring caption);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

protected:
    void CreateParamsFor(CreateParams& params) override;
    void WindowCreated() override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool checked_ = false;
};

// A framed, captioned group that holds other controls.
class GroupBox : public SystemControl {
public:
    GroupBox(Component* owner, WinControl* parent, std::wstring caption);

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// A plain container filled with the button face.
class Panel : public CustomControl {
public:
    using CustomControl::CustomControl;
};

// A tab control whose pages are panels laid over its display area.
class PageControl : public SystemControl {
public:
    PageControl(Component* owner, WinControl* parent);
    // Adds a page; its children are laid out relative to the page.
    Panel& AddPage(std::wstring caption);
    int ActivePage() const { return active_; }
    void SetActivePage(int index);
    // Ctrl+Tab shows the next page, Ctrl+Shift+Tab the previous one.
    bool DialogKey(const MSG& msg) override;

    void DpiChanged() override;

protected:
    void WindowCreated() override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The system's padding around a tab's label, in pixels at 96 dpi.
    static constexpr int kTabPaddingX = 6;
    static constexpr int kTabPaddingY = 3;

    void SetPadding();
    // Lays the pages over the display area the tabs leave.
    void LayOutPages();

    struct Page {
        std::wstring caption;
        Panel* panel;
    };
    std::vector<Page> pages_;
    int active_ = 0;
};

class TrackBar : public SystemControl {
public:
    TrackBar(Component* owner, WinControl* parent, int min, int max, int tickFrequency);
    int Position() const;
    void SetPosition(int position);

protected:
    void WindowCreated() override;

private:
    int min_, max_, tickFrequency_;
    int position_;
};

// A numeric field with an up and a down arrow, holding a whole number within its range.
class SpinEdit : public CustomControl {
public:
    SpinEdit(Component* owner, WinControl* parent, int minValue, int maxValue, int value);
    // The field's text read as a whole number; text that is no number counts as 1.
    int Value() const;
    void SetValue(int value);
    void Step(int delta);
    // Places the field beside the arrows too.
    void SetPixelBounds(int left, int top, int width, int height) override;
    // The field and both arrows, greyed when disabled.
    void SetEnabled(bool enabled);
    wchar_t decimalSeparator = L'.';

protected:
    void Paint(HDC dc) override;
    void WindowCreated() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    class Field;
    void ClampToRange();
    RECT ArrowRect(int delta) const;
    void LayOutField();

    int min_, max_;
    Field* field_;
    bool enabled_ = true;
    int repeatDelta_ = 0;
    bool pressedUp_ = false, pressedDown_ = false;
};

// A picture: an icon of the program at the system's icon size for the control's dpi, made
// anew when the dpi changes, so that the icon's own art for that size is drawn.
class Image : public GraphicControl {
public:
    Image(Component* owner, WinControl* parent, std::wstring iconName);
    void DpiChanged() override;
    void Paint(HDC dc) override;

private:
    void LoadIcon();

    std::wstring iconName_;
    SIZE size_{};
    UniqueIcon icon_;
};

}  // namespace brimview::ui
