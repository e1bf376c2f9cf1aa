#include "ui/Controls.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>

#include "ui/Application.h"

namespace brimview::ui {
namespace {

constexpr wchar_t kSelfProperty[] = L"Brimview.Control";
constexpr wchar_t kDefaultClass[] = L"TBrimControl";

LRESULT CALLBACK OwnClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);

void RegisterOwnClass(const std::wstring& name) {
    WNDCLASSEXW wc{};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = OwnClassProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name.c_str();
    RegisterClassExW(&wc);
}

}  // namespace

LRESULT CALLBACK DispatchMessageTo(WinControl* self, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The messages of the window's creation arrive before CreateWindowExW returns its handle; the
    // default handling needs it from the first of them on.
    if (!self->hwnd_) self->hwnd_ = hwnd;
    LRESULT result = 0;
    try {
        result = self->WndProc(msg, wParam, lParam);
    } catch (const std::exception& e) {
        // A failure must not cross the system's callback frames: report it here.
        self->App().ShowException(e);
    }
    if (msg == WM_NCDESTROY) {
        RemovePropW(hwnd, kSelfProperty);
        if (!self->ownClass_) RemoveWindowSubclass(hwnd, SubclassProc, 0);
        self->hwnd_ = nullptr;
        self->tooltip_ = nullptr;
    }
    return result;
}

namespace {

LRESULT CALLBACK OwnClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<WinControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetPropW(hwnd, kSelfProperty, self);
    }
    if (WinControl* self = WinControl::FromHandle(hwnd)) return DispatchMessageTo(self, hwnd, msg, wParam, lParam);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    return DispatchMessageTo(reinterpret_cast<WinControl*>(self), hwnd, msg, wParam, lParam);
}

}  // namespace

HDC OffscreenSurface::Get(int width, int height) {
    if (!dc_ || width != width_ || height != height_) {
        const WindowDc screen(nullptr);
        selected_.reset();
        if (!dc_) dc_.reset(CreateCompatibleDC(screen.get()));
        bitmap_.reset(CreateCompatibleBitmap(screen.get(), width, height));
        selected_.emplace(dc_.get(), bitmap_.get());
        width_ = width;
        height_ = height;
    }
    return dc_.get();
}

UniqueFont FontSpec::Create(int dpi) const {
    LOGFONTW lf{};
    lf.lfHeight = -ScaleToDpi(height, dpi);
    lf.lfCharSet = charset;
    lf.lfUnderline = underline;
    lf.lfQuality = DEFAULT_QUALITY;
    wcsncpy(lf.lfFaceName, name.c_str(), LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&lf));
}

Control::Control(Component* owner, WinControl* parent) : Component(owner), parent_(parent) {
    if (parent_) parent_->AddChild(this);
}

Control::~Control() {
    if (parent_) parent_->RemoveChild(this);
}

void Control::SetBounds(int left, int top, int width, int height) {
    layout_ = Bounds{left, top, width, height};
    SetPixelBounds(Scale(left), Scale(top), Scale(width), Scale(height));
}

void Control::SetPixelBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

int Control::Dpi() const {
    return parent_ ? parent_->Dpi() : kDesignDpi;
}

void Control::DpiChanged() {
    if (layout_)
        SetPixelBounds(Scale(layout_->left), Scale(layout_->top), Scale(layout_->width), Scale(layout_->height));
}

void Control::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Invalidate();
}

void GraphicControl::Invalidate() {
    if (Parent() && Parent()->HandleAllocated()) {
        RECT r = BoundsRect();
        InvalidateRect(Parent()->Handle(), &r, TRUE);
    }
}

WinControl::WinControl(Component* owner, WinControl* parent)
    : Control(owner, parent), color_(GetSysColor(COLOR_BTNFACE)) {
    if (parent) font_ = parent->font_;
    fontHandle_ = font_.Create(Dpi());
}

WinControl::~WinControl() {
    DestroyHandle();
}

WinControl* WinControl::FromHandle(HWND hwnd) {
    return static_cast<WinControl*>(GetPropW(hwnd, kSelfProperty));
}

