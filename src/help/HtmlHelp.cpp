#include "help/HtmlHelp.h"

#include <memory>
#include <string>
#include <utility>

#include "platform/Handles.h"
#include "platform/SystemLibrary.h"
#include "platform/WideText.h"
#include "ui/Application.h"

namespace brimview {
namespace {

static_assert(kHhDisplayTopic == HH_DISPLAY_TOPIC && kHhDisplayTextPopup == HH_DISPLAY_TEXT_POPUP &&
              kHhHelpContext == HH_HELP_CONTEXT && kHhGetLastError == HH_GET_LAST_ERROR &&
              kHhInitialize == HH_INITIALIZE && kHhUninitialize == HH_UNINITIALIZE);
static_assert(kHelpContext == HELP_CONTEXT && kHelpContents == HELP_CONTENTS &&
              kHelpContextPopup == HELP_CONTEXTPOPUP && kHelpFinder == HELP_FINDER &&
              kHelpSetPopupPos == HELP_SETPOPUP_POS);
static_assert(sizeof(void*) != 4 || (sizeof(HhLastError) == 12 && sizeof(HH_POPUP) == 52),
              "the viewer's 32-bit record layouts");

// The application's help event as installed: it names its component, so that the component
// can tell at its end whether the event still leads to it.
struct HelpForwarder {
    THTMLHelp* help;
    bool operator()(WORD command, DWORD_PTR data, bool& callHelp) const {
        return help->HelpHandler(command, data, callHelp);
    }
};

}  // namespace

HWND SystemHtmlHelp(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data) {
    static const auto htmlHelp = SystemFunctionAs<decltype(&HtmlHelpW)>(L"hhctrl.ocx", "HtmlHelpW");
    return htmlHelp ? htmlHelp(caller, file, command, data) : nullptr;
}

THTMLHelp::THTMLHelp(ui::Component* owner, const FileStore& files, HtmlHelpFunction viewer)
    : Component(owner), files_(files), viewer_(std::move(viewer)) {
    App().OnHelp = HelpForwarder{this};
}

THTMLHelp::~THTMLHelp() {
    if (cookie_ != kNotInitialized) viewer_(nullptr, nullptr, HH_UNINITIALIZE, cookie_);
    // A request after this component is gone must not reach it.
    const auto* installed = App().OnHelp.target<HelpForwarder>();
    if (installed && installed->help == this) App().OnHelp = nullptr;
}

bool THTMLHelp::HelpHandler(WORD command, DWORD_PTR data, bool& callHelp) {
    // Tried at every request until the viewer hands out a cookie.
    if (cookie_ == kNotInitialized) viewer_(nullptr, nullptr, HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&cookie_));
    // The viewer's windows belong to the desktop, not to a window of the program.
    HWND desktop = GetDesktopWindow();
    // Neither the forms nor the application name a help file of their own.
    const std::string helpFile = CurrentHelpFile({}, {}, files_.ExecutablePath());
    if (!IsHtmlHelpFile(helpFile)) return false;
    callHelp = false;

    // The data is a 32-bit value, even where DWORD_PTR is wider.
    const auto value = static_cast<std::uint32_t>(data);
    const HelpRoute route = RouteHelpCommand(command, value);
    switch (route.action) {
        case HelpAction::None:
            break;
        case HelpAction::SetPopupPosition:
            popup_ = PopupPositionFrom(value);
            break;
        case HelpAction::ShowTopic:
            if (viewer_(desktop, Widen(helpFile).c_str(), route.viewerCommand, route.viewerData)) break;
            if (route.popupFallback) ShowTextPopup(helpFile, route.viewerData);
            if (route.reportsError) ReportLastError(desktop);
            break;
    }
    return false;
}

void THTMLHelp::ShowTextPopup(const std::string& helpFile, std::uint32_t id) const {
    HH_POPUP popup{};
    popup.cbStruct = sizeof popup;
    popup.hinst = nullptr;
    popup.idString = id;
    popup.pszText = nullptr;
    popup.pt = {popup_.x, popup_.y};
    popup.clrForeground = static_cast<COLORREF>(-1);  // the viewer's own colours
    popup.clrBackground = static_cast<COLORREF>(-1);
    popup.rcMargins = {-1, -1, -1, -1};  // and margins
    popup.pszFont = nullptr;
    const std::wstring texts = Widen(helpFile + "::/cshelp.txt");
    viewer_(GetActiveWindow(), texts.c_str(), HH_DISPLAY_TEXT_POPUP, reinterpret_cast<DWORD_PTR>(&popup));
}

void THTMLHelp::ReportLastError(HWND caller) const {
    HhLastError record{sizeof record, S_OK, nullptr};
    viewer_(caller, nullptr, HH_GET_LAST_ERROR, reinterpret_cast<DWORD_PTR>(&record));
    // Freed whether it is shown or not.
    const UniqueBstr description(record.description);
    if (!ShowsViewerError(record.hr, description != nullptr)) return;
    MessageBoxW(GetActiveWindow(), description.get(), App().Title().c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace brimview
