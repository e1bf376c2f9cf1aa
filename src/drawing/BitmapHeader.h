#pragma once
// What the first bytes of a Windows BMP file declare, read before the system's loader
// decodes the file: a small file may claim a picture of gigabytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace brimview {

// The file header and the largest info header (the fifth version's).
inline constexpr std::size_t kBitmapHeadBytes = 14 + 124;

// The most pixels a skin may have: 8192 x 8192, 256 MB once decoded at 32 bits a pixel.
// Only the top-left 170 x 140 of them ever show.
inline constexpr std::uint64_t kMaxSkinPixels = 8192ull * 8192;

// Whether the file's first bytes declare a picture of more than `pixels` pixels. Bytes
// that are no BMP header (too short, another signature, an unknown header size) declare
// nothing here; the loader judges them.
bool DeclaresMorePixels(std::string_view head, std::uint64_t pixels);

}  // namespace brimview
