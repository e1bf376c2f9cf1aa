#include "monitor/DriveSelector.h"

#include <algorithm>
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
    : drives_(std::move(drives)), text_(text), selectedDrive_(initialDrive), facts_(queries) {}

void DriveSelectorModel::WindowCreated() {
    built_ = true;
    RebuildDriveList();
}

void DriveSelectorModel::SetTextCase(TTextCase textCase) {
    if (textCase == textCase_) return;
    textCase_ = textCase;
    // Before the window exists there is no list: its creation builds it in the new case.
    if (!built_) return;
    RebuildDriveList();
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
    // The mask is the system's own table: it touches no drive.
    const std::uint32_t mask = drives_->LogicalDrives();
    for (int n = 0; n < 26; ++n)
        if (mask >> n & 1) items_.push_back(DriveItem{{Letter(n), ':'}, std::nullopt});
    SetSelectedDrive(selectedDrive_);
    // The list and its selection are whole before any drive is asked: a query that cannot
    // start leaves its drive, and those after it, to the next build.
    for (int n = 0; n < 26; ++n)
        if (mask >> n & 1) AskDrive(n);
}

void DriveSelectorModel::AskDrive(int n) {
    // One query per drive: its kind, handed over at once, then its name, which a drive that
    // has gone away may take long to give.
    const char upper = static_cast<char>('A' + n);
    facts_.Start(
        upper,
        [drives = drives_, upper, root = std::string{Letter(n), ':', '\\'}](const auto& early) {
            const std::optional<DriveKind> kind = KindOf(drives->DriveType({AsciiLower(upper), ':', '\\'}));
            // Unknown kinds and roots that are not there are not listed; a floppy drive would
            // make the list wait for the disk, so it is not accessed.
            if (!kind || *kind == DriveKind::Removable) return DriveFacts{kind, std::nullopt};
            early(DriveFacts{kind, std::nullopt});
            DriveName name;
            if (*kind == DriveKind::Network) name.remote = drives->NetworkName({upper, ':'});
            if (!name.remote) name.label = drives->VolumeLabel(root);
            return DriveFacts{kind, name};
        },
        [this, n](const std::optional<DriveFacts>& facts) {
            // A query that failed leaves the drive as it is, to be asked at the next build.
            if (facts) Answered(n, *facts);
        });
}

void DriveSelectorModel::Answered(int n, const DriveFacts& facts) {
    const auto item =
        std::ranges::find_if(items_, [n](const DriveItem& i) { return AsciiUpper(i.text[0]) == 'A' + n; });
    if (item == items_.end()) return;  // the list was built anew without this drive
    const int index = static_cast<int>(item - items_.begin());
    if (!facts.kind) {
        items_.erase(item);
        if (selectedIndex_ == index)
            selectedIndex_ = -1;
        else if (selectedIndex_ > index)
            --selectedIndex_;
        if (OnItemRemoved) OnItemRemoved(index);
        return;
    }
    item->kind = facts.kind;
    if (const std::optional<DriveName>& name = facts.name)
        item->text =
            std::string{Letter(n), ':', ' '} + (name->remote ? FoldCase(*name->remote, textCase_, text_)
                                                             : '[' + FoldCase(name->label, textCase_, text_) + ']');
    if (OnItemChanged) OnItemChanged(index);
}

}  // namespace brimview
