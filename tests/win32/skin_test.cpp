#include "drawing/Skin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "GdiTesting.h"
#include "platform/AppError.h"
#include "ui/Text.h"

namespace brimview {
namespace {

using test::Image;

// The system's own conversion of ANSI bytes.
class SystemText : public TextServices {
public:
    std::string UpperAnsi(std::string_view text) const override { return Mapped(text, CharUpperBuffA); }
    std::string LowerAnsi(std::string_view text) const override { return Mapped(text, CharLowerBuffA); }
    bool IsDoubleByteCodePage() const override {
        CPINFO info{};
        return GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
    }
    bool IsLeadByte(unsigned char byte) const override { return IsDBCSLeadByte(byte) != FALSE; }
    std::string AnsiToUtf8(std::string_view text) const override { return ui::Narrow(ui::AnsiToWide(text)); }
    std::string Utf16ToAnsi(std::u16string_view text) const override {
        return ui::WideToAnsi(std::wstring(text.begin(), text.end()));
    }

private:
    static std::string Mapped(std::string_view text, DWORD(WINAPI* map)(LPSTR, DWORD)) {
        std::string result(text);
        map(result.data(), static_cast<DWORD>(result.size()));
        return result;
    }
};

// A folder of the test's own, made the current directory, with a "skin" folder in it; both are
// removed again, with what the test put into them.
class SkinFolder {
public:
    SkinFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        GetCurrentDirectoryW(MAX_PATH, previous_);
        root_ = std::wstring(temp) + L"brimview-skin-test-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(root_.c_str(), nullptr);
        CreateDirectoryW((root_ + L"\\skin").c_str(), nullptr);
        SetCurrentDirectoryW(root_.c_str());
    }
    ~SkinFolder() {
        SetCurrentDirectoryW(previous_);
        for (const std::wstring& name : files_) DeleteFileW((root_ + L"\\" + name).c_str());
        for (const std::wstring& name : folders_) RemoveDirectoryW((root_ + L"\\" + name).c_str());
        RemoveDirectoryW((root_ + L"\\skin").c_str());
        RemoveDirectoryW(root_.c_str());
    }
    SkinFolder(const SkinFolder&) = delete;
    SkinFolder& operator=(const SkinFolder&) = delete;

