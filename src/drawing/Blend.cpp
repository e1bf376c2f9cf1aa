#include "drawing/Blend.h"

#include <algorithm>

namespace brimview {

void BlendRow(std::span<std::uint8_t> destination, std::span<const std::uint8_t> source, std::uint8_t alpha) {
    const std::size_t count = std::min(destination.size(), source.size());
    for (std::size_t i = 0; i < count; ++i) destination[i] = BlendByte(source[i], destination[i], alpha);
}

}  // namespace brimview
