// The scene: sprites, font and the built-in trace at set-up, string sets
// stepped every frame and drawn as ribbon, end dots and letters, and the
// sketch that becomes a new set.
#include "app/application.h"

#include <epoxy/gl.h>

#include "app/command_line.h"
#include "app/program_options.h"
#include "framework/core/resources.h"
#include "paths/ribbon.h"
#include "resources/input_source.h"
#include "strings/given_text.h"
#include "strings/text_strings.h"
#include "text/xfont.h"

namespace {

constexpr int kAlphaMask = 1;  // texture flag: the image's red channel becomes alpha

// Any scale but 1 draws with more (or fewer) pixels than points, where the
// sprites with twice the pixels look sharp.
bool doubleResolutionAt(float contentScale) { return contentScale != 1.0f; }

}  // namespace

void Application::loadResources() {
  const bool doubleResolution = doubleResolutionAt(contentScale);
  auto sprite = [&](const char* name, int id) {
    return textureManager.getTexture(inkvane::InputSource::getResource(name, id, "DATA"), false, kAlphaMask,
                                     GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE);
  };
  lineTexture = doubleResolution ? sprite("../resources/line2x.png", scene.line2xResource)
                                 : sprite("../resources/line.png", scene.lineResource);
  dotTexture = doubleResolution ? sprite("../resources/dot2x.png", scene.dot2xResource)
                                : sprite("../resources/dot.png", scene.dotResource);

  inkvane::XFont::Properties properties;
  properties.useMipmap = true;
  properties.useAnisotropy = false;
  properties.dimensions = 2;
  properties.slotCapacity = 1024;
  font = fontManager.getFont(
      inkvane::InputSource::getResource("../resources/Gelasio_Regular_64.fnt", scene.fontResource, "DATA"), properties);
  font->setSize(scene.fontSize);
  gap = font->getSpaceAdvance();
}

void Application::releaseGlObjects() {
  lineTexture.reset();
  dotTexture.reset();
  textureManager.clear();
  font = nullptr;
  fontManager.clear();
}

// Once, with the font: the notes on a given text are said once however many
// paths it is laid on.
void Application::chooseTextLines() {
  inkvane::TextChoice choice = inkvane::chooseText(parseProgramOptions(getArgs()).text, scene.text, *font);
  for (const std::string& note : choice.notes) printCommandLineNote(note);
  textLines = std::move(choice.lines);
}

void Application::createFirstSet() {
  inkvane::FollowablePath trace(inkvane::FollowablePath::Extrapolated,
                                loom::app::loadResource(scene.traceResource, "DATA"));
  createStringSet(sketch.resample(trace));
}

void Application::createStringSet(const inkvane::FollowablePathRef& path) {
  auto set = std::make_shared<inkvane::StringSet>(&idCounters, path, scene.endMargin, gap);
  auto data = std::make_unique<inkvane::CustomStringSetData>();
  inkvane::buildRibbon(*path, data->ribbon, scene.ribbonHalfWidth, scene.ribbonTextureScale);
  set->setData(std::move(data));
  stringSets.push_back(set);
  inkvane::addTextStrings(*font, *set, textLines, scene.textStart, scene.fontSize);
}

void Application::simulate() {
  for (const auto& set : stringSets) {
    gravity = loom::Vector2(0, 1);
    set->update(gravity.x, gravity.y, scene.step);
  }
  followShownPlaces();
}

// Only here, once per step: how often the window is drawn must not change
// where things are drawn.
void Application::followShownPlaces() {
  gatherPlaces(stringSets, actualPlaces);
  followPlaces(actualPlaces, shownPlaces);
}

// A set added or removed since the last step is drawn where it is, but the
// shown places change in the step alone: a frame drawn in between must not
// decide where the next ones are drawn.
const std::vector<float>& Application::placesToDraw() {
  gatherPlaces(stringSets, actualPlaces);
  return actualPlaces.size() == shownPlaces.size() ? shownPlaces : actualPlaces;
}

void Application::drawSets() {
  glEnableClientState(GL_VERTEX_ARRAY);
  const std::vector<float>& shown = placesToDraw();  // each set's strings, then its end stops
  const float* places = shown.data();
  for (const auto& set : stringSets) {
    glColor4f(1.0f, 0.0f, 0.0f, 0.333f);
    if (!set->path()->empty()) {
      auto* data = static_cast<inkvane::CustomStringSetData*>(set->data());
      drawRibbon(data->ribbon);
    }
    glColor4f(1.0f, 0.0f, 0.0f, 0.5f);
    drawStops(*set, places + set->strings().size());
    places += placeCount(*set);
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  places = shown.data();
  for (const auto& set : stringSets) {
    drawText(*set, places);
    places += placeCount(*set);
  }
}

void Application::drawSketch() {
  glEnableClientState(GL_VERTEX_ARRAY);
  if (sketch.ribbon().vertexCount > 0) {
    glColor4f(1.0f, 0.0f, 0.0f, 0.333f);
    drawRibbon(sketch.ribbon());
  }
  glDisableClientState(GL_VERTEX_ARRAY);
}

void Application::drawRibbon(const inkvane::Ribbon& ribbon) {
  if (ribbon.vertexCount <= 0) return;
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, lineTexture->getTextureId());
  glTexCoordPointer(2, GL_FLOAT, 0, ribbon.texCoords.data());
  glVertexPointer(2, GL_FLOAT, 0, ribbon.vertices.data());
  glDrawArrays(GL_TRIANGLE_STRIP, 0, ribbon.vertexCount);
  glDisable(GL_TEXTURE_2D);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void Application::drawStops(const inkvane::StringSet& set, const float* endPlaces) {
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, dotTexture->getTextureId());
  for (const auto& stop : set.stops()) {
    if (stop->kind != inkvane::Stop::PathEnd) continue;  // finger stops are not drawn
    glColor4f(1.0f, 0.0f, 0.0f, 0.5f);
    glPushMatrix();
    loom::Vector2 p = set.path()->positionAt(*endPlaces++);
    glTranslatef(p.x, p.y, 0.0f);
    // The double-resolution dot has twice the pixels of the other: at half
    // size it covers the same points at every scale, 1.5 as well as 2.
    if (doubleResolutionAt(contentScale)) glScalef(0.5f, 0.5f, 1.0f);
    dotTexture->drawFromCenter();
    glPopMatrix();
  }
  glDisable(GL_TEXTURE_2D);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void Application::drawText(const inkvane::StringSet& set, const float* stringPlaces) {
  for (const auto& string : set.strings()) {
    const auto* data = static_cast<const inkvane::CustomStringData*>(string->data.get());
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    font->setSize(data->fontSize);
    font->drawTextOnPath(data->text, *set.path(), *stringPlaces++);
  }
}

void Application::clearScene() {
  stringSets.clear();
  sketch.clear();
  ++sketchEdits;
}

void Application::finishSketch() {
  if (!sketch.smoothed()) {
    sketch.clear();
    ++sketchEdits;
    return;
  }
  createStringSet(sketch.smoothed());
  pressedCount = 0;
  mode = PLAYING;
}
