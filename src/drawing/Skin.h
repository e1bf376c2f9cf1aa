#pragma once
// The skin: a bitmap from the skin folder tiled over the main window's client area.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/GdiHandles.h"
#include "platform/TextServices.h"

namespace brimview {

// The skin's picture as a pattern brush, decoded from its file again only when the file
// changed (another path, size or last-write time) or the client area took another size (at
// another dpi): decoding costs more than all the rest of a paint, and the same file gives
// the same picture. The brush holds no more of the picture than the client area shows, as
// the tiles start at its top-left corner.
class SkinPattern {
public:
    // Tiles the bitmap at the path (ANSI, relative to the current directory) from the
    // surface's origin over the client rectangle. Throws AppError "ファイル %s は開けません"
    // when the file cannot be opened and "ビットマップイメージが不正です" when it is not a
    // bitmap that can be drawn as it looks (CheckSkin).
    void Paint(HDC dc, const RECT& client, const std::string& path, const TextServices& text);

private:
    struct Stamp {
        std::wstring path;
        std::uint64_t size;
        std::uint64_t written;
        LONG clientWidth;
        LONG clientHeight;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };

    std::optional<Stamp> stamp_;  // the file and client size the brush was made for
    UniqueBrush pattern_;
};

}  // namespace brimview
