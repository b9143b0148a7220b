// Font lookup by locator string and properties, in creation order.
#include "text/font_manager.h"

namespace inkvane {

FontManager::~FontManager() { clear(); }

void FontManager::clear() {
  for (auto& font : fonts_) {
    font->unload();
    font.reset();
  }
  fonts_.clear();
}

XFont* FontManager::getFont(const InputSourceRef& inputSource, const XFont::Properties& properties) {
  const std::string uri = inputSource ? inputSource->getURI() : std::string();
  for (auto& font : fonts_)
    if (font->getInputSource()->getURI() == uri && font->getProperties() == properties) return font.get();
  fonts_.push_back(std::make_unique<XFont>(inputSource, properties, gl_));
  return fonts_.back().get();
}

}  // namespace inkvane
