#include "ui/DialogCtrls.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "ui/Form.h"

namespace brimview::ui {
namespace {

Form* FormOf(Control* control) {
    for (WinControl* p = control->Parent(); p; p = p->Parent())
        if (auto* form = dynamic_cast<Form*>(p)) return form;
    return nullptr;
}

}  // namespace

SystemControl::SystemControl(Component* owner, WinControl* parent, const wchar_t* className, DWORD style,
                             std::wstring caption)
    : WinControl(owner, parent), className_(className), style_(style), caption_(std::move(caption)) {}

void SystemControl::CreateParamsFor(CreateParams& params) {
    WinControl::CreateParamsFor(params);
    params.className = className_;
    params.caption = caption_;
    params.style |= style_ | (enabled_ ? 0 : WS_DISABLED);
}

void SystemControl::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (HandleAllocated()) EnableWindow(Handle(), enabled);
}

Button::Button(Component* owner, WinControl* parent, std::wstring caption, int id, int modalResult, bool isDefault)
    : SystemControl(owner, parent, WC_BUTTONW, WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                    std::move(caption)),
      id_(id),
      modalResult_(modalResult) {}

void Button::CreateParamsFor(CreateParams& params) {
    SystemControl::CreateParamsFor(params);
    params.id = id_;
}

void Button::Click() {
    // The result is set first, so the dialog closes after the handler even when it fails.
    if (modalResult_ != mrNone)
        if (Form* form = FormOf(this)) form->modalResult = modalResult_;
    if (OnClick) OnClick(*this);
}

bool Button::DialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || GetFocus() != Handle()) return false;
    Click();
    return true;
}

bool Button::Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    Click();
    result = 0;
    return true;
}

CheckBox::CheckBox(Component* owner, WinControl* parent, std::wstring caption)
    : SystemControl(owner, parent, WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX, std::move(caption)) {}

void CheckBox::WindowCreated() {
    SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBox::SetChecked(bool checked) {
    bool changed = checked != checked_;
    checked_ = checked;
    if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (changed && OnClick) OnClick(*this);
}

bool CheckBox::Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    checked_ = SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (OnClick) OnClick(*this);
    result = 0;
    return true;
}

RadioButton::RadioButton(Component* owner, WinControl* parent, std::wstring caption)
    : SystemControl(owner, parent, WC_BUTTONW, BS_RADIOBUTTON, std::move(caption)) {}

void RadioButton::CreateParamsFor(CreateParams& params) {
    SystemControl::CreateParamsFor(params);
    if (checked_) params.style |= WS_TABSTOP;
    // One after another radio button joins its group.
    const std::vector<WinControl*> siblings = Parent()->TabOrdered();
    const auto self = std::find(siblings.begin(), siblings.end(), this);
    if (self != siblings.begin() && dynamic_cast<RadioButton*>(*(self - 1))) params.style &= ~WS_GROUP;
}