HWND WinControl::Handle() {
    if (!hwnd_) CreateHandle();
    return hwnd_;
}

void WinControl::CreateParamsFor(CreateParams& params) {
    // Each control is a group of its own for the arrow keys; radio buttons side by side
    // share one (see RadioButton).
    params.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_GROUP | (visible_ ? WS_VISIBLE : 0);
    // Tab, the arrows and the access keys reach the controls inside a container.
    if (!TabOrdered().empty()) params.exStyle |= WS_EX_CONTROLPARENT;
    if (Parent()) params.parent = Parent()->Handle();
    params.x = left_;
    params.y = top_;
    params.width = width_;
    params.height = height_;
}

void WinControl::CreateHandle() {
    CreateParams params;
    CreateParamsFor(params);
    ownClass_ = params.className == nullptr;
    std::wstring className = kDefaultClass;
    if (ownClass_) {
        if (!params.ownClass.empty()) className = params.ownClass;
        RegisterOwnClass(className);
    }
    HWND hwnd =
        CreateWindowExW(params.exStyle, ownClass_ ? className.c_str() : params.className, params.caption.c_str(),
                        params.style, params.x, params.y, params.width, params.height, params.parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(params.id)), GetModuleHandleW(nullptr), this);
    if (!hwnd) throw AppError("ウィンドウを作成できません");
    if (!ownClass_) {
        SetPropW(hwnd, kSelfProperty, this);
        SetWindowSubclass(hwnd, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    hwnd_ = hwnd;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle_.get()), FALSE);
    WindowCreated();

    for (Control* child : children_)
        if (auto* graphic = dynamic_cast<GraphicControl*>(child)) graphic->ParentWindowCreated();
    for (WinControl* child : TabOrdered())
        if (!child->HandleAllocated()) child->CreateHandle();
}

std::vector<WinControl*> WinControl::TabOrdered() const {
    std::vector<WinControl*> windowed;
    for (Control* child : children_)
        if (auto* w = dynamic_cast<WinControl*>(child)) windowed.push_back(w);
    std::stable_sort(windowed.begin(), windowed.end(),
                     [](const WinControl* a, const WinControl* b) { return a->tabOrder < b->tabOrder; });
    return windowed;
}

bool WinControl::DialogKey(const MSG& msg) {
    for (WinControl* child : TabOrdered())
        if (child->HandleAllocated() && child->DialogKey(msg)) return true;
    return false;
}

void WinControl::CreateTooltips() {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    for (Control* child : children_) {
        auto* graphic = dynamic_cast<GraphicControl*>(child);
        if (!graphic || graphic->hint.empty()) continue;
        if (!tooltip_)
            tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(graphic);
        tool.rect = graphic->BoundsRect();
        tool.lpszText = graphic->hint.data();
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void WinControl::DestroyHandle() {
    if (!hwnd_) return;
    WindowDestroying();
    DestroyWindow(hwnd_);  // WM_NCDESTROY clears hwnd_ of this control and its children
}

void WinControl::RecreateWnd() {
    if (!hwnd_) return;
    DestroyHandle();
    CreateHandle();
}

void WinControl::Invalidate() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void WinControl::SetPixelBounds(int left, int top, int width, int height) {
    Control::SetPixelBounds(left, top, width, height);
    if (hwnd_) SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WinControl::SetVisible(bool visible) {
    visible_ = visible;
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

void WinControl::SetFont(const FontSpec& font) {
    font_ = font;
    fontHandle_ = font_.Create(Dpi());
    FontChanged();
}

void WinControl::DpiChanged() {
    Control::DpiChanged();
    fontHandle_ = font_.Create(Dpi());
    FontChanged();
    // The hints' tooltip knows the old places of the controls: it is made anew when the
    // mouse next comes.
    if (tooltip_) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    for (Control* child : children_) child->DpiChanged();
}

void WinControl::FontChanged() {
    if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle_.get()), TRUE);
}

void WinControl::SetColor(COLORREF color) {
    color_ = color;
    Invalidate();
}

void WinControl::RemoveChild(Control* child) {
    std::erase(children_, child);
    if (hot_ == child) hot_ = nullptr;
    if (captured_ == child) captured_ = nullptr;
}

void WinControl::PaintGraphicChildren(HDC dc) {
    for (Control* child : children_) {
        auto* graphic = dynamic_cast<GraphicControl*>(child);
        if (!graphic || !graphic->Visible()) continue;
        SavedDc saved(dc);
        POINT origin;
        GetViewportOrgEx(dc, &origin);
        SetViewportOrgEx(dc, origin.x + graphic->Left(), origin.y + graphic->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, graphic->Width(), graphic->Height());
        graphic->Paint(dc);
    }
}

GraphicControl* WinControl::GraphicAt(POINT pt) const {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        auto* graphic = dynamic_cast<GraphicControl*>(*it);
        RECT r = (*it)->BoundsRect();
        if (graphic && graphic->Visible() && PtInRect(&r, pt)) return graphic;
    }
    return nullptr;
}

LRESULT WinControl::OnMouse(UINT msg, LPARAM lParam) {
    POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    GraphicControl* under = msg == WM_MOUSELEAVE ? nullptr : GraphicAt(pt);
    if (under != hot_) {
        if (hot_) hot_->MouseLeave();
        hot_ = under;
        if (hot_) {
            hot_->MouseEnter();
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
            TrackMouseEvent(&track);
        }
    }
    GraphicControl* target = captured_ ? captured_ : under;
    if (!target) return 0;
    POINT local{pt.x - target->Left(), pt.y - target->Top()};
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
        captured_ = target;
        SetCapture(hwnd_);
        target->MouseDown(local);
    } else if (msg == WM_LBUTTONUP && captured_) {
        captured_ = nullptr;
        ReleaseCapture();
        target->MouseUp(local);
    }
    return 0;
}

