#include "framework/core/image_source.h"

#include "framework/core/exceptions.h"

namespace loom {

ImageSource::ImageSource(int width, int height, bool alpha, std::vector<std::uint8_t> pixels)
    : width_(width),
      height_(height),
      order_(alpha ? SurfaceChannelOrder::RGBA : SurfaceChannelOrder::RGB),
      rowBytes_(width * order_.getPixelInc()),
      pixels_(std::move(pixels)) {
  if (width < 0 || height < 0 || pixels_.size() < static_cast<std::size_t>(rowBytes_) * height)
    throw ImageIoExceptionFailedLoad("pixel data smaller than the image");
}

}  // namespace loom
