#include "drawing/TrPanel.h"

#include <algorithm>
#include <utility>

namespace brimview {

TTransPanel::TTransPanel(ui::Component* owner, ui::WinControl* parent) : ui::CustomControl(owner, parent) {
    SetBounds(0, 0, 185, 41);
    GetClipCursor(&CreationClipRect);
    SavedClipRect = CreationClipRect;
    SetMouseClip(false);  // frees the cursor, MouseClipBack being still off
}

TTransPanel::~TTransPanel() {
    if (mouseClipBack_)
        ClipCursor(&CreationClipRect);
    else
        ClipCursor(nullptr);
}

void TTransPanel::CreateParamsFor(CreateParams& params) {
    ui::CustomControl::CreateParamsFor(params);
    params.ownClass = L"TTransPanel";
}

void TTransPanel::SetAlignment(ui::Alignment value) {
    alignment_ = value;
    Invalidate();
}

void TTransPanel::SetBevelInner(TBevelCut value) {
    bevelInner_ = value;
    Invalidate();
}

void TTransPanel::SetBevelOuter(TBevelCut value) {
    bevelOuter_ = value;
    Invalidate();
}

void TTransPanel::SetBevelWidth(int value) {
    bevelWidth_ = std::max(1, value);
    Invalidate();
}

void TTransPanel::SetBorderWidth(int value) {
    borderWidth_ = std::max(0, value);
    Invalidate();
}

void TTransPanel::SetMouseClip(bool value) {
    if (value && !mouseClip_ && mouseClipBack_) GetClipCursor(&SavedClipRect);
    mouseClip_ = value;
    if (value) {
        RECT r;
        if (HandleAllocated() && GetWindowRect(Handle(), &r)) ClipCursor(&r);
    } else if (mouseClipBack_) {
        ClipCursor(&SavedClipRect);
    } else {
        ClipCursor(nullptr);
    }
}

void TTransPanel::SetShape(TShapeType value) {
    if (value == shape_) return;
    shape_ = value;
    Invalidate();
}

void TTransPanel::SetShapeBrush(const ui::BrushSpec& value) {
    shapeBrush_ = value;
    Invalidate();
}

void TTransPanel::SetShapePen(const ui::PenSpec& value) {
    shapePen_ = value;
    Invalidate();
}

void TTransPanel::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Invalidate();
}

void TTransPanel::SetShapeTransparent(bool value) {
    if (value == shapeTransparent_) return;
    shapeTransparent_ = value;
    Invalidate();
}

void TTransPanel::SetShapeRoundSize(int value) {
    value = ClampShapeRoundSize(value);
    if (value == shapeRoundSize_) return;
    shapeRoundSize_ = value;
    Invalidate();
}

void TTransPanel::SetCaption(const std::wstring& value) {
    if (value == caption_) return;
    caption_ = value;
    Invalidate();
}

void TTransPanel::EraseBackground(HDC dc) {
    if (!transparent_) ui::CustomControl::EraseBackground(dc);
}

void TTransPanel::DrawBevelSpans(HDC dc, const PanelFrame& frame) const {
    for (const FrameSpan& span : frame.spans) {
        COLORREF colour = span.colour == FrameColour::BtnShadow      ? GetSysColor(COLOR_BTNSHADOW)
                          : span.colour == FrameColour::BtnHighlight ? GetSysColor(COLOR_BTNHIGHLIGHT)
                                                                     : color_;
        UniqueBrush brush(CreateSolidBrush(colour));
        RECT r{span.area.left, span.area.top, span.area.right, span.area.bottom};
        FillRect(dc, &r, brush.get());
    }
}

void TTransPanel::Paint(HDC dc) {
    // Bevels, border, figure and corners are set in pixels at 96 dpi, like the layout.
    PanelFrame frame =
        LayOutPanelFrame(width_, height_, bevelOuter_, bevelInner_, Scale(bevelWidth_), Scale(borderWidth_));
    DrawBevelSpans(dc, frame);
    if (!transparent_) {
        UniqueBrush fill(CreateSolidBrush(color_));
        RECT r{frame.inside.left, frame.inside.top, frame.inside.right, frame.inside.bottom};
        FillRect(dc, &r, fill.get());
    }
    SetBkMode(dc, TRANSPARENT);
    Selection font(dc, FontHandle());
    SIZE w{};
    GetTextExtentPoint32W(dc, L"W", 1, &w);
    Rect band = CaptionBand(frame.inside, w.cy);

    if (shape_ != TShapeType::stNone) {
        ui::PenSpec scaledPen = shapePen_;
        scaledPen.width = Scale(shapePen_.width);
        // The corners are a share of the shorter side, so they follow the scale by themselves.
        Figure figure = LayOutFigure(shape_, width_, height_, scaledPen.width, shapeRoundSize_);
        UniquePen pen = scaledPen.Create();
        Selection selectedPen(dc, pen.get());
        if (!shapeTransparent_) {
            UniqueBrush underlay(CreateSolidBrush(color_));
            Selection selected(dc, underlay.get());
            ui::DrawFigure(dc, shape_, figure);
        }
        UniqueBrush brush = shapeBrush_.Create();
        Selection selected(dc, brush.get());
        SetBkMode(dc, TRANSPARENT);
        ui::DrawFigure(dc, shape_, figure);
    }

    UINT flags = DT_EXPANDTABS | DT_VCENTER;
    bool rtl = GetLayout(dc) & LAYOUT_RTL;
    switch (alignment_) {
        case ui::Alignment::Left:
            flags |= rtl ? DT_RIGHT : DT_LEFT;
            break;
        case ui::Alignment::Right:
            flags |= rtl ? DT_LEFT : DT_RIGHT;
            break;
        case ui::Alignment::Center:
            flags |= DT_CENTER;
            break;
    }
    if (rtl) flags |= DT_RTLREADING;
    SetTextColor(dc, Font().Color());
    RECT r{band.left, band.top, band.right, band.bottom};
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, flags);
}

void TTransPanel::LeaveCheck() {
    BYTE keys[256];
    GetKeyboardState(keys);
    auto down = [&](int key) { return (keys[key] & 0x80) != 0; };
    UINT shift = 0;
    for (auto [key, flag] : {std::pair{VK_SHIFT, ssShift},
                             {VK_MENU, ssAlt},
                             {VK_CONTROL, ssCtrl},
                             {VK_LBUTTON, ssLeft},
                             {VK_RBUTTON, ssRight},
                             {VK_MBUTTON, ssMiddle}})
        if (down(key)) shift |= flag;
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(Handle(), &pt);
    bool outside = pt.x < 0 || pt.x >= width_ || pt.y < 0 || pt.y >= height_;
    if (outside && OnMouseLeave) OnMouseLeave(*this, shift, pt.x, pt.y);
}

LRESULT TTransPanel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT:
            if (transparent_ && Parent()) {
                // Let the parent paint the area first, so the panel draws over its pixels.
                constexpr UINT keep = SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
                SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, keep | SWP_HIDEWINDOW);
                UpdateWindow(Parent()->Handle());
                SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, keep | SWP_SHOWWINDOW);
            }
            break;
        case WM_MOVE:
            if (transparent_) Invalidate();
            break;
        case WM_MOUSEMOVE: {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
            TrackMouseEvent(&track);
            break;
        }
        case WM_MOUSELEAVE: {
            LRESULT result = ui::CustomControl::WndProc(msg, wParam, lParam);
            LeaveCheck();
            return result;
        }
        default:
            break;
    }
    return ui::CustomControl::WndProc(msg, wParam, lParam);
}

}  // namespace brimview
