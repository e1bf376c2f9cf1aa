#pragma once
// A top-level window of the program, owned by the application window.
#include "ui/Controls.h"

namespace brimview::ui {

class PopupMenu;

enum class WindowState { Normal, Minimized, Maximized };
enum class FormBorder { Single, Dialog };
enum class FormPosition { DefaultPosOnly, ScreenCenter };
enum ModalResult { mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL };

class Form : public WinControl {
public:
    Form(Component* owner, std::wstring className);

    std::wstring caption;
    // The client area in pixels at 96 dpi.
    int clientWidth = 0;
    int clientHeight = 0;
    FormBorder border = FormBorder::Single;
    bool minimizeBox = false;
    FormPosition position = FormPosition::DefaultPosOnly;
    WindowState windowState = WindowState::Normal;
    PopupMenu* popupMenu = nullptr;
    int modalResult = mrNone;
    // A dialog made hidden at start-up gets its window when first shown, not while the
    // program starts.
    bool windowOnFirstShow = false;

    NotifyEvent OnCreate;
    NotifyEvent OnClose;
    NotifyEvent OnPaint;
    NotifyEvent OnActivate;  // each time the form is shown, at its first activation

    // Creates the window hidden, tells the components that the layout is loaded,
    // then runs OnCreate; a failure there is reported and start-up goes on.
    void FinishCreation();
    void Show();
    void Hide();
    // Asks the form to close: OnClose, then hidden; closing the main form ends the program.
    void Close();
    int ShowModal();

    // The surface OnPaint draws on; valid only while OnPaint runs.
    HDC Canvas() const { return canvas_; }
    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool on) { doubleBuffered_ = on; }

    bool TopmostStyle() const { return topmostStyle_; }
    // Changing the style re-creates the window, as the stay-on-top style is one of creation.
    void SetTopmostStyle(bool on);

    // Whole-window translucency.
    bool AlphaBlend() const { return alphaBlend_; }
    void SetAlphaBlend(bool on);
    BYTE AlphaBlendValue() const { return alphaBlendValue_; }
    void SetAlphaBlendValue(BYTE value);

    // Moves the window; the position and size are those of the window on the screen, in
    // the screen's pixels.
    void SetBounds(int left, int top, int width, int height) override;

    // The one place that knows the window's dpi: the monitor's it is on, once it has a
    // window; before that the system's.
    int Dpi() const override { return dpi_; }

protected:
    void CreateParamsFor(CreateParams& params) override;
    void WindowCreated() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Presses a button of the form by its command identifier (Enter, Esc).
    virtual void DialogCommand(int id);

private:
    LRESULT OnPaintMessage(HDC target);
    void PaintWindow(HDC target);
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    void PaintTo(HDC dc, const RECT& client);
    void ApplyLayeredAttributes();
    LRESULT OnActivateMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnDpiChangedMessage(WPARAM wParam, LPARAM lParam);
    // Sizes the window so that its client area is the layout's at the window's dpi.
    void FitClientArea();

    std::wstring className_;
    int dpi_;
    HDC canvas_ = nullptr;
    OffscreenSurface offscreen_;  // the double buffer
    bool doubleBuffered_ = false;
    bool topmostStyle_ = false;
    bool alphaBlend_ = false;
    BYTE alphaBlendValue_ = 255;
    bool placed_ = false;
    bool activatedSinceShow_ = false;
    HWND focused_ = nullptr;  // the control that had the focus when the form was left
};

}  // namespace brimview::ui
