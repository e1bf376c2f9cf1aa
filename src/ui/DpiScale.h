#pragma once
// The arithmetic of the program's scaling, apart from any window: the layout is written in
// pixels at 96 dpi, and its art is drawn at a few scales.
#include <array>
#include <climits>

namespace brimview::ui {

// The dpi the layout is written for.
constexpr int kDesignDpi = 96;

// A length of the layout, in pixels at 96 dpi, in pixels at dpi, rounded half away from zero
// as the system's MulDiv rounds.
int ScaleToDpi(int value, int dpi);

// The scales, in percent, that the program's art (drive icons, button glyphs, program icon)
// is drawn at: those Windows offers, from 100 to 300 %.
constexpr std::array<int, 7> kArtPercents{100, 125, 150, 175, 200, 250, 300};

// A length of a picture drawn at 100 %, in pixels of its art at percent, rounded half up.
int ArtLength(int length, int percent);

// The scale of the art to draw at dpi for a picture `length` pixels long at 96 dpi, placed
// where `room` pixels are free: the largest art no longer than the length scaled to dpi nor
// than the room, so that it never spills over its control; the 100 % art when none fits.
int ArtPercent(int dpi, int length, int room = INT_MAX);

}  // namespace brimview::ui
