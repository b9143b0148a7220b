// Texture lookup by request, in creation order.
#include "resources/texture_manager.h"

namespace inkvane {

TextureRef TextureManager::getTexture(const TextureRequest& request) {
  for (const TextureRef& texture : textures_)
    if (texture->getRequest() == request) return texture;
  auto texture = std::make_shared<Texture>(request);
  textures_.push_back(texture);
  return texture;
}

TextureRef TextureManager::getTexture(const InputSourceRef& inputSource, bool useMipmap, int flags, GLenum wrapS,
                                      GLenum wrapT) {
  return getTexture(TextureRequest(inputSource, useMipmap, flags, wrapS, wrapT));
}

}  // namespace inkvane
