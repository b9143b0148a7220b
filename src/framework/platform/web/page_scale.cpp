#include "framework/platform/web/page_scale.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>

EM_JS(double, strophe_page_device_pixel_ratio, (), { return Number(window.devicePixelRatio); });

EM_JS(void, strophe_page_set_drawing_buffer, (int width, int height), {
  var canvas = Module["canvas"];
  if (canvas.width != width) canvas.width = width;
  if (canvas.height != height) canvas.height = height;
});

namespace loom::app::platform::web {

float pageContentScale() {
  const double ratio = strophe_page_device_pixel_ratio();
  if (!std::isfinite(ratio) || ratio <= 0.0) return 1.0f;
  return static_cast<float>(std::clamp(ratio, 0.5, 4.0));
}

IntVec2 bufferPixels(IntVec2 points, float scale) {
  return {static_cast<int>(std::lround(points.x * static_cast<double>(scale))),
          static_cast<int>(std::lround(points.y * static_cast<double>(scale)))};
}

void setDrawingBuffer(IntVec2 pixels) { strophe_page_set_drawing_buffer(pixels.x, pixels.y); }

}  // namespace loom::app::platform::web
