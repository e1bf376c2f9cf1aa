#pragma once
// The standard controls the program's windows use.
#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "ui/Controls.h"

namespace brimview::ui {

SIZE BitmapSize(HBITMAP bitmap);
// The colour of a bitmap's bottom-left pixel, its transparent key.
COLORREF BottomLeftColor(HBITMAP bitmap);

// A bitmap drawn with every pixel of the key colour left out, so that what lies beneath
// shows there. Its mask and its image with the key pixels blackened are made once, when
// it is made, and kept selected in surfaces of their own, not made at every drawing; it
// does not keep the bitmap.
class TransparentBitmap {
public:
    TransparentBitmap(HBITMAP bitmap, COLORREF key);
    bool Empty() const { return !image_; }
    SIZE Size() const { return size_; }
    void Draw(HDC dc, int x, int y) const;

private:
    SIZE size_{};
    UniqueMemoryDc maskDc_;
    UniqueMemoryDc imageDc_;
    UniqueBitmap mask_;   // monochrome: white where the key colour is, black elsewhere
    UniqueBitmap image_;  // the bitmap with its key pixels black, to be or-ed over the background
    // Released first: the bitmaps go back out of the surfaces before either is deleted.
    std::optional<Selection> maskSelected_;
    std::optional<Selection> imageSelected_;
};

// Draws a bitmap once as above.
void DrawTransparentBitmap(HDC dc, int x, int y, HBITMAP bitmap, COLORREF key);

// Gives a closed combo box the height it was laid out with. The system makes it as high as
// its field and edges, and the edges do not follow the dpi as the font does: the field takes
// up the difference.
void FitComboHeight(HWND combo, int height);

enum class Alignment { Left, Right, Center };

// A text on its parent's surface with a transparent background. It sizes itself to
// its text once its parent has a window; a right-justified label keeps its right edge.
class Label : public GraphicControl {
public:
    Label(Component* owner, WinControl* parent, Bounds bounds, std::wstring caption, FontSpec font,
          Alignment alignment = Alignment::Left);
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& caption);
    // The text's colour; CLR_INVALID for the window-text colour.
    COLORREF Color() const { return font_.color; }
    void SetColor(COLORREF color);
    void Paint(HDC dc) override;
    void DpiChanged() override;

    NotifyEvent OnClick;

protected:
    void MouseUp(POINT pt) override;
    void ParentWindowCreated() override { AutoSize(); }

private:
    void AutoSize();

    std::wstring caption_;
    FontSpec font_;
    UniqueFont fontHandle_;
    Alignment alignment_;
};

// A label that is also a link: a window of its own that the Tab key reaches, sized to its
// text, raising OnClick when clicked or when Enter or Space is pressed on it.
class LinkLabel : public CustomControl {
public:
    LinkLabel(Component* owner, WinControl* parent, POINT at, std::wstring caption, const FontSpec& font);
    const std::wstring& Caption() const { return caption_; }
    bool DialogKey(const MSG& msg) override;

    NotifyEvent OnClick;

protected:
    void CreateParamsFor(CreateParams& params) override;
    // As large as its text in its font, at every dpi.
    void FontChanged() override;
    void Paint(HDC dc) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void AutoSize();

    POINT at_;
    std::wstring caption_;
};

class ProgressBar : public WinControl {
public:
    ProgressBar(Component* owner, WinControl* parent) : WinControl(owner, parent) {}
    int Max() const { return max_; }
    int Position() const { return position_; }
    void SetMax(int max);
    void SetPosition(int position);
    // PBST_NORMAL or PBST_ERROR (red).
    int State() const { return state_; }
    void SetState(int state);

protected:
    void CreateParamsFor(CreateParams& params) override;
    void WindowCreated() override;

private:
    int max_ = 100;
    int position_ = 0;
    int state_ = PBST_NORMAL;
};

// A periodic event. An interval of 0 stops it.
class Timer : public Component {
public:
    explicit Timer(Component* owner) : Component(owner) {}
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned milliseconds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Ticks start once the timer has a handler, a period and is enabled.
    void SetOnTimer(NotifyEvent handler);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Update();

    NotifyEvent onTimer_;
    unsigned interval_ = 1000;
    bool enabled_ = true;
    // The ticks arrive at a message-only window of the timer's own while it runs: one that is
    // stopped or gone has no window, and a tick already queued goes with it.
    UniqueWindow window_;
};

class PopupMenu : public Component {
public:
    struct Item {
        std::wstring caption;  // "-" for a separator line
        NotifyEvent onClick;
    };
    PopupMenu(Component* owner, std::vector<Item> items) : Component(owner), items_(std::move(items)) {}

    // Command identifiers of the items: the first item's is kFirstCommand.
    static constexpr int kFirstCommand = 100;
    void Popup(HWND owner, POINT screen);
    void Click(int command);

private:
    std::vector<Item> items_;
};

// A flat tool button: its glyph on the parent's surface, a raised edge while the
// mouse is over it, a sunken edge and the glyph moved by one pixel while pressed (edge and
// move at the form's scale).
class SpeedButton : public GraphicControl {
public:
    // The glyph as given, at every dpi.
    SpeedButton(Component* owner, WinControl* parent, UniqueBitmap glyph);
    // The glyph from the program's art of that name (see LoadArt), drawn for the form's dpi.
    SpeedButton(Component* owner, WinControl* parent, std::wstring glyphArt);
    void Paint(HDC dc) override;
    void SetPixelBounds(int left, int top, int width, int height) override;
    NotifyEvent OnClick;

protected:
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(POINT pt) override;
    void MouseUp(POINT pt) override;

private:
    void SetGlyph(HBITMAP glyph);

    static constexpr int kGlyphSize = 16;  // the art's glyphs at 100 %

    std::wstring glyphArt_;
    int glyphPercent_ = 0;  // the scale of the art drawn; 0 before the first
    std::optional<TransparentBitmap> glyph_;
    bool hot_ = false;
    bool pressed_ = false;
};

}  // namespace brimview::ui