bool WinControl::Reflected(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

HBRUSH WinControl::BackgroundBrush() {
    if (backgroundColor_ != color_ || !background_) {
        background_.reset(CreateSolidBrush(color_));
        backgroundColor_ = color_;
    }
    return background_.get();
}

LRESULT WinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ownClass_ ? DefWindowProcW(hwnd_, msg, wParam, lParam) : DefSubclassProc(hwnd_, msg, wParam, lParam);
}

LRESULT WinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND from = nullptr;
    switch (msg) {
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_HSCROLL:
        case WM_VSCROLL:
            from = reinterpret_cast<HWND>(lParam);
            break;
        case WM_NOTIFY:
            from = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
            break;
        case WM_DRAWITEM:
            from = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
            break;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                POINT pt;
                GetCursorPos(&pt);
                ScreenToClient(hwnd_, &pt);
                if (GraphicControl* under = GraphicAt(pt); under && under->cursor) {
                    SetCursor(under->cursor);
                    return TRUE;
                }
            }
            return DefaultHandler(msg, wParam, lParam);
        case WM_MOUSEMOVE:
            // The hints' tooltip window is made when the mouse first comes, not at start:
            // a window of its own costs the start several milliseconds under Wine.
            if (!tooltip_) CreateTooltips();
            [[fallthrough]];
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_MOUSELEAVE:
            OnMouse(msg, lParam);
            return DefaultHandler(msg, wParam, lParam);
        default:
            break;
    }
    if (from && from != hwnd_) {
        LRESULT result = 0;
        if (WinControl* child = FromHandle(from); child && child->Reflected(msg, wParam, lParam, result)) return result;
    }
    return DefaultHandler(msg, wParam, lParam);
}

void CustomControl::EraseBackground(HDC dc) {
    RECT r{0, 0, width_, height_};
    FillRect(dc, &r, BackgroundBrush());
}

void CustomControl::PaintAll(HDC dc) {
    Paint(dc);
    PaintGraphicChildren(dc);
}

LRESULT CustomControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            EraseBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_PAINT: {
            const PaintDc dc(Handle());
            PaintAll(dc.get());
            return 0;
        }
        case WM_PRINTCLIENT:
            if (lParam & PRF_ERASEBKGND) EraseBackground(reinterpret_cast<HDC>(wParam));
            PaintAll(reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            return WinControl::WndProc(msg, wParam, lParam);
    }
}

}  // namespace brimview::ui
