#include "drawing/Skin.h"

#include "platform/AppError.h"
#include "platform/GdiHandles.h"
#include "platform/Handles.h"
#include "ui/Text.h"

namespace brimview {

void PaintSkin(HDC dc, const RECT& client, const std::string& path, const TextServices& text) {
    std::wstring widePath = ui::AnsiToWide(path);
    UniqueBitmap bitmap(
        static_cast<HBITMAP>(LoadImageW(nullptr, widePath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    if (!bitmap) {
        DWORD attributes = GetFileAttributesW(widePath.c_str());
        bool readable = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        if (readable) {
            const UniqueFile probe(CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               nullptr, OPEN_EXISTING, 0, nullptr));
            readable = static_cast<bool>(probe);
        }
        if (!readable) throw AppError(FormatMessage1("ファイル %s は開けません", text.AnsiToUtf8(path)));
        throw AppError("ビットマップイメージが不正です");
    }
    // The pattern brush repeats the whole bitmap from the surface's origin.
    UniqueBrush pattern(CreatePatternBrush(bitmap.get()));
    SetBrushOrgEx(dc, 0, 0, nullptr);
    FillRect(dc, &client, pattern.get());
}

}  // namespace brimview
