#pragma once
// A bevelled panel that can be see-through: with Transparent on it paints no
// background, and its parent's pixels stay visible under its bevels, figure, caption
// and children. It can also confine the mouse cursor to itself.
#include <functional>

#include "drawing/Geometry.h"
#include "ui/Shape.h"
#include "ui/StdCtrls.h"

namespace brimview {

using TMouseMoveEvent = std::function<void(ui::Component& sender, UINT shift, int x, int y)>;

// The shift state of the leave event.
constexpr UINT ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32;

class TTransPanel : public ui::CustomControl {
public:
    TTransPanel(ui::Component* owner, ui::WinControl* parent);
    ~TTransPanel() override;

    void SetAlignment(ui::Alignment value);
    void SetBevelInner(TBevelCut value);
    void SetBevelOuter(TBevelCut value);
    void SetBevelWidth(int value);
    void SetBorderWidth(int value);
    void SetMouseClip(bool value);
    void SetMouseClipBack(bool value) { mouseClipBack_ = value; }
    void SetShape(TShapeType value);
    void SetShapeBrush(const ui::BrushSpec& value);
    void SetShapePen(const ui::PenSpec& value);
    void SetTransparent(bool value);
    void SetShapeTransparent(bool value);
    void SetShapeRoundSize(int value);
    void SetCaption(const std::wstring& value);

    bool Transparent() const { return transparent_; }
    bool MouseClip() const { return mouseClip_; }
    int ShapeRoundSize() const { return shapeRoundSize_; }

    TMouseMoveEvent OnMouseLeave;

protected:
    void Paint(HDC dc) override;
    void EraseBackground(HDC dc) override;
    void CreateParamsFor(CreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void LeaveCheck();
    void DrawBevelSpans(HDC dc, const PanelFrame& frame) const;

    ui::Alignment alignment_ = ui::Alignment::Center;
    TBevelCut bevelInner_ = TBevelCut::bvNone;
    TBevelCut bevelOuter_ = TBevelCut::bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    bool mouseClip_ = false;
    bool mouseClipBack_ = false;
    TShapeType shape_ = TShapeType::stNone;
    ui::BrushSpec shapeBrush_;
    ui::PenSpec shapePen_;
    bool transparent_ = false;
    bool shapeTransparent_ = false;
    int shapeRoundSize_ = 4;
    std::wstring caption_;
    RECT CreationClipRect{};
    RECT SavedClipRect{};
};

}  // namespace brimview
