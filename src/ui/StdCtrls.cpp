#include "ui/StdCtrls.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/AppError.h"
#include "platform/Handles.h"
#include "ui/Application.h"

namespace brimview::ui {
namespace {

constexpr wchar_t kTimerClass[] = L"TTimerWindow";

}  // namespace

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

COLORREF BottomLeftColor(HBITMAP bitmap) {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    Selection selected(dc.get(), bitmap);
    return GetPixel(dc.get(), 0, BitmapSize(bitmap).cy - 1);
}

TransparentBitmap::TransparentBitmap(HBITMAP bitmap, COLORREF key) {
    if (!bitmap) return;
    size_ = BitmapSize(bitmap);
    const WindowDc screen(nullptr);
    const UniqueMemoryDc source(CreateCompatibleDC(screen.get()));
    maskDc_.reset(CreateCompatibleDC(screen.get()));
    imageDc_.reset(CreateCompatibleDC(screen.get()));
    mask_.reset(CreateBitmap(size_.cx, size_.cy, 1, 1, nullptr));
    image_.reset(CreateCompatibleBitmap(screen.get(), size_.cx, size_.cy));
    const Selection sourceBitmap(source.get(), bitmap);
    maskSelected_.emplace(maskDc_.get(), mask_.get());
    imageSelected_.emplace(imageDc_.get(), image_.get());
    // Copied to monochrome, the pixels of the source's background colour turn white.
    SetBkColor(source.get(), key);
    BitBlt(maskDc_.get(), 0, 0, size_.cx, size_.cy, source.get(), 0, 0, SRCCOPY);
    BitBlt(imageDc_.get(), 0, 0, size_.cx, size_.cy, source.get(), 0, 0, SRCCOPY);
    // A monochrome source takes the destination's background colour for its white bits: the key
    // pixels must come out white, so that AND NOT clears them.
    SetBkColor(imageDc_.get(), RGB(255, 255, 255));
    SetTextColor(imageDc_.get(), RGB(0, 0, 0));
    BitBlt(imageDc_.get(), 0, 0, size_.cx, size_.cy, maskDc_.get(), 0, 0, 0x00220326);  // image AND NOT mask
}

void TransparentBitmap::Draw(HDC dc, int x, int y) const {
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    BitBlt(dc, x, y, size_.cx, size_.cy, maskDc_.get(), 0, 0, SRCAND);
    BitBlt(dc, x, y, size_.cx, size_.cy, imageDc_.get(), 0, 0, SRCPAINT);
}

void DrawTransparentBitmap(HDC dc, int x, int y, HBITMAP bitmap, COLORREF key) {
    TransparentBitmap(bitmap, key).Draw(dc, x, y);
}

void FitComboHeight(HWND combo, int height) {
    // The field's height as the combo box reports it is not the one it was given; the
    // difference is made up from what the box measures after each setting.
    auto field = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int step = 0; step < 2; ++step) {
        RECT box;
        GetWindowRect(combo, &box);
        const int shortBy = height - (box.bottom - box.top);
        if (shortBy == 0 || field + shortBy <= 0) return;
        field += shortBy;
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

Label::Label(Component* owner, WinControl* parent, Bounds bounds, std::wstring caption, FontSpec font,
             Alignment alignment)
    : GraphicControl(owner, parent),
      caption_(std::move(caption)),
      font_(std::move(font)),
      fontHandle_(font_.Create(Dpi())),
      alignment_(alignment) {
    SetBounds(bounds.left, bounds.top, bounds.width, bounds.height);
    AutoSize();
}

void Label::AutoSize() {
    // A hidden dialog's labels are measured when it is first shown, not at start: measuring
    // a Japanese text loads its glyphs, half a megabyte of font for a box maybe never opened.
    if (!Parent()->HandleAllocated()) return;
    WindowDc screen(nullptr);
    Selection font(screen.get(), fontHandle_.get());
    RECT r{0, 0, 0, 0};
    DrawTextW(screen.get(), caption_.c_str(), static_cast<int>(caption_.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    Invalidate();
    width_ = r.right;
    height_ = r.bottom;
    // A right-justified label keeps the right edge it was laid out with.
    if (alignment_ == Alignment::Right && layout_) left_ = Scale(layout_->left + layout_->width) - width_;
    Invalidate();
}

void Label::DpiChanged() {
    GraphicControl::DpiChanged();
    fontHandle_ = font_.Create(Dpi());
    AutoSize();
}

void Label::SetCaption(const std::wstring& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    AutoSize();
}

void Label::SetColor(COLORREF color) {
    if (color == font_.color) return;
    font_.color = color;
    Invalidate();
}

void Label::Paint(HDC dc) {
    Selection font(dc, fontHandle_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, font_.Color());
    RECT r{0, 0, width_, height_};
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, DT_SINGLELINE | DT_NOPREFIX);
}

void Label::MouseUp(POINT pt) {
    RECT r{0, 0, width_, height_};
    if (OnClick && PtInRect(&r, pt)) OnClick(*this);
}

LinkLabel::LinkLabel(Component* owner, WinControl* parent, POINT at, std::wstring caption, const FontSpec& font)
    : CustomControl(owner, parent), at_(at), caption_(std::move(caption)) {
    SetFont(font);
}

void LinkLabel::AutoSize() {
    WindowDc screen(nullptr);
    Selection selected(screen.get(), FontHandle());
    RECT r{0, 0, 0, 0};
    DrawTextW(screen.get(), caption_.c_str(), static_cast<int>(caption_.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SetPixelBounds(Scale(at_.x), Scale(at_.y), r.right, r.bottom);
}

void LinkLabel::FontChanged() {
    CustomControl::FontChanged();
    AutoSize();
}

void LinkLabel::CreateParamsFor(CreateParams& params) {
    CustomControl::CreateParamsFor(params);
    params.ownClass = L"TLinkLabel";
    params.caption = caption_;
    params.style |= WS_TABSTOP;
}

void LinkLabel::Paint(HDC dc) {
    Selection font(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Font().Color());
    RECT r{0, 0, width_, height_};
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, DT_SINGLELINE | DT_NOPREFIX);
    if (GetFocus() == Handle()) DrawFocusRect(dc, &r);
}

bool LinkLabel::DialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_SPACE) || GetFocus() != Handle())
        return false;
    if (OnClick) OnClick(*this);
    return true;
}

LRESULT LinkLabel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            Invalidate();
            break;
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        case WM_LBUTTONUP:
            if (OnClick) OnClick(*this);
            return 0;
        default:
            break;
    }
    return CustomControl::WndProc(msg, wParam, lParam);
}

