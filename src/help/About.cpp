#include "help/About.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "drawing/TrPanel.h"
#include "help/HelpRouting.h"
#include "platform/SystemLibrary.h"
#include "ui/Application.h"
#include "ui/DialogCtrls.h"
#include "ui/Text.h"

namespace brimview {

std::string ReadVersionText(const FileStore& files) {
    return FileVersionText(files.ExecutablePath());
}

std::string FileVersionText(const std::string& path) {
    static const auto infoSize =
        SystemFunctionAs<decltype(&GetFileVersionInfoSizeW)>(L"version.dll", "GetFileVersionInfoSizeW");
    static const auto fileInfo =
        SystemFunctionAs<decltype(&GetFileVersionInfoW)>(L"version.dll", "GetFileVersionInfoW");
    static const auto queryValue = SystemFunctionAs<decltype(&VerQueryValueW)>(L"version.dll", "VerQueryValueW");
    if (!infoSize || !fileInfo || !queryValue) return {};
    const std::wstring widePath = Widen(path);
    DWORD unused = 0;
    const DWORD size = infoSize(widePath.c_str(), &unused);
    if (size == 0) return {};
    std::vector<BYTE> record(size);
    if (!fileInfo(widePath.c_str(), 0, size, record.data())) return {};
    void* fixed = nullptr;
    UINT length = 0;
    // "\" is the fixed part; a shorter block than its layout would be read beyond its end.
    if (!queryValue(record.data(), L"\\", &fixed, &length) || !fixed || length < sizeof(VS_FIXEDFILEINFO)) return {};
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    return FormatVersion(info->dwFileVersionMS, info->dwFileVersionLS);
}

void OpenLink(HWND owner, const std::string& url) {
    static const auto shellExecute = SystemFunctionAs<decltype(&ShellExecuteA)>(L"shell32.dll", "ShellExecuteA");
    if (shellExecute) shellExecute(owner, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

namespace {

constexpr wchar_t kHomePage[] = L"https://example.org/";

}  // namespace

TAboutBox::TAboutBox(ui::Component* owner, const FileStore& files) : ui::Form(owner, L"TAboutBox"), files_(files) {
    using namespace std::placeholders;
    caption = L"About";
    clientWidth = 298;
    clientHeight = 213;
    border = ui::FormBorder::Dialog;
    position = ui::FormPosition::ScreenCenter;
    windowOnFirstShow = true;
    SetFont(ui::FontSpec{});
    const ui::FontSpec font;

    auto& panel = Make<TTransPanel>(this);
    panel.SetBounds(8, 8, 281, 161);
    panel.SetBevelInner(TBevelCut::bvRaised);
    panel.SetBevelOuter(TBevelCut::bvLowered);
    auto& icon = Make<ui::Image>(&panel, L"MAINICON");
    icon.SetBounds(8, 8, 32, 32);
    ProductName = &Make<ui::Label>(&panel, ui::Bounds{79, 8, 0, 12}, L"", font);
    Version = &Make<ui::Label>(&panel, ui::Bounds{79, 28, 0, 12}, L"", font);
    Copyright = &Make<ui::Label>(&panel, ui::Bounds{79, 56, 0, 12}, L"Copyright (C) Brimview project", font);
    Copyright2 = &Make<ui::Label>(&panel, ui::Bounds{166, 69, 0, 12}, L"All rights reserved.", font);
    ui::FontSpec link = font;
    link.color = RGB(0, 0, 255);
    link.underline = true;
    URL = &Make<ui::LinkLabel>(&panel, POINT{142, 86}, kHomePage, link);
    URL->hint = kHomePage;
    URL->OnClick = std::bind(&TAboutBox::UrlMailClick, this, _1);
    Comments = &Make<ui::Label>(&panel, ui::Bounds{79, 116, 0, 12}, L"ドライブの容量と空き領域を表示します", font);

    auto& ok = Make<ui::Button>(this, L"OK", IDOK, ui::mrOk, true);
    ok.SetBounds(111, 180, 75, 25);
    // OK comes first, so that the box opens with the focus on it and Enter closes it; Tab
    // then reaches the link.
    ok.tabOrder = 0;
    panel.tabOrder = 1;

    OnCreate = std::bind(&TAboutBox::FormCreate, this, _1);
}

void TAboutBox::FormCreate(ui::Component&) {
    caption = App().Title() + L" のバージョン情報";
    if (HandleAllocated()) SetWindowTextW(Handle(), caption.c_str());
    ProductName->SetCaption(App().Title());
}

void TAboutBox::WindowCreated() {
    ui::Form::WindowCreated();
    Version->SetCaption(L"Version: " + ui::AnsiToWide(ReadVersionText(files_)));
}

void TAboutBox::UrlMailClick(ui::Component& sender) {
    if (auto* label = dynamic_cast<ui::LinkLabel*>(&sender)) OpenLink(App().Handle(), ui::WideToAnsi(label->hint));
}

}  // namespace brimview
