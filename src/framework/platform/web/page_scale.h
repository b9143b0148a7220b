// The canvas's drawing buffer on dense screens: the page draws with the
// browser's device pixel ratio (pixels per CSS pixel, which a zoom or another
// screen changes while the page runs) as its content scale, so the canvas
// keeps its size in points (CSS pixels) and its buffer has size × ratio pixels.
// How large the canvas shows is the page's style sheet's business: it fits
// small viewports, and pointers are mapped through its box, never through it.
#pragma once

#include "framework/core/vector.h"

namespace loom::app::platform::web {

// The ratio the page draws with now: the browser's, kept between 0.5 and 4
// (a buffer of at most 2048 pixels a side for the 512-point canvas, which every
// WebGL device draws into); 1 where the browser gives no usable number.
float pageContentScale();
// The pixels a canvas of `points` has at `scale`, rounded to whole ones.
IntVec2 bufferPixels(IntVec2 points, float scale);
// Gives the canvas a drawing buffer of `pixels` (its width and height
// attributes; its shown size stays the style sheet's).
void setDrawingBuffer(IntVec2 pixels);

}  // namespace loom::app::platform::web