void RadioButton::WindowCreated() {
    SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void RadioButton::SetChecked(bool checked) {
    checked_ = checked;
    if (HandleAllocated()) {
        SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        const LONG style = GetWindowLongW(Handle(), GWL_STYLE);
        SetWindowLongW(Handle(), GWL_STYLE, checked ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
    if (!checked || !Parent()) return;
    for (Control* sibling : Parent()->Children())
        if (auto* radio = dynamic_cast<RadioButton*>(sibling); radio && radio != this && radio->checked_)
            radio->SetChecked(false);
}

bool RadioButton::Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    SetChecked(true);
    result = 0;
    return true;
}

GroupBox::GroupBox(Component* owner, WinControl* parent, std::wstring caption)
    : SystemControl(owner, parent, WC_BUTTONW, BS_GROUPBOX, std::move(caption)) {}

LRESULT GroupBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The system's group box paints only its frame; as a container it fills its inside too.
    if (msg == WM_ERASEBKGND) {
        RECT r{0, 0, width_, height_};
        FillRect(reinterpret_cast<HDC>(wParam), &r, BackgroundBrush());
        return 1;
    }
    return SystemControl::WndProc(msg, wParam, lParam);
}

PageControl::PageControl(Component* owner, WinControl* parent)
    : SystemControl(owner, parent, WC_TABCONTROLW, WS_TABSTOP, L"") {}

Panel& PageControl::AddPage(std::wstring caption) {
    Panel& panel = Owner()->Make<Panel>(this);
    panel.SetVisible(pages_.empty());
    pages_.push_back({std::move(caption), &panel});
    return panel;
}

void PageControl::WindowCreated() {
    SetPadding();
    for (size_t i = 0; i < pages_.size(); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = pages_[i].caption.data();
        SendMessageW(Handle(), TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    LayOutPages();
    SendMessageW(Handle(), TCM_SETCURSEL, active_, 0);
}

// The display area's border beside and below the pages is the system's few fixed pixels, as
// its padding is: it is scaled like the layout, so that the pages keep their scaled size.
void PageControl::LayOutPages() {
    RECT display{0, 0, Width(), Height()};
    SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    const int left = Scale(display.left), right = Width() - Scale(Width() - display.right);
    const int bottom = Height() - Scale(Height() - display.bottom);
    for (Page& page : pages_) page.panel->SetPixelBounds(left, display.top, right - left, bottom - display.top);
}

// The system pads the tabs' labels by fixed pixels, which follow the layout's scale here.
void PageControl::SetPadding() {
    SendMessageW(Handle(), TCM_SETPADDING, 0, MAKELPARAM(Scale(kTabPaddingX), Scale(kTabPaddingY)));
}

void PageControl::DpiChanged() {
    if (HandleAllocated()) SetPadding();
    SystemControl::DpiChanged();           // the tabs are measured anew with the new font
    if (HandleAllocated()) LayOutPages();  // and the pages take the display area left under them
}

void PageControl::SetActivePage(int index) {
    HWND focus = GetFocus();
    const bool focusOnPage = focus && !pages_.empty() && pages_[active_].panel->HandleAllocated() &&
                             IsChild(pages_[active_].panel->Handle(), focus);
    active_ = index;
    for (size_t i = 0; i < pages_.size(); ++i) pages_[i].panel->SetVisible(static_cast<int>(i) == index);
    if (!HandleAllocated()) return;
    SendMessageW(Handle(), TCM_SETCURSEL, index, 0);
    // The focus does not stay on a hidden control: it goes to the first one of the new page.
    if (focusOnPage) {
        HWND first = GetNextDlgTabItem(pages_[active_].panel->Handle(), nullptr, FALSE);
        SetFocus(first ? first : Handle());
    }
}

bool PageControl::DialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0 || pages_.empty())
        return SystemControl::DialogKey(msg);
    const int count = static_cast<int>(pages_.size());
    SetActivePage((active_ + (GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1)) % count);
    return true;
}

bool PageControl::Reflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != TCN_SELCHANGE) return false;
    SetActivePage(static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0)));
    result = 0;
    return true;
}

TrackBar::TrackBar(Component* owner, WinControl* parent, int min, int max, int tickFrequency)
    : SystemControl(owner, parent, TRACKBAR_CLASSW, WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM, L""),
      min_(min),
      max_(max),
      tickFrequency_(tickFrequency),
      position_(max) {}

void TrackBar::WindowCreated() {
    SendMessageW(Handle(), TBM_SETRANGEMIN, FALSE, min_);
    SendMessageW(Handle(), TBM_SETRANGEMAX, FALSE, max_);
    SendMessageW(Handle(), TBM_SETTICFREQ, tickFrequency_, 0);
    SendMessageW(Handle(), TBM_SETPOS, TRUE, position_);
}

int TrackBar::Position() const {
    return HandleAllocated() ? static_cast<int>(SendMessageW(const_cast<TrackBar*>(this)->Handle(), TBM_GETPOS, 0, 0))
                             : position_;
}

void TrackBar::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
    if (HandleAllocated()) SendMessageW(Handle(), TBM_SETPOS, TRUE, position_);
}

// The spin edit's text field: it refuses keys that cannot be part of a number, steps
// with the Up and Down keys, and holds its value within the range when it loses the focus.
class SpinEdit::Field : public SystemControl {
public:
    Field(Component* owner, SpinEdit* spin)
        : SystemControl(owner, spin, WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, L""), spin_(spin) {}
    std::wstring Text() const {
        if (!HandleAllocated()) return text_;
        HWND hwnd = const_cast<Field*>(this)->Handle();
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)), L'\0');
        GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()) + 1);
        return text;
    }
    void SetText(const std::wstring& text) {
        text_ = text;
        if (HandleAllocated()) SetWindowTextW(Handle(), text.c_str());
    }

protected:
    void CreateParamsFor(CreateParams& params) override {
        SystemControl::CreateParamsFor(params);
        params.caption = text_;
        params.exStyle = WS_EX_CLIENTEDGE;
    }
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
            case WM_CHAR:
                if (!IsSpinEditKey(static_cast<wchar_t>(wParam), spin_->decimalSeparator)) {
                    MessageBeep(0);
                    return 0;
                }
                break;
            case WM_KEYDOWN:
                if (wParam == VK_UP || wParam == VK_DOWN) {
                    spin_->Step(wParam == VK_UP ? 1 : -1);
                    return 0;
                }
                break;
            case WM_KILLFOCUS:
                spin_->ClampToRange();
                break;
            default:
                break;
        }
        return SystemControl::WndProc(msg, wParam, lParam);
    }

