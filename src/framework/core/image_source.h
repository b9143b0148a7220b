// A decoded image's pixels, which surfaces and textures are made from.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/core/channel_order.h"

namespace loom {

// A decoded image. Every PNG colour type arrives as 8 bits per channel:
// palette and grey images (any bit depth) as RGB, grey with alpha as RGBA,
// 16-bit images scaled down. Alpha comes only from an alpha channel; a
// transparency chunk (tRNS) is ignored, so palette images stay 24-bit RGB.
class ImageSource {
 public:
  struct Options {};

  ImageSource(int width, int height, bool alpha, std::vector<std::uint8_t> pixels);

  int getWidth() const { return width_; }
  int getHeight() const { return height_; }
  bool hasAlpha() const { return order_.hasAlpha(); }
  SurfaceChannelOrder getChannelOrder() const { return order_; }  // RGB or RGBA
  std::int32_t getRowBytes() const { return rowBytes_; }
  const std::uint8_t* getData() const { return pixels_.data(); }
  const std::uint8_t* getRow(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * rowBytes_; }

 private:
  int width_;
  int height_;
  SurfaceChannelOrder order_;
  std::int32_t rowBytes_;
  std::vector<std::uint8_t> pixels_;
};

using ImageSourceRef = std::shared_ptr<ImageSource>;

}  // namespace loom
