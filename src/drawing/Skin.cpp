#include "drawing/Skin.h"

#include "drawing/BitmapHeader.h"
#include "platform/AppError.h"
#include "platform/Handles.h"
#include "ui/Text.h"

namespace brimview {
namespace {

UniqueFile OpenForReading(const std::wstring& path) {
    return UniqueFile(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
}

// Whether the file's headers let the loader have it: read as many of its first bytes as a
// bitmap's headers take, and its size. A file that cannot be read is left to the loader.
bool MayLoad(const std::wstring& path) {
    const UniqueFile file = OpenForReading(path);
    std::string head(kBitmapHeadBytes, '\0');
    DWORD read = 0;
    LARGE_INTEGER size{};
    if (!file || !ReadFile(file.get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr) ||
        !GetFileSizeEx(file.get(), &size))
        return true;
    head.resize(read);
    return MayLoadAsSkin(head, static_cast<std::uint64_t>(size.QuadPart));
}

UniqueBrush LoadPattern(const std::wstring& widePath, const std::string& path, const TextServices& text) {
    const std::string notABitmap = "ビットマップイメージが不正です";
    // The loader would decode whatever size the header claims, taking gigabytes for a small
    // compressed file, and paint a file cut short black: such files are refused before.
    if (!MayLoad(widePath)) throw AppError(notABitmap);
    const UniqueBitmap bitmap(
        static_cast<HBITMAP>(LoadImageW(nullptr, widePath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    if (!bitmap) {
        const DWORD attributes = GetFileAttributesW(widePath.c_str());
        const bool readable = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                              OpenForReading(widePath);
        if (!readable) throw AppError(FormatMessage1("ファイル %s は開けません", text.AnsiToUtf8(path)));
        throw AppError(notABitmap);
    }
    // The pattern brush keeps its own copy of the whole bitmap.
    return UniqueBrush(CreatePatternBrush(bitmap.get()));
}

std::uint64_t Join(DWORD high, DWORD low) {
    return std::uint64_t{high} << 32 | low;
}

}  // namespace

void SkinPattern::Paint(HDC dc, const RECT& client, const std::string& path, const TextServices& text) {
    std::wstring widePath = ui::AnsiToWide(path);
    std::optional<Stamp> stamp;
    WIN32_FILE_ATTRIBUTE_DATA file{};
    if (GetFileAttributesExW(widePath.c_str(), GetFileExInfoStandard, &file) &&
        !(file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        stamp = Stamp{widePath, Join(file.nFileSizeHigh, file.nFileSizeLow),
                      Join(file.ftLastWriteTime.dwHighDateTime, file.ftLastWriteTime.dwLowDateTime)};
    if (!stamp || stamp != stamp_) {
        stamp_.reset();
        pattern_ = LoadPattern(widePath, path, text);
        stamp_ = std::move(stamp);
    }
    // The pattern repeats from the surface's origin.
    SetBrushOrgEx(dc, 0, 0, nullptr);
    FillRect(dc, &client, pattern_.get());
}

}  // namespace brimview