private:
    SpinEdit* spin_;
    std::wstring text_;
};

namespace {
constexpr int kArrowWidth = 15;
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeat = 400, kNextRepeat = 100;  // milliseconds
}  // namespace

SpinEdit::SpinEdit(Component* owner, WinControl* parent, int minValue, int maxValue, int value)
    : CustomControl(owner, parent), min_(minValue), max_(maxValue), field_(&owner->Make<Field>(this)) {
    SetValue(value);
}

int SpinEdit::Value() const {
    return SpinEditValue(field_->Text());
}

void SpinEdit::SetValue(int value) {
    field_->SetText(std::to_wstring(value));
}

void SpinEdit::Step(int delta) {
    // Wider than int: the field may hold the largest whole number.
    SetValue(static_cast<int>(std::clamp<long long>(static_cast<long long>(Value()) + delta, min_, max_)));
}

void SpinEdit::SetEnabled(bool enabled) {
    enabled_ = enabled;
    field_->SetEnabled(enabled);
    if (HandleAllocated()) EnableWindow(Handle(), enabled);
    Invalidate();
}

void SpinEdit::ClampToRange() {
    int value = Value();
    if (value < min_ || value > max_) SetValue(std::clamp(value, min_, max_));
}

RECT SpinEdit::ArrowRect(int delta) const {
    const int half = height_ / 2, arrows = width_ - Scale(kArrowWidth);
    return delta > 0 ? RECT{arrows, 0, width_, half} : RECT{arrows, half, width_, height_};
}

void SpinEdit::LayOutField() {
    field_->SetPixelBounds(0, 0, width_ - Scale(kArrowWidth), height_);
}

void SpinEdit::WindowCreated() {
    EnableWindow(Handle(), enabled_);
}

void SpinEdit::SetPixelBounds(int left, int top, int width, int height) {
    CustomControl::SetPixelBounds(left, top, width, height);
    LayOutField();
}

void SpinEdit::Paint(HDC dc) {
    RECT up = ArrowRect(1), down = ArrowRect(-1);
    const UINT inactive = enabled_ ? 0 : DFCS_INACTIVE;
    DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP | inactive | (pressedUp_ ? DFCS_PUSHED : 0));
    DrawFrameControl(dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN | inactive | (pressedDown_ ? DFCS_PUSHED : 0));
}

LRESULT SpinEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            RECT up = ArrowRect(1), down = ArrowRect(-1);
            repeatDelta_ = PtInRect(&up, pt) ? 1 : PtInRect(&down, pt) ? -1 : 0;
            if (!repeatDelta_) break;
            pressedUp_ = repeatDelta_ > 0;
            pressedDown_ = repeatDelta_ < 0;
            SetFocus(field_->Handle());
            Step(repeatDelta_);
            SetCapture(Handle());
            SetTimer(Handle(), kRepeatTimer, kFirstRepeat, nullptr);
            Invalidate();
            return 0;
        }
        case WM_TIMER:
            if (wParam == kRepeatTimer && repeatDelta_) {
                Step(repeatDelta_);
                SetTimer(Handle(), kRepeatTimer, kNextRepeat, nullptr);
                return 0;
            }
            break;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (repeatDelta_) {
                repeatDelta_ = 0;
                pressedUp_ = pressedDown_ = false;
                KillTimer(Handle(), kRepeatTimer);
                if (msg == WM_LBUTTONUP) ReleaseCapture();
                Invalidate();
            }
            break;
        default:
            break;
    }
    return CustomControl::WndProc(msg, wParam, lParam);
}

Image::Image(Component* owner, WinControl* parent, std::wstring iconName)
    : GraphicControl(owner, parent), iconName_(std::move(iconName)) {
    LoadIcon();
}

void Image::DpiChanged() {
    GraphicControl::DpiChanged();
    LoadIcon();
}

void Image::LoadIcon() {
    size_ = {SystemMetricForDpi(SM_CXICON, Dpi()), SystemMetricForDpi(SM_CYICON, Dpi())};
    icon_.reset(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), iconName_.c_str(), IMAGE_ICON, size_.cx, size_.cy, LR_DEFAULTCOLOR)));
}

void Image::Paint(HDC dc) {
    DrawIconEx(dc, 0, 0, icon_.get(), size_.cx, size_.cy, 0, nullptr, DI_NORMAL);
}

}  // namespace brimview::ui
