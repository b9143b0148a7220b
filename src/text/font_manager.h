// The font cache: creates each font once per locator and properties, owns it,
// and unloads and deletes every font when it goes.
#pragma once

#include <memory>
#include <vector>

#include "text/xfont.h"

namespace inkvane {

class FontManager {
 public:
  explicit FontManager(XFontGl& gl = XFontGl::real()) : gl_(gl) {}
  ~FontManager();
  FontManager(const FontManager&) = delete;
  FontManager& operator=(const FontManager&) = delete;

  // The cached font with this source's locator and these properties, or a new
  // one. Load errors propagate and leave the cache unchanged. The pointer stays
  // valid until the manager is destroyed.
  XFont* getFont(const InputSourceRef& inputSource, const XFont::Properties& properties);
  std::size_t size() const { return fonts_.size(); }
  // Unloads and deletes every font, whose pointers then dangle; needs the
  // context the fonts were made in to be current.
  void clear();

 private:
  XFontGl& gl_;
  std::vector<std::unique_ptr<XFont>> fonts_;
};

}  // namespace inkvane
