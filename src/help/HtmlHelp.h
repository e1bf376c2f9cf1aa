#pragma once
// The help component: serves the application's help requests with the HTML Help viewer
// (HtmlHelpW of hhctrl.ocx) and the compiled help file beside the executable.
#include <windows.h>

#include <htmlhelp.h>
#include <oleauto.h>

#include <functional>

#include "help/HelpRouting.h"
#include "platform/FileStore.h"
#include "ui/Component.h"

namespace brimview {

// The viewer's entry point: (caller window, help file, command, data) -> the window it opened, or null.
// The file is named in UTF-16, so that any folder name reaches the viewer.
using HtmlHelpFunction = std::function<HWND(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data)>;

// HtmlHelpW of hhctrl.ocx, loaded at the first help request; null when the viewer is missing.
HWND SystemHtmlHelp(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data);

// The viewer's last-error record, which MinGW's htmlhelp.h lacks. The description, when
// present, is the caller's to free.
struct HhLastError {
    int cbStruct;
    HRESULT hr;
    BSTR description;
};

class THTMLHelp : public ui::Component {
public:
    // Installs the component as the application's help handler; the last one made wins.
    THTMLHelp(ui::Component* owner, const FileStore& files, HtmlHelpFunction viewer = SystemHtmlHelp);
    // Uninitialises the viewer if it was initialised, and takes the handler back.
    ~THTMLHelp() override;

    // The application's help event: one help request in, viewer calls out. A file that is
    // not a ".chm" is left to the application's default help (callHelp stays as it is).
    bool HelpHandler(WORD command, DWORD_PTR data, bool& callHelp);

private:
    static constexpr DWORD kNotInitialized = static_cast<DWORD>(-1);

    void ShowTextPopup(const std::string& helpFile, std::uint32_t id) const;
    void ReportLastError(HWND caller) const;

    const FileStore& files_;
    HtmlHelpFunction viewer_;
    DWORD cookie_ = kNotInitialized;
    PopupPosition popup_;  // the last HELP_SETPOPUP_POS, kept for the whole run
};

}  // namespace brimview
