// The texture cache: one texture per distinct request, kept for the manager's life.
#pragma once

#include <vector>

#include "resources/texture.h"

namespace inkvane {

class TextureManager {
 public:
  // The cached texture for an equal request, or a new one. Errors propagate
  // and leave the cache unchanged.
  TextureRef getTexture(const TextureRequest& request);
  TextureRef getTexture(const InputSourceRef& inputSource, bool useMipmap = false, int flags = 0,
                        GLenum wrapS = GL_CLAMP_TO_EDGE, GLenum wrapT = GL_CLAMP_TO_EDGE);
  std::size_t size() const { return textures_.size(); }
  // Drops the cache's handles; a texture goes with the last of its handles.
  void clear() { textures_.clear(); }

 private:
  std::vector<TextureRef> textures_;
};

}  // namespace inkvane