void ProgressBar::CreateParamsFor(CreateParams& params) {
    WinControl::CreateParamsFor(params);
    params.className = PROGRESS_CLASSW;
}

namespace {

// Visual styles draw the state; without them (the classic look, Wine) only the bar's colour
// can say it, and with them that colour is passed over.
void ShowState(HWND bar, int state) {
    SendMessageW(bar, PBM_SETSTATE, state, 0);
    SendMessageW(bar, PBM_SETBARCOLOR, 0, state == PBST_ERROR ? RGB(255, 0, 0) : CLR_DEFAULT);
}

}  // namespace

void ProgressBar::WindowCreated() {
    SendMessageW(Handle(), PBM_SETRANGE32, 0, max_);
    SendMessageW(Handle(), PBM_SETPOS, position_, 0);
    if (state_ != PBST_NORMAL) ShowState(Handle(), state_);
}

void ProgressBar::SetState(int state) {
    if (state == state_) return;
    state_ = state;
    if (HandleAllocated()) ShowState(Handle(), state_);
}

void ProgressBar::SetMax(int max) {
    max_ = max;
    if (HandleAllocated()) SendMessageW(Handle(), PBM_SETRANGE32, 0, max_);
}

void ProgressBar::SetPosition(int position) {
    position_ = position;
    if (HandleAllocated()) SendMessageW(Handle(), PBM_SETPOS, position_, 0);
}

