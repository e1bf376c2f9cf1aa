#include "settings/FileComboTF.h"

#include <commctrl.h>

#include <utility>

#include "platform/Handles.h"
#include "ui/StdCtrls.h"
#include "ui/Text.h"

namespace brimview {
namespace {

// The old volume-label attribute, which a search may still report on some file systems.
constexpr DWORD kVolumeLabelAttribute = 0x8;
// Rows the dropped-down list shows before it scrolls.
constexpr int kDropDownRows = 8;

std::string CurrentDirectory() {
    const DWORD size = GetCurrentDirectoryA(0, nullptr);  // counts the terminating NUL
    if (size == 0) return {};
    std::string directory(size, '\0');
    const DWORD length = GetCurrentDirectoryA(size, directory.data());
    directory.resize(length < size ? length : 0);
    return directory;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The long names of the files matching the pattern, in the order the search delivers them.
std::vector<std::string> FindFiles(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const UniqueFind search(FindFirstFileA(pattern.c_str(), &found));
    if (!search) return names;
    do {
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | kVolumeLabelAttribute)))
            names.emplace_back(found.cFileName);
    } while (FindNextFileA(search.get(), &found));
    return names;
}

}  // namespace

TFileComboTF::TFileComboTF(ui::Component* owner, ui::WinControl* parent)
    : ui::WinControl(owner, parent), directory_(CurrentDirectory()) {}

void TFileComboTF::SetDirectory(std::string directory) {
    Refill(std::move(directory));
}

void TFileComboTF::SetMask(std::string mask) {
    mask_ = std::move(mask);
    Refill(directory_);
}

void TFileComboTF::Refill(std::string directory) {
    directory_ = std::move(directory);
    available_ = IsFolder(directory_);
    // The pattern is joined as it stands: a trailing separator of the folder stays.
    names_ = available_ ? FindFiles(directory_ + "\\" + mask_) : std::vector<std::string>();
    if (HandleAllocated()) ShowItems();
    Invalidate();
}

void TFileComboTF::ShowItems() {
    HWND box = Handle();
    // Emptying the list also clears the selection.
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : names_) {
        const std::wstring text = ui::AnsiToWide(name);
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void TFileComboTF::SetItemHeight(int height) {
    itemHeight_ = height;
    if (HandleAllocated() && itemHeight_ > 0) SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, Scale(itemHeight_));
}

std::vector<std::string> TFileComboTF::Items() {
    HWND box = Handle();
    const auto count = SendMessageW(box, CB_GETCOUNT, 0, 0);
    std::vector<std::string> items;
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(box, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        const LRESULT length = SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        items.push_back(ui::WideToAnsi(text));
    }
    return items;
}

int TFileComboTF::ItemIndex() {
    return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
}

void TFileComboTF::SetItemIndex(int index) {
    SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int TFileComboTF::WindowHeight() const {
    // The window of a combo box includes its dropped-down list.
    return Height() + kDropDownRows * (itemHeight_ > 0 ? Scale(itemHeight_) : Height()) + 2;
}

void TFileComboTF::SetPixelBounds(int left, int top, int width, int height) {
    ui::Control::SetPixelBounds(left, top, width, height);
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, left, top, width, WindowHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFileComboTF::CreateParamsFor(CreateParams& params) {
    ui::WinControl::CreateParamsFor(params);
    params.className = WC_COMBOBOXW;
    params.style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT;
    params.height = WindowHeight();
}

void TFileComboTF::WindowCreated() {
    if (itemHeight_ > 0) SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, Scale(itemHeight_));
    ui::FitComboHeight(Handle(), Height());
    ShowItems();
}

void TFileComboTF::DpiChanged() {
    ui::WinControl::DpiChanged();
    if (!HandleAllocated()) return;
    if (itemHeight_ > 0) SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, Scale(itemHeight_));
    ui::FitComboHeight(Handle(), Height());
}

}  // namespace brimview
