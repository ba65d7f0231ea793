#pragma once

#include <climits>
#include <cmath>
#include <cstdint>

#include "ui/types.h"

namespace dustrel::ui::win32 {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kDefaultDpi = 96;

// Twips to pixels at `dpi`, rounded half away from zero like MulDiv.
constexpr int twipsToPixels(int twips, int dpi) {
    const std::int64_t scaled = static_cast<std::int64_t>(twips) * dpi;
    const std::int64_t half = kTwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                        : -((-scaled + half) / kTwipsPerInch));
}

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Edges are converted, not sizes, so that controls laid edge to edge in twips stay edge to edge
// in pixels at every DPI.
constexpr PixelRect toPixels(const Rect& r, int dpi) {
    const int left = twipsToPixels(r.left, dpi);
    const int top = twipsToPixels(r.top, dpi);
    return {left, top, twipsToPixels(r.left + r.width, dpi) - left,
            twipsToPixels(r.top + r.height, dpi) - top};
}

// The height in logical units that CreateFont needs for a size in points, fractional points
// (8.25, 9.75) included.
constexpr int fontHeight(double points, int dpi) {
    const auto hundredths = static_cast<std::int64_t>(points * 100 + 0.5);
    const std::int64_t scaled = hundredths * dpi;
    return -static_cast<int>((scaled + 3600) / 7200);
}

// To the nearest int, half away from zero; beyond int's range, its nearest end (INT_MIN for NaN).
inline int rounded(double value) {
    if (!(value > INT_MIN && value < INT_MAX)) {
        return value > 0 ? INT_MAX : INT_MIN;
    }
    return static_cast<int>(std::lround(value));
}

}  // namespace dustrel::ui::win32