void Timer::SetInterval(unsigned milliseconds) {
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    Update();
}

void Timer::SetOnTimer(NotifyEvent handler) {
    onTimer_ = std::move(handler);
    Update();
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Update();
}

void Timer::Update() {
    window_.reset();
    if (!enabled_ || interval_ == 0 || !onTimer_) return;
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(GetModuleHandleW(nullptr), kTimerClass, &wc)) {
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kTimerClass;
        RegisterClassExW(&wc);
    }
    window_.reset(
        CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), this));
    if (!window_ || !SetTimer(window_.get(), 1, interval_, nullptr)) {
        window_.reset();
        throw AppError("タイマーを取得できません");
    }
}

LRESULT CALLBACK Timer::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* timer = static_cast<Timer*>(WindowObject(hwnd, msg, lParam));
    if (msg != WM_TIMER || !timer) return DefWindowProcW(hwnd, msg, wParam, lParam);
    try {
        timer->onTimer_(*timer);
    } catch (const std::exception& e) {
        timer->App().ShowException(e);  // the timer goes on ticking
    }
    return 0;
}

void PopupMenu::Popup(HWND owner, POINT screen) {
    const UniqueMenu menu(CreatePopupMenu());
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].caption == L"-")
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu.get(), MF_STRING, kFirstCommand + i, items_[i].caption.c_str());
    }
    // The chosen item arrives as WM_COMMAND at the owner, like a command posted from outside.
    SetForegroundWindow(owner);
    TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner, nullptr);
}

void PopupMenu::Click(int command) {
    size_t index = static_cast<size_t>(command - kFirstCommand);
    if (command >= kFirstCommand && index < items_.size() && items_[index].onClick) items_[index].onClick(*this);
}

SpeedButton::SpeedButton(Component* owner, WinControl* parent, UniqueBitmap glyph) : GraphicControl(owner, parent) {
    SetGlyph(glyph.get());
}

SpeedButton::SpeedButton(Component* owner, WinControl* parent, std::wstring glyphArt)
    : GraphicControl(owner, parent), glyphArt_(std::move(glyphArt)) {
    SetGlyph(nullptr);  // until the button is placed
}

void SpeedButton::SetGlyph(HBITMAP glyph) {
    glyph_.emplace(glyph, glyph ? BottomLeftColor(glyph) : 0);
}

// Placed or laid out at a new dpi: the glyph drawn for the scale, never wider than the button.
void SpeedButton::SetPixelBounds(int left, int top, int width, int height) {
    GraphicControl::SetPixelBounds(left, top, width, height);
    if (glyphArt_.empty()) return;
    const int percent = ArtPercent(Dpi(), kGlyphSize, std::min(width, height));
    if (percent == glyphPercent_) return;
    glyphPercent_ = percent;
    SetGlyph(LoadArt(glyphArt_, percent).get());
}

void SpeedButton::Paint(HDC dc) {
    RECT r{0, 0, width_, height_};
    // The edge is as many system edges, one inside the other, as the scale has pixels.
    for (int i = 0; i < Scale(1) && (pressed_ || hot_); ++i) {
        DrawEdge(dc, &r, pressed_ ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        InflateRect(&r, -1, -1);
    }
    if (glyph_->Empty()) return;
    SIZE size = glyph_->Size();
    int shift = pressed_ ? Scale(1) : 0;
    glyph_->Draw(dc, (width_ - size.cx) / 2 + shift, (height_ - size.cy) / 2 + shift);
}

void SpeedButton::MouseEnter() {
    hot_ = true;
    Invalidate();
}

void SpeedButton::MouseLeave() {
    hot_ = false;
    Invalidate();
}

void SpeedButton::MouseDown(POINT) {
    pressed_ = true;
    Invalidate();
}

void SpeedButton::MouseUp(POINT pt) {
    pressed_ = false;
    Invalidate();
    RECT r{0, 0, width_, height_};
    if (OnClick && PtInRect(&r, pt)) OnClick(*this);
}

}  // namespace brimview::ui
