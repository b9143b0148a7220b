// Loading texture payloads: PVR containers by name, images decoded into an
// alpha mask, a power-of-two padded surface, or left for the upload to decode.
#include "resources/texture_data.h"

#include <stdexcept>
#include <string>

#include "resources/pvr.h"

namespace inkvane {

TextureRequest::TextureRequest(InputSourceRef inputSource_, bool useMipmap_, int flags_, GLenum wrapS_, GLenum wrapT_)
    : inputSource(std::move(inputSource_)), useMipmap(useMipmap_), flags(flags_), wrapS(wrapS_), wrapT(wrapT_) {}

bool TextureRequest::operator==(const TextureRequest& o) const {
  const std::string uri = inputSource ? inputSource->getURI() : std::string();
  const std::string otherUri = o.inputSource ? o.inputSource->getURI() : std::string();
  return uri == otherUri && useMipmap == o.useMipmap && flags == o.flags && wrapS == o.wrapS && wrapT == o.wrapT;
}

namespace {

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

int powerOfTwoAtLeast(int n) {
  int p = 1;
  while (p < n) p *= 2;
  return p;
}

loom::DataSourceRef dataSourceOf(const TextureRequest& request) {
  if (!request.inputSource) throw std::invalid_argument("texture request without an input source");
  return request.inputSource->loadDataSource();
}

// One byte per texel from the red channel.
std::shared_ptr<std::vector<std::uint8_t>> redChannel(const loom::Surface8u& surface) {
  const loom::Channel8u red = surface.getChannelRed();
  auto texels = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(red.width) * red.height);
  for (int r = 0; r < red.height; ++r)
    for (int col = 0; col < red.width; ++col)
      (*texels)[static_cast<std::size_t>(r) * red.width + col] = red.data[r * red.rowBytes + col * red.increment];
  return texels;
}

}  // namespace

loom::Surface8u padToPowerOfTwo(const loom::Surface8u& image, float* maxU, float* maxV) {
  const int w = image.getWidth(), h = image.getHeight();
  const int W = powerOfTwoAtLeast(w), H = powerOfTwoAtLeast(h);
  if (W == w && H == h) {
    *maxU = *maxV = 1.0f;
    return image;
  }
  // A new surface starts as transparent black, which is what the padding holds.
  loom::Surface8u padded(W, H, image.hasAlpha(), image.getChannelOrder());
  padded.copyFrom(image, image.getBounds(), 0, 0);
  padded.copyFrom(image, {w - 1, 0, w, h}, w, 0);
  padded.copyFrom(image, {0, h - 1, w, h}, 0, h);
  *maxU = static_cast<float>(w) / static_cast<float>(W);
  *maxV = static_cast<float>(h) / static_cast<float>(H);
  return padded;
}

TextureData loadTextureData(const TextureRequest& request) {
  TextureData result(request);
  const std::string hint = request.inputSource ? request.inputSource->getFilePathHint() : std::string();

  if (endsWith(hint, ".pvr.gz")) {
    const std::filesystem::path path = request.inputSource->getFilePath();
    if (path.empty()) throw std::runtime_error("PVR.GZ TEXTURES CAN ONLY BE LOADED FROM FILES");
    result.type = TextureData::BUFFER;
    result.buffer = loadPvrGz(path);
  } else if (endsWith(hint, ".pvr.ccz")) {
    result.type = TextureData::BUFFER;
    result.buffer = loadPvrCcz(dataSourceOf(request));
  } else if (endsWith(hint, ".pvr")) {
    result.type = TextureData::BUFFER;
    if (loom::DataSourceRef source = dataSourceOf(request)) result.buffer = source->getBuffer();
  } else {
    loom::ImageSourceRef image = loom::loadImage(dataSourceOf(request));
    if (request.flags & TextureRequest::FLAG_ALPHA_MASK) {
      const loom::Surface8u surface(image);
      result.type = TextureData::DATA;
      result.data = redChannel(surface);
      result.glInternalFormat = result.glFormat = GL_ALPHA;
      result.width = surface.getWidth();
      result.height = surface.getHeight();
    } else if (request.flags & TextureRequest::FLAG_POWER_OF_TWO) {
      result.type = TextureData::SURFACE;
      result.surface = padToPowerOfTwo(loom::Surface8u(image), &result.maxU, &result.maxV);
    } else {
      result.type = TextureData::IMAGE_SOURCE;
      result.imageSource = image;
    }
  }
  result.defined = true;
  return result;
}

}  // namespace inkvane
