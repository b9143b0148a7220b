// The CPU side of drawing text along a path: glyph lookup, path sampling, the
// per-glyph rotation and the batch building, with the GL calls stubbed out.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/scene_settings.h"
#include "framework/core/resources.h"
#include "paths/followable_path.h"
#include "strings/text_strings.h"
#include "text/xfont.h"

namespace {

struct Scene {
  SceneSettings settings;
  inkvane::XFont font{
      inkvane::InputSource::getResource("../resources/Gelasio_Regular_64.fnt", settings.fontResource, "DATA"),
      inkvane::XFont::Properties(), inkvane::XFontGl::headless()};
  inkvane::FollowablePath path{inkvane::FollowablePath::Extrapolated,
                               loom::app::loadResource(settings.traceResource, "DATA")};
  std::vector<std::u16string> lines = inkvane::splitLines(settings.text, font);
  std::vector<float> starts;

  Scene() {
    font.setSize(settings.fontSize);
    float start = 0;
    for (const auto& line : lines) {
      starts.push_back(start);
      start += font.getStringAdvance(line) + font.getSpaceAdvance();
    }
  }
};

// One frame's text: the five strings of the built-in text along the built-in trace.
void BM_DrawFiveStrings(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    for (std::size_t i = 0; i < scene.lines.size(); ++i) {
      scene.font.setSize(scene.settings.fontSize);
      benchmark::DoNotOptimize(scene.font.drawTextOnPath(scene.lines[i], scene.path, scene.starts[i]));
    }
  }
  state.SetItemsProcessed(state.iterations() * 22);  // glyphs
}
BENCHMARK(BM_DrawFiveStrings);

// A string longer than one batch, to show the cost per glyph.
void BM_DrawLongString(benchmark::State& state) {
  Scene scene;
  const std::u16string text(1500, u'e');
  for (auto _ : state) benchmark::DoNotOptimize(scene.font.drawTextOnPath(text, scene.path, 0));
  state.SetItemsProcessed(state.iterations() * 1500);
}
BENCHMARK(BM_DrawLongString);

}  // namespace
