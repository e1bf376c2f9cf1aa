#pragma once
// The software blend of a source over a destination at a constant opacity, byte by byte.
#include <cstdint>
#include <span>

namespace brimview {

// One colour byte: (source × alpha + destination × (255 − alpha)) div 255. Alpha 255 gives the
// source, 0 the destination.
constexpr std::uint8_t BlendByte(std::uint8_t source, std::uint8_t destination, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((source * alpha + destination * (255 - alpha)) / 255);
}

// Blends a row of source bytes over the destination row in place, as many bytes as both rows hold.
void BlendRow(std::span<std::uint8_t> destination, std::span<const std::uint8_t> source, std::uint8_t alpha);

}  // namespace brimview
