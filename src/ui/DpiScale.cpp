#include "ui/DpiScale.h"

#include <algorithm>
#include <cstdlib>

namespace brimview::ui {

int ScaleToDpi(int value, int dpi) {
    const long long product = static_cast<long long>(std::abs(value)) * dpi;
    const int scaled = static_cast<int>((product + kDesignDpi / 2) / kDesignDpi);
    return value < 0 ? -scaled : scaled;
}

int ArtLength(int length, int percent) {
    return (length * percent + 50) / 100;
}

int ArtPercent(int dpi, int length, int room) {
    const int limit = std::min(ScaleToDpi(length, dpi), room);
    int chosen = kArtPercents.front();
    for (int percent : kArtPercents)
        if (ArtLength(length, percent) <= limit) chosen = percent;
    return chosen;
}

}  // namespace brimview::ui
