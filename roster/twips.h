// SPDX-License-Identifier: MIT
#pragma once
// Twips, the unit the window's design and RTF documents measure in: 1440 to the inch. Both are
// laid out as if at 96 pixels to the inch, which makes fifteen twips a pixel.

#include <QtGlobal>

namespace roster {

inline constexpr int TwipsPerPixel = 15;

// The length in pixels with its fraction: a text layout places to a fraction of a pixel.
constexpr double twipsToPixels(int twips) { return twips / double(TwipsPerPixel); }

// Whole pixels, cut toward zero as integer division cuts: the places of the window's controls.
constexpr int twipsToWholePixels(int twips) { return twips / TwipsPerPixel; }

// The nearest whole pixel: a window size asked for in twips.
constexpr int twipsToNearestPixels(int twips) { return qRound(twipsToPixels(twips)); }

} // namespace roster
