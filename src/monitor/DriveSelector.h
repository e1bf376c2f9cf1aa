#pragma once
// The drive selector's list and selection, apart from the list control that shows them:
// the drives of the machine, one item each, the chosen letter and the change events.
//
// The owner-drawn combo box holds one DriveSelectorModel and calls it like this:
//   - window created or re-created: WindowCreated(), then show Items() and SelectedIndex();
//   - OnItemChanged(index): replace that item in the list;
//   - OnItemRemoved(index): take that item out of the list and show SelectedIndex() again;
//   - SelectedDrive written: make sure the window exists (the rule needs the list), then
//     SetSelectedDrive(letter);
//   - TextCase written: make sure the window exists, then SetTextCase(textCase), then show
//     Items() again;
//   - the list reports a selection change by the user: UserPicked(the list's selection,
//     -1 for none).
// Every change of the selection is followed by OnChange, so its handler is the place to
// put SelectedIndex() into the list (before passing the event on to the owner).
//
// The list holds every drive letter of the machine as soon as it is built: the letters come
// from the system's own table, which touches no drive. The rest is asked away from the
// window's thread, one query per drive: its kind (and so its icon) comes in first, and a
// drive of a kind that is not listed goes; its label or network name follows.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/QueryThreads.h"
#include "platform/DriveServices.h"
#include "platform/TextServices.h"

namespace brimview {

// Letter case of the item texts and of the selected drive letter.
enum class TTextCase { tcLowerCase, tcUpperCase };

// What an item's icon shows, in the order of the icon resources FLOPPY, HARD, NETWORK,
// CDROM, RAM.
enum class DriveKind { Removable, Fixed, Network, CdRom, RamDisk };

struct DriveItem {
    std::string text;               // "A:", "C: [SYSTEM]", "Z: \\SERVER\SHARE" (ANSI bytes); "C:" until the label is in
    std::optional<DriveKind> kind;  // none until the drive has told it
};

// The drive of a current directory: its first character as given, or 0 when the directory
// is a network path beginning with "\" (or unknown, empty).
char InitialSelectedDrive(std::string_view currentDirectory);

// A text in the case of an upper- or lower-case letter. On a double-byte code page only the
// ASCII letters change and each double-byte character is kept as it is; otherwise the
// locale's full case mapping applies.
std::string FoldCase(std::string_view text, TTextCase textCase, const TextServices& textServices);

class DriveSelectorModel {
public:
    // No items until the window is created; the selected drive is remembered as given.
    // The drives are asked through `queries`.
    DriveSelectorModel(QueryRunner& queries, std::shared_ptr<DriveCatalog> drives, const TextServices& text,
                       char initialDrive);

    const std::vector<DriveItem>& Items() const { return items_; }
    // The item shown as selected; -1 for none.
    int SelectedIndex() const { return selectedIndex_; }
    // The drive letter, or 0 for no drive.
    char SelectedDrive() const { return selectedDrive_; }
    TTextCase TextCase() const { return textCase_; }

    // The control's window was created: the list is built afresh and the remembered drive
    // is selected again, which always raises OnChange. The drives fill their items in later;
    // a drive whose query is still out from an earlier list is not asked again, and its
    // answer fills the new list in.
    void WindowCreated();
    // The selection rule. Writing the drive already selected does nothing; 0 clears the
    // selection; any other letter is stored in the text case and selects its item, or no
    // item when the drive is not listed. Then OnChange.
    void SetSelectedDrive(char letter);
    // A new case rebuilds the list, once it has been built, and selects the remembered drive
    // again (with OnChange).
    void SetTextCase(TTextCase textCase);
    // The user made the list's selection `index` (-1 for none): OnClick, then the item's
    // letter through the selection rule, then OnChange once more in any case.
    void UserPicked(int index);

    std::function<void()> OnChange;
    std::function<void()> OnClick;
    // The item at `index` was completed with the drive's kind, or its label or network name.
    std::function<void(int index)> OnItemChanged;
    // The drive at `index` is of a kind that is not listed and has left the list; the selection
    // names the same drive as before, or none when it was this one.
    std::function<void(int index)> OnItemRemoved;

private:
    // What a drive's name query found: the remote name of a connection, else the label.
    struct DriveName {
        std::optional<std::string> remote;
        std::string label;
    };
    // What a drive's query found so far: its kind (none: not listed), then its name.
    struct DriveFacts {
        std::optional<DriveKind> kind;
        std::optional<DriveName> name;
    };

    // Builds the list anew, selects the remembered drive again (with OnChange) and asks the drives.
    void RebuildDriveList();
    void AskDrive(int n);
    void Answered(int n, const DriveFacts& facts);
    char Letter(int n) const;

    std::shared_ptr<DriveCatalog> drives_;
    const TextServices& text_;
    std::vector<DriveItem> items_;
    int selectedIndex_ = -1;
    char selectedDrive_;
    TTextCase textCase_ = TTextCase::tcLowerCase;
    bool built_ = false;  // the list has been built since the window was first created
    DriveQueries<DriveFacts> facts_;
};

}  // namespace brimview
