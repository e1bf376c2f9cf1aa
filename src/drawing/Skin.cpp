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

// The file's first bytes, as many as a bitmap's headers take; empty when it cannot be read.
std::string ReadHead(const std::wstring& path) {
    const UniqueFile file = OpenForReading(path);
    std::string head(kBitmapHeadBytes, '\0');
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr)) return {};
    head.resize(read);
    return head;
}

UniqueBrush LoadPattern(const std::wstring& widePath, const std::string& path, const TextServices& text) {
    const std::string notABitmap = "ビットマップイメージが不正です";
    // The loader would decode whatever size the header claims, taking gigabytes for a
    // small compressed file: such a file is refused before it gets there.
    if (DeclaresMorePixels(ReadHead(widePath), kMaxSkinPixels)) throw AppError(notABitmap);
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
