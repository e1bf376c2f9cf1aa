#include "monitor/DriveSelector.h"

#include <utility>

namespace brimview {
namespace {

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The kind of a drive type; none for unknown types and roots that are not there.
std::optional<DriveKind> KindOf(unsigned type) {
    switch (type) {
        case DriveCatalog::Removable:
            return DriveKind::Removable;
        case DriveCatalog::Fixed:
            return DriveKind::Fixed;
        case DriveCatalog::Remote:
            return DriveKind::Network;
        case DriveCatalog::CdRom:
            return DriveKind::CdRom;
        case DriveCatalog::RamDisk:
            return DriveKind::RamDisk;
        default:
            return std::nullopt;
    }
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

DriveSelectorModel::DriveSelectorModel(QueryRunner& queries, std::shared_ptr<DriveCatalog> drives,
                                       const TextServices& text, char initialDrive)
    : queries_(queries), drives_(std::move(drives)), text_(text), selectedDrive_(initialDrive) {}

void DriveSelectorModel::WindowCreated() {
    built_ = true;
    RebuildDriveList();
    SetSelectedDrive(selectedDrive_);
}

void DriveSelectorModel::SetTextCase(TTextCase textCase) {
    if (textCase == textCase_) return;
    textCase_ = textCase;
    // Before the window exists there is no list: its creation builds it in the new case.
    if (!built_) return;
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

char DriveSelectorModel::Letter(int n) const {
    return static_cast<char>((textCase_ == TTextCase::tcUpperCase ? 'A' : 'a') + n);
}

void DriveSelectorModel::RebuildDriveList() {
    items_.clear();
    selectedIndex_ = -1;
    const unsigned build = ++build_;
    // The mask is the system's own table: it touches no drive.
    const std::uint32_t mask = drives_->LogicalDrives();
    for (int n = 0; n < 26; ++n) {
        if ((mask >> n & 1) == 0) continue;
        // One query per drive: its kind, handed over at once, then its name, which a drive
        // that has gone away may take long to give.
        const std::string root{Letter(n), ':', '\\'};
        queries_.Start([this, drives = drives_, build, n, root](const QueryRunner::Post& post) -> QueryRunner::Answer {
            const std::optional<DriveKind> kind = KindOf(drives->DriveType({static_cast<char>('a' + n), ':', '\\'}));
            if (!kind) return nullptr;  // unknown kinds and roots that are not there are not listed
            post([this, build, n, kind = *kind] { KindAnswered(build, n, kind); });
            // A floppy drive would make the list wait for the disk: it is not accessed.
            if (*kind == DriveKind::Removable) return nullptr;
            DriveName name;
            if (*kind == DriveKind::Network) name.remote = drives->NetworkName({static_cast<char>('A' + n), ':'});
            if (!name.remote) name.label = drives->VolumeLabel(root);
            return [this, build, n, name] { NameAnswered(build, n, name); };
        });
    }
}

void DriveSelectorModel::KindAnswered(unsigned build, int n, DriveKind kind) {
    if (build != build_) return;
    const char letter = Letter(n);
    // Items stand in letter order, whichever drive answers first.
    auto at = items_.begin();
    while (at != items_.end() && AsciiUpper(at->text[0]) < AsciiUpper(letter)) ++at;
    const int index = static_cast<int>(at - items_.begin());
    items_.insert(at, DriveItem{{letter, ':'}, kind});
    if (selectedIndex_ >= index)
        ++selectedIndex_;
    else if (selectedIndex_ < 0 && AsciiUpper(selectedDrive_) == AsciiUpper(letter))
        selectedIndex_ = index;
    if (OnItemInserted) OnItemInserted(index);
}

void DriveSelectorModel::NameAnswered(unsigned build, int n, const DriveName& name) {
    if (build != build_) return;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        DriveItem& item = items_[i];
        if (AsciiUpper(item.text[0]) != 'A' + n) continue;
        item.text += ' ' + (name.remote ? FoldCase(*name.remote, textCase_, text_)
                                        : '[' + FoldCase(name.label, textCase_, text_) + ']');
        if (OnItemChanged) OnItemChanged(static_cast<int>(i));
        return;
    }
}

}  // namespace brimview