    // Writes a file under the folder; name is relative to it, such as skin\bg.bmp.
    void Write(const std::wstring& name, const std::string& bytes) {
        std::ofstream(std::filesystem::path(root_ + L"\\" + name), std::ios::binary) << bytes;
        files_.push_back(name);
    }
    void MakeFolder(const std::wstring& name) {
        CreateDirectoryW((root_ + L"\\" + name).c_str(), nullptr);
        folders_.push_back(name);
    }
    std::wstring Path(const std::wstring& name) const { return root_ + L"\\" + name; }

private:
    wchar_t previous_[MAX_PATH];
    std::wstring root_;
    std::vector<std::wstring> files_;
    std::vector<std::wstring> folders_;
};

template <class T>
void Append(std::string& bytes, T value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// A Windows BMP file of 24 bits per pixel, rows bottom-up, each padded to a whole 32-bit word.
std::string BmpFile(const Image& image) {
    const int rowBytes = (image.Width() * 3 + 3) / 4 * 4;
    const auto imageBytes = static_cast<DWORD>(rowBytes * image.Height());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = image.Width();
    info.biHeight = image.Height();
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageBytes;
    std::string bytes;
    Append(bytes, file);
    Append(bytes, info);
    for (int y = image.Height() - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < image.Width(); ++x) {
            const COLORREF c = image.At(x, y);
            row += {static_cast<char>(GetBValue(c)), static_cast<char>(GetGValue(c)), static_cast<char>(GetRValue(c))};
        }
        row.resize(rowBytes, '\0');
        bytes += row;
    }
    return bytes;
}

// Every pixel of a tile up to 300 by 300 differs from the others.
COLORREF Tile(int x, int y) {
    return RGB(x & 255, y & 255, 7 + (x >> 8) * 100 + (y >> 8) * 50);
}

constexpr COLORREF kFace = RGB(1, 2, 3);
constexpr RECT kClient{0, 0, 170, 140};

TEST(SkinPattern, TilesTheBitmapFromTheClientOrigin) {
    struct Case {
        int width, height;
    };
    // 1 by 1 covers everything in one colour; 100 by 50 gives columns at 0 and 100 (the second cut
    // to 70) and rows at 0, 50 and 100 (the last cut to 40); 7 by 3 has rows that are not whole
    // words; 300 by 300 shows only its top-left corner.
    const Case cases[] = {{1, 1}, {100, 50}, {7, 3}, {300, 300}};
    SkinFolder folder;
    const SystemText text;
    SkinPattern skin;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const Image tile(c.width, c.height, Tile);
        const std::wstring name = L"skin\\tile" + std::to_wstring(c.width) + L"x" + std::to_wstring(c.height) + L".bmp";
        folder.Write(name, BmpFile(tile));
        // A surface larger than the client area: nothing outside the client rectangle is painted.
        test::Surface surface(kClient.right + 10, kClient.bottom + 10, [](int, int) { return kFace; });
        skin.Paint(surface.Dc(), kClient, ui::WideToAnsi(name), text);
        const Image painted = surface.Pixels();
        for (int y = 0; y < painted.Height(); ++y)
            for (int x = 0; x < painted.Width(); ++x) {
                const bool inClient = x < kClient.right && y < kClient.bottom;
                const COLORREF expected = inClient ? tile.At(x % c.width, y % c.height) : kFace;
                ASSERT_EQ(painted.At(x, y), expected) << "at (" << x << ", " << y << ")";
            }
    }
    // The same file in the larger client area of another dpi shows more of it.
    test::Surface surface(340, 280, [](int, int) { return kFace; });
    skin.Paint(surface.Dc(), RECT{0, 0, 340, 280}, "skin\\tile300x300.bmp", text);
    EXPECT_EQ(surface.Pixels().At(299, 279), Tile(299, 279));
    EXPECT_EQ(surface.Pixels().At(339, 0), Tile(39, 0));
}

// The first bytes of a BMP file that claims width x height pixels of the given bit count and
// compression, padded with zeros to the given file size: the pixel data is cut short.
std::string ClaimingFile(LONG width, LONG height, WORD bitCount, DWORD compression, std::size_t fileSize) {
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfSize = static_cast<DWORD>(fileSize);
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + 256 * 4;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = bitCount;
    info.biCompression = compression;
    std::string bytes;
    Append(bytes, file);
    Append(bytes, info);
    bytes.resize(fileSize, '\0');
    return bytes;
}

