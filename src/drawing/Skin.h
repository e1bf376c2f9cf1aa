#pragma once
// The skin: a bitmap from the skin folder tiled over the main window's client area.
#include <windows.h>

#include <string>

#include "platform/TextServices.h"

namespace brimview {

// Tiles the bitmap at the path (ANSI, relative to the current directory) from the
// surface's origin over the client rectangle. Throws AppError "ファイル %s は開けません"
// when the file cannot be opened and "ビットマップイメージが不正です" when it is no bitmap.
void PaintSkin(HDC dc, const RECT& client, const std::string& path, const TextServices& text);

}  // namespace brimview
