#include "drawing/Skin.h"

#include "drawing/BitmapHeader.h"
#include "platform/AppError.h"
#include "platform/Handles.h"
#include "ui/Text.h"

namespace brimview {
namespace {

// The skin file, read where the check and the decoding need it.
class FileSource : public ByteSource {
public:
    FileSource(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    bool Read(std::uint64_t offset, std::span<std::uint8_t> out) const override {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        return ReadFile(file_, out.data(), static_cast<DWORD>(out.size()), &read, &at) && read == out.size();
    }

private:
    HANDLE file_;
    std::uint64_t size_;
};

// The picture's top-left corner of at most the client area's size, as a bitmap compatible
// with the surface, made into a brush. Nothing is decoded from a file the check refuses.
UniqueBrush LoadPattern(HDC dc, const RECT& client, const std::wstring& widePath, const std::string& path,
                        const TextServices& text) {
    const UniqueFile file(CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size))
        throw AppError(FormatMessage1("ファイル %s は開けません", text.AnsiToUtf8(path)));
    const std::string notABitmap = "ビットマップイメージが不正です";
    const FileSource source(file.get(), static_cast<std::uint64_t>(size.QuadPart));
    const std::optional<BitmapLayout> layout = CheckSkin(source);
    if (!layout) throw AppError(notABitmap);
    const std::optional<SkinPixels> skin = DecodeSkin(source, *layout, static_cast<std::uint32_t>(client.right),
                                                      static_cast<std::uint32_t>(client.bottom));
    if (!skin) throw AppError(notABitmap);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(skin->width);
    info.bmiHeader.biHeight = -static_cast<LONG>(skin->height);  // rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const UniqueBitmap bitmap(
        CreateDIBitmap(dc, &info.bmiHeader, CBM_INIT, skin->pixels.data(), &info, DIB_RGB_COLORS));
    if (!bitmap) throw AppError(notABitmap);
    // The pattern brush keeps its own copy of the bitmap.
    return UniqueBrush(CreatePatternBrush(bitmap.get()));
}

std::uint64_t Join(DWORD high, DWORD low) {
    return std::uint64_t{high} << 32 | low;
}

}  // namespace

void SkinPattern::Paint(HDC dc, const RECT& client, const std::string& path, const TextServices& text) {
    if (IsRectEmpty(&client)) return;  // a minimised window shows nothing
    std::wstring widePath = ui::AnsiToWide(path);
    std::optional<Stamp> stamp;
    WIN32_FILE_ATTRIBUTE_DATA file{};
    if (GetFileAttributesExW(widePath.c_str(), GetFileExInfoStandard, &file) &&
        !(file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        stamp = Stamp{widePath, Join(file.nFileSizeHigh, file.nFileSizeLow),
                      Join(file.ftLastWriteTime.dwHighDateTime, file.ftLastWriteTime.dwLowDateTime), client.right,
                      client.bottom};
    if (!stamp || stamp != stamp_) {
        stamp_.reset();
        pattern_ = LoadPattern(dc, client, widePath, path, text);
        stamp_ = std::move(stamp);
    }
    // The pattern repeats from the surface's origin.
    SetBrushOrgEx(dc, 0, 0, nullptr);
    FillRect(dc, &client, pattern_.get());
}

}  // namespace brimview