TEST(SkinPattern, ReportsAFileItCannotOpenAndABitmapThatIsNone) {
    enum class Setup { Nothing, Text, Empty, Locked, Folder, Bytes };
    struct Case {
        const char* what;
        std::wstring name;
        Setup setup;
        std::string message;
        std::string bytes = {};
    };
    const std::string notValid = "ビットマップイメージが不正です";
    const Case cases[] = {
        {"missing", L"skin\\x.bmp", Setup::Nothing, "ファイル skin\\x.bmp は開けません"},
        {"missing, Japanese name", L"skin\\壁紙.bmp", Setup::Nothing, "ファイル skin\\壁紙.bmp は開けません"},
        {"a folder of that name", L"skin\\x.bmp", Setup::Folder, "ファイル skin\\x.bmp は開けません"},
        {"held open by another", L"skin\\x.bmp", Setup::Locked, "ファイル skin\\x.bmp は開けません"},
        {"text", L"skin\\x.bmp", Setup::Text, notValid},
        {"empty", L"skin\\x.bmp", Setup::Empty, notValid},
        // Small files whose decoding would take gigabytes.
        {"RLE8 claiming 16000 x 16000", L"skin\\x.bmp", Setup::Bytes, notValid,
         ClaimingFile(16000, 16000, 8, BI_RLE8, 12'880)},
        {"1 bit claiming 20000 x 20000", L"skin\\x.bmp", Setup::Bytes, notValid,
         ClaimingFile(20000, 20000, 1, BI_RGB, 4096)},
        // The loader would paint the part it lacks black.
        {"cut short in its pixels", L"skin\\x.bmp", Setup::Bytes, notValid,
         BmpFile(Image(64, 64, Tile)).substr(0, 6000)},
    };
    const SystemText text;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SkinFolder folder;
        HANDLE held = INVALID_HANDLE_VALUE;
        switch (c.setup) {
            case Setup::Nothing:
                break;
            case Setup::Text:
                folder.Write(c.name, "This is not a picture.\r\n");
                break;
            case Setup::Empty:
                folder.Write(c.name, "");
                break;
            case Setup::Locked:
                folder.Write(c.name, BmpFile(Image(8, 8, Tile)));
                held = CreateFileW(folder.Path(c.name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
                ASSERT_NE(held, INVALID_HANDLE_VALUE);
                break;
            case Setup::Folder:
                folder.MakeFolder(c.name);
                break;
            case Setup::Bytes:
                folder.Write(c.name, c.bytes);
                break;
        }
        test::Surface surface(kClient.right, kClient.bottom, [](int, int) { return kFace; });
        try {
            SkinPattern().Paint(surface.Dc(), kClient, ui::WideToAnsi(c.name), text);
            ADD_FAILURE() << "no error";
        } catch (const AppError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        // Nothing was painted.
        const Image painted = surface.Pixels();
        for (int y = 0; y < painted.Height(); ++y)
            for (int x = 0; x < painted.Width(); ++x) ASSERT_EQ(painted.At(x, y), kFace);
    }
}

// Sets the file's last-write time to the given number of 100-ns steps since 1601.
void SetWritten(const std::wstring& path, ULONGLONG when) {
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const FILETIME time{static_cast<DWORD>(when), static_cast<DWORD>(when >> 32)};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
}

TEST(SkinPattern, DecodesTheFileAgainOnlyWhenItsSizeOrWriteTimeChanged) {
    constexpr ULONGLONG kTime = 130'000'000'000'000'000ull;
    const auto colour = [](COLORREF c) { return Image(4, 4, [c](int, int) { return c; }); };
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), green = RGB(0, 255, 0);
    struct Case {
        const char* what;
        Image picture;  // written over the file before the second paint
        ULONGLONG written;
        COLORREF shown;  // the colour of the second paint
    };
    const Case cases[] = {
        {"the same size and time: the picture already made", colour(blue), kTime, red},
        {"the same size, a later time", colour(blue), kTime + 10'000'000, blue},
        {"the same time, another size", Image(5, 4, [&](int, int) { return green; }), kTime, green},
    };
    const SystemText text;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SkinFolder folder;
        SkinPattern skin;
        folder.Write(L"skin\\x.bmp", BmpFile(colour(red)));
        SetWritten(folder.Path(L"skin\\x.bmp"), kTime);
        test::Surface surface(kClient.right, kClient.bottom, [](int, int) { return kFace; });
        skin.Paint(surface.Dc(), kClient, "skin\\x.bmp", text);
        EXPECT_EQ(surface.Pixels().At(0, 0), red);
        folder.Write(L"skin\\x.bmp", BmpFile(c.picture));
        SetWritten(folder.Path(L"skin\\x.bmp"), c.written);
        skin.Paint(surface.Dc(), kClient, "skin\\x.bmp", text);
        EXPECT_EQ(surface.Pixels().At(0, 0), c.shown);
        EXPECT_EQ(surface.Pixels().At(169, 139), c.shown);
    }
    // A file removed since the last paint is reported, not painted from memory.
    SkinFolder folder;
    SkinPattern skin;
    folder.Write(L"skin\\x.bmp", BmpFile(colour(red)));
    test::Surface surface(kClient.right, kClient.bottom, [](int, int) { return kFace; });
    skin.Paint(surface.Dc(), kClient, "skin\\x.bmp", text);
    DeleteFileW(folder.Path(L"skin\\x.bmp").c_str());
    EXPECT_THROW(skin.Paint(surface.Dc(), kClient, "skin\\x.bmp", text), AppError);
}

}  // namespace
}  // namespace brimview
