#pragma once
// A drop-down list of the files in one folder whose names match a wildcard mask.
// It only fills its list; choosing an entry is its parent's business.
#include <string>
#include <vector>

#include "ui/Controls.h"

namespace brimview {

class TFileComboTF : public ui::WinControl {
public:
    // Starts with the current directory, the mask "*.*" and an empty list.
    TFileComboTF(ui::Component* owner, ui::WinControl* parent);

    // The folder to list, absolute or relative to the current directory at the refill.
    const std::string& Directory() const { return directory_; }
    // Refills the list, even when the text is the same.
    void SetDirectory(std::string directory);
    const std::string& Mask() const { return mask_; }
    // Refills the list from the present folder.
    void SetMask(std::string mask);
    // Whether the folder existed at the last refill.
    bool Available() const { return available_; }

    // The height of the list's items; 0, the initial value, leaves it to the font.
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);

    // The file names in the list's (sorted) order, and the selected one's index, -1 for none.
    // These create the window when it does not exist yet.
    std::vector<std::string> Items();
    int ItemIndex();
    void SetItemIndex(int index);

    void SetPixelBounds(int left, int top, int width, int height) override;
    void DpiChanged() override;

protected:
    void CreateParamsFor(CreateParams& params) override;
    void WindowCreated() override;

private:
    void Refill(std::string directory);
    void ShowItems();
    int WindowHeight() const;

    std::string directory_;
    std::string mask_ = "*.*";
    bool available_ = true;
    int itemHeight_ = 0;
    std::vector<std::string> names_;  // in the order the search found them
};

}  // namespace brimview
