// Fuzz target for trace files: any bytes either load or fail with the reader's
// errors, and whatever loads can be looked up, smoothed and given a ribbon as
// the application does with the built-in trace.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "app/scene_settings.h"
#include "framework/core/data_source.h"
#include "framework/core/exceptions.h"
#include "paths/followable_path.h"
#include "paths/path_sketch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using inkvane::FollowablePath;
  auto source = loom::DataSourceBuffer::create(loom::Buffer::borrowed(data, size));
  try {
    FollowablePath path(FollowablePath::Extrapolated, source);
    const float total = path.totalLength();
    for (auto mode : {FollowablePath::Clamped, FollowablePath::Closed, FollowablePath::Extrapolated,
                      FollowablePath::Wrapped}) {
      path.setMode(mode);
      for (float d : {-5.0f, 0.0f, total * 0.5f, total, total + 3.0f}) {
        path.positionAt(d);
        path.angleAt(d);
      }
    }
    path.setMode(FollowablePath::Extrapolated);
    const SceneSettings scene;
    const inkvane::PathSketch sketch(scene.sketchStep, scene.ribbonHalfWidth, scene.ribbonTextureScale,
                                     scene.smoothingTolerance);
    if (auto smoothed = sketch.resample(path)) {
      inkvane::Ribbon ribbon;
      inkvane::buildRibbon(*smoothed, ribbon, scene.ribbonHalfWidth, scene.ribbonTextureScale);
    }
  } catch (const loom::StreamExc&) {
  } catch (const std::length_error&) {
  }
  return 0;
}
