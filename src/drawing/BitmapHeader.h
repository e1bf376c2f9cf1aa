#pragma once
// What the first bytes of a Windows BMP file declare, read before the system's loader
// decodes the file: a small file may claim a picture of gigabytes, and a file cut short
// is decoded into black from whatever follows its end.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace brimview {

// The file header and the largest info header (the fifth version's).
inline constexpr std::size_t kBitmapHeadBytes = 14 + 124;

// The most pixels a skin may have: 8192 x 8192, 256 MB once decoded at 32 bits a pixel.
// Only the top-left 170 x 140 of them ever show.
inline constexpr std::uint64_t kMaxSkinPixels = 8192ull * 8192;

// Whether a BMP file of `fileSize` bytes, whose first kBitmapHeadBytes bytes (all of them
// when it is shorter) are `head`, may go to the loader as a skin: not when its headers
// declare more than kMaxSkinPixels pixels, nor when the file is shorter than its headers,
// colour table and pixel data (for a compressed picture, the image size it claims). Bytes
// without the "BM" signature, or with a header size no BMP has, pass: the loader judges them.
bool MayLoadAsSkin(std::string_view head, std::uint64_t fileSize);

}  // namespace brimview
