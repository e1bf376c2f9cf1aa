#include "monitor/DriveSelector.h"

namespace brimview {
namespace {

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

char InitialSelectedDrive(std::string_view currentDirectory) {
    if (currentDirectory.empty() || currentDirectory.front() == '\\') return 0;
    return currentDirectory.front();
}

std::string FoldCase(std::string_view text, TTextCase textCase, const TextServices& textServices) {
    const bool upper = textCase == TTextCase::tcUpperCase;
    if (!textServices.IsDoubleByteCodePage())
        return upper ? textServices.UpperAnsi(text) : textServices.LowerAnsi(text);
    // A trail byte can look like an ASCII letter, so each double-byte character is skipped whole.
    std::string folded(text);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (textServices.IsLeadByte(static_cast<unsigned char>(folded[i])))
            ++i;
        else
            folded[i] = upper ? AsciiUpper(folded[i]) : AsciiLower(folded[i]);
    }
    return folded;
}

DriveSelectorModel::DriveSelectorModel(DriveCatalog& drives, const TextServices& text, char initialDrive)
    : drives_(drives), text_(text), selectedDrive_(initialDrive) {}

void DriveSelectorModel::WindowCreated() {
    RebuildDriveList();
    SetSelectedDrive(selectedDrive_);
}

void DriveSelectorModel::SetTextCase(TTextCase textCase) {
    if (textCase == textCase_) return;
    textCase_ = textCase;
    RebuildDriveList();
    SetSelectedDrive(selectedDrive_);
}

void DriveSelectorModel::SetSelectedDrive(char letter) {
    if (selectedIndex_ >= 0 && AsciiUpper(letter) == AsciiUpper(selectedDrive_)) return;
    selectedIndex_ = -1;
    if (letter == 0) {
        selectedDrive_ = 0;
    } else {
        const char upper = AsciiUpper(letter);
        selectedDrive_ = textCase_ == TTextCase::tcUpperCase ? upper : AsciiLower(upper);
        // A letter without an item selects nothing, so the box never names another drive
        // than the one the readout shows.
        for (std::size_t i = 0; i < items_.size(); ++i) {
            const std::string& text = items_[i].text;
            if (text.size() >= 2 && AsciiUpper(text[0]) == upper && text[1] == ':') {
                selectedIndex_ = static_cast<int>(i);
                break;
            }
        }
    }
    if (OnChange) OnChange();
}

void DriveSelectorModel::UserPicked(int index) {
    if (OnClick) OnClick();
    const bool listed = index >= 0 && index < static_cast<int>(items_.size());
    selectedIndex_ = listed ? index : -1;
    if (listed) SetSelectedDrive(items_[index].text[0]);
    if (OnChange) OnChange();
}

void DriveSelectorModel::RebuildDriveList() {
    items_.clear();
    selectedIndex_ = -1;
    const std::uint32_t mask = drives_.LogicalDrives();
    for (int n = 0; n < 26; ++n) {
        if ((mask >> n & 1) == 0) continue;
        const char lower = static_cast<char>('a' + n);
        const char upper = static_cast<char>('A' + n);
        const unsigned type = drives_.DriveType({lower, ':', '\\'});
        const char letter = textCase_ == TTextCase::tcUpperCase ? upper : lower;
        const std::string name{letter, ':'};
        const std::string root = name + '\\';
        switch (type) {
            case DriveCatalog::Removable:
                // A floppy drive would make the list wait for the disk: it is not accessed.
                items_.push_back({name, DriveKind::Removable});
                break;
            case DriveCatalog::Fixed:
                items_.push_back({name + ' ' + BracketedLabel(root), DriveKind::Fixed});
                break;
            case DriveCatalog::CdRom:
                items_.push_back({name + ' ' + BracketedLabel(root), DriveKind::CdRom});
                break;
            case DriveCatalog::RamDisk:
                items_.push_back({name + ' ' + BracketedLabel(root), DriveKind::RamDisk});
                break;
            case DriveCatalog::Remote: {
                const std::optional<std::string> remote = drives_.NetworkName({upper, ':'});
                items_.push_back({name + ' ' + (remote ? FoldCase(*remote, textCase_, text_) : BracketedLabel(root)),
                                  DriveKind::Network});
                break;
            }
            default:  // unknown kinds and roots that are not there
                break;
        }
    }
}

std::string DriveSelectorModel::BracketedLabel(const std::string& root) {
    return '[' + FoldCase(drives_.VolumeLabel(root), textCase_, text_) + ']';
}

}  // namespace brimview
