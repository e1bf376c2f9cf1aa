#pragma once
// Visual controls: windowless ones drawn by their parent, and windowed ones with a
// window of their own. The layout is written in pixels at 96 dpi; each control is laid
// out, and its font made, at the dpi of the form it is on.
#include <windows.h>

#include <string>
#include <optional>
#include <vector>

#include "platform/AppError.h"
#include "platform/GdiHandles.h"
#include "ui/Component.h"
#include "ui/Dpi.h"

namespace brimview::ui {

class WinControl;

// An off-screen surface compatible with the screen that a control paints through, kept
// from one paint to the next with its bitmap selected: making, selecting and releasing a
// bitmap and a surface at every paint costs more than the drawing done in them under Wine.
// Whoever draws on it sets the colours and objects it needs each time.
class OffscreenSurface {
public:
    // The surface, holding a bitmap of width x height that is made anew only when the size
    // changed.
    HDC Get(int width, int height);

private:
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    std::optional<Selection> selected_;  // released first: the bitmap goes back out of the surface
    int width_ = 0;
    int height_ = 0;
};

// A control's place in its parent as laid out.
struct Bounds {
    int left, top, width, height;
};

struct FontSpec {
    std::wstring name = L"ＭＳ Ｐゴシック";
    int height = 12;  // character height in pixels at 96 dpi
    BYTE charset = SHIFTJIS_CHARSET;
    bool underline = false;
    COLORREF color = CLR_INVALID;  // CLR_INVALID: the window-text colour
    COLORREF Color() const { return color == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : color; }
    UniqueFont Create(int dpi) const;
};

class Control : public Component {
public:
    Control(Component* owner, WinControl* parent);
    ~Control() override;

    WinControl* Parent() const { return parent_; }
    // The control's place in pixels at its form's dpi.
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Places the control in its parent, in pixels at 96 dpi.
    virtual void SetBounds(int left, int top, int width, int height);
    // Places the control in pixels at its form's dpi, as a parent that lays out its children
    // itself does; SetBounds comes through here.
    virtual void SetPixelBounds(int left, int top, int width, int height);

    // The dpi of the form the control is on; 96 for a control on no form.
    virtual int Dpi() const;
    // A length of the layout (pixels at 96 dpi) at the control's dpi.
    int Scale(int value) const { return ScaleToDpi(value, Dpi()); }
    // The form's dpi has changed: the control lays itself out again and makes its fonts
    // and pictures anew.
    virtual void DpiChanged();
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    virtual void Invalidate() = 0;

    std::wstring hint;

protected:
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    std::optional<Bounds> layout_;  // as given to SetBounds; none for a control its parent places

private:
    WinControl* parent_;
};

// Drawn on its parent's surface, in creation order, under the windowed controls.
class GraphicControl : public Control {
public:
    using Control::Control;
    void Invalidate() override;
    // The device context has its origin at the control's top-left corner and is
    // clipped to the control's rectangle.
    virtual void Paint(HDC dc) = 0;

    // Mouse notifications routed by the parent, in the control's coordinates.
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void MouseDown(POINT) {}
    virtual void MouseUp(POINT) {}
    // The parent's window has just been made: what needs a window to measure can be done now.
    virtual void ParentWindowCreated() {}

    HCURSOR cursor = nullptr;  // the mouse pointer over the control; null: the parent's
};

class WinControl : public Control {
public:
    WinControl(Component* owner, WinControl* parent);
    ~WinControl() override;

    HWND Handle();  // creates the window (and its parents') when needed
    bool HandleAllocated() const { return hwnd_ != nullptr; }
    void RecreateWnd();
    void Invalidate() override;
    void SetPixelBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;
    void DpiChanged() override;

    const FontSpec& Font() const { return font_; }
    void SetFont(const FontSpec& font);
    HFONT FontHandle() const { return fontHandle_.get(); }
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);

    void AddChild(Control* child) { children_.push_back(child); }
    void RemoveChild(Control* child);
    const std::vector<Control*>& Children() const { return children_; }

    int tabOrder = 0;
    // The windowed children in tab order, which is also their stacking order.
    std::vector<WinControl*> TabOrdered() const;

    // A key the form offers its controls before the dialog keys are handled (as Ctrl+Tab
    // is); true when one took it. By default the windowed children are asked in turn.
    virtual bool DialogKey(const MSG& msg);

    static WinControl* FromHandle(HWND hwnd);

protected:
    struct CreateParams {
        const wchar_t* className = nullptr;  // a system class, or null for the program's own
        std::wstring ownClass;               // the program's own class name; empty: a generic one
        std::wstring caption;
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        HWND parent = nullptr;
        int x = 0, y = 0, width = 0, height = 0;
        int id = 0;
    };
    virtual void CreateParamsFor(CreateParams& params);
    // Runs after the window exists and before the children are created.
    virtual void WindowCreated() {}
    virtual void WindowDestroying() {}

    // One handler per message in derived classes; anything unhandled goes here.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
    // Notifications a parent passes back to the child that sent them.
    virtual bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Paints the windowless children in creation order.
    void PaintGraphicChildren(HDC dc);
    virtual void FontChanged();

    void DestroyHandle();
    // A brush of the control's colour, for its own background and its children's.
    HBRUSH BackgroundBrush();

    COLORREF color_;

private:
    friend LRESULT CALLBACK DispatchMessageTo(WinControl* self, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMouse(UINT msg, LPARAM lParam);
    GraphicControl* GraphicAt(POINT pt) const;
    void CreateHandle();
    void CreateTooltips();

    HWND hwnd_ = nullptr;
    bool ownClass_ = false;
    FontSpec font_;
    UniqueFont fontHandle_;
    std::vector<Control*> children_;
    GraphicControl* hot_ = nullptr;
    GraphicControl* captured_ = nullptr;
    HWND tooltip_ = nullptr;
    UniqueBrush background_;
    COLORREF backgroundColor_ = CLR_INVALID;
};

// A windowed control of the program's own class that paints itself: the background
// in its colour, then Paint, then its windowless children.
class CustomControl : public WinControl {
public:
    using WinControl::WinControl;

protected:
    virtual void Paint(HDC) {}
    // Fills the background; a see-through control leaves it as it is.
    virtual void EraseBackground(HDC dc);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void PaintAll(HDC dc);
};

}  // namespace brimview::ui
