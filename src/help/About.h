#pragma once
// What the About box asks of the system: the program's version from its own version record,
// and opening the maker's home page with the shell.
#include <string>

#include "platform/FileStore.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

namespace brimview {

// The file version of the running executable's version record, as "1.0.1.0"; empty when the
// executable has no version record or it cannot be read.
std::string ReadVersionText(const FileStore& files);

// The same for any file, by its ANSI path.
std::string FileVersionText(const std::string& path);

// Opens the text (a web address) with the shell's "open", owned by the given window (the
// application's); a failure (no browser, no association) is not reported.
void OpenLink(HWND owner, const std::string& url);

// The About box: the program's icon, name and version, the maker's lines and a link to
// the maker's home page.
class TAboutBox : public ui::Form {
public:
    TAboutBox(ui::Component* owner, const FileStore& files);

    ui::Label* ProductName;
    ui::Label* Version;
    ui::Label* Copyright;
    ui::Label* Copyright2;
    ui::LinkLabel* URL;
    ui::Label* Comments;

    void FormCreate(ui::Component& sender);
    void UrlMailClick(ui::Component& sender);

protected:
    // The version is read when the box is first shown, so that the version DLL is not loaded
    // at start-up; the executable's version record does not change while it runs.
    void WindowCreated() override;

private:
    const FileStore& files_;
};

}  // namespace brimview
