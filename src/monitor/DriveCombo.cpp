#include "monitor/DriveCombo.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "ui/StdCtrls.h"
#include "ui/Text.h"

namespace brimview {
namespace {

// The icon resources in the order of DriveKind.
constexpr const wchar_t* kIconNames[] = {L"FLOPPY", L"HARD", L"NETWORK", L"CDROM", L"RAM"};
// An item's layout at 96 dpi: the icon drawn this far into its place, the place's width (kept
// for an icon not yet known too), and the text this far after the place.
constexpr int kIconMargin = 2;
constexpr int kIconWidth = 16;
constexpr int kTextGap = 6;

char CurrentDirectoryDrive() {
    char directory[MAX_PATH + 1] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    return InitialSelectedDrive(directory);
}

}  // namespace

TDriveComboBox::TDriveComboBox(ui::Component* owner, ui::WinControl* parent, QueryRunner& queries,
                               std::shared_ptr<DriveCatalog> drives, const TextServices& text)
    : ui::WinControl(owner, parent), model_(queries, std::move(drives), text, CurrentDirectoryDrive()) {
    LoadIcons();
    // The model's change comes after the list shows the new selection.
    model_.OnChange = [this] {
        ShowSelection();
        if (OnChange) OnChange(*this);
    };
    model_.OnClick = [this] {
        if (OnClick) OnClick(*this);
    };
    model_.OnItemChanged = [this](int index) {
        if (HandleAllocated()) ReplaceItem(index);
    };
    model_.OnItemRemoved = [this](int index) {
        if (HandleAllocated()) RemoveItem(index);
    };
    MeasureItemHeight();
}

void TDriveComboBox::LoadIcons() {
    const int percent = ui::ArtPercent(Dpi(), kIconWidth);
    iconWidth_ = ui::ArtLength(kIconWidth, percent);
    for (size_t i = 0; i < icons_.size(); ++i) icons_[i] = ui::LoadArt(kIconNames[i], percent);
}

void TDriveComboBox::DpiChanged() {
    LoadIcons();
    ui::WinControl::DpiChanged();  // the new font measures the items again
}

void TDriveComboBox::SetSelectedDrive(char letter) {
    // Asking for the selection needs the list, which is built with the window.
    Handle();
    model_.SetSelectedDrive(letter);
    ShowSelection();
}

void TDriveComboBox::SetTextCase(TTextCase textCase) {
    model_.SetTextCase(textCase);
    if (HandleAllocated()) ShowItems();
}

void TDriveComboBox::CreateParamsFor(CreateParams& params) {
    ui::WinControl::CreateParamsFor(params);
    params.className = WC_COMBOBOXW;
    params.style =
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
    params.height = WindowHeight();
}

void TDriveComboBox::WindowCreated() {
    SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight_);
    SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, itemHeight_);
    ui::FitComboHeight(Handle(), Height());
    model_.WindowCreated();
    ShowItems();
}

void TDriveComboBox::ShowItems() {
    HWND box = Handle();
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < static_cast<int>(model_.Items().size()); ++i) {
        const std::wstring text = ItemText(i);
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    ShowSelection();
}

std::wstring TDriveComboBox::ItemText(int index) const {
    return ui::AnsiToWide(model_.Items()[static_cast<std::size_t>(index)].text);
}

// Drives fill their items in one by one, also while the list is dropped down: each answer
// touches only its own item, and the rest of the list stays as it is.
void TDriveComboBox::RemoveItem(int index) {
    SendMessageW(Handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    ShowSelection();
}

void TDriveComboBox::ReplaceItem(int index) {
    HWND box = Handle();
    const std::wstring text = ItemText(index);
    SendMessageW(box, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(box, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
    ShowSelection();
}

// Setting the selection redraws the box at once, so it is set only when it differs.
void TDriveComboBox::ShowSelection() {
    if (!HandleAllocated()) return;
    const int index = model_.SelectedIndex();
    if (SendMessageW(Handle(), CB_GETCURSEL, 0, 0) != index)
        SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TDriveComboBox::MeasureItemHeight() {
    WindowDc screen(nullptr);
    Selection font(screen.get(), FontHandle());
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.get(), &metrics);
    int floppy = icons_[0] ? ui::BitmapSize(icons_[0].get()).cy : 0;
    itemHeight_ = std::max<int>(metrics.tmHeight, floppy);
}

// The height of a combo box window includes its dropped-down list.
int TDriveComboBox::WindowHeight() const {
    return Height() + 8 * itemHeight_ + 2;
}

void TDriveComboBox::SetPixelBounds(int left, int top, int width, int height) {
    ui::Control::SetPixelBounds(left, top, width, height);
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, left, top, width, WindowHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TDriveComboBox::FontChanged() {
    MeasureItemHeight();
    if (!HandleAllocated()) return;
    ui::WinControl::FontChanged();
    SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight_);
    SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, itemHeight_);
    SetPixelBounds(left_, top_, width_, height_);  // the list's rows have a new height
    ui::FitComboHeight(Handle(), Height());
}

HBITMAP TDriveComboBox::IconFor(DriveKind kind) const {
    return icons_[static_cast<size_t>(kind)].get();
}

void TDriveComboBox::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    bool selected = item.itemState & ODS_SELECTED;
    COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    UniqueBrush brush(CreateSolidBrush(back));
    FillRect(dc, &r, brush.get());
    const auto& items = model_.Items();
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= items.size()) return;

    const DriveItem& drive = items[item.itemID];
    // The box's field begins after its edge, which the system keeps in its own pixels as it
    // does the box's height (see FitComboHeight): the contents are placed from that edge scaled,
    // so that they sit where they do at 96 dpi, scaled. The dropped-down list's items begin at 0.
    const int left = Scale(r.left);
    HBITMAP icon = drive.kind ? IconFor(*drive.kind) : nullptr;
    if (icon) {
        SIZE size = ui::BitmapSize(icon);
        // The key pixels are left out, so the item's background shows there.
        ui::DrawTransparentBitmap(dc, left + Scale(kIconMargin), (r.top + r.bottom - size.cy) / 2, icon,
                                  ui::BottomLeftColor(icon));
    }
    Selection font(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    std::wstring text = ui::AnsiToWide(drive.text);
    RECT textRect{left + iconWidth_ + Scale(kTextGap), r.top, r.right, r.bottom};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
}

bool TDriveComboBox::Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_DRAWITEM) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    if (msg == WM_COMMAND && HIWORD(wParam) == CBN_SELCHANGE) {
        model_.UserPicked(static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)));
        result = 0;
        return true;
    }
    return false;
}

}  // namespace brimview
