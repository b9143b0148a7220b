// Pixel surfaces: width, height, row bytes, a channel order and a shared pixel
// buffer. Images decode into them and textures upload from them.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/core/image_source.h"

namespace loom {

// What a surface made from an image looks like: its channel order and row bytes.
class SurfaceConstraints {
 public:
  virtual ~SurfaceConstraints() = default;
  virtual SurfaceChannelOrder getChannelOrder(bool alpha) const = 0;
  virtual std::int32_t getRowBytes(int width, const SurfaceChannelOrder& order, int bytesPerComponent) const = 0;
};

// RGBA with alpha, RGB without; tightly packed rows.
class SurfaceConstraintsDefault : public SurfaceConstraints {
 public:
  SurfaceChannelOrder getChannelOrder(bool alpha) const override;
  std::int32_t getRowBytes(int width, const SurfaceChannelOrder& order, int bytesPerComponent) const override;
};

// A half-open rectangle [x1, x2) × [y1, y2).
struct Area {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int getWidth() const { return x2 - x1; }
  int getHeight() const { return y2 - y1; }
  bool isEmpty() const { return x2 <= x1 || y2 <= y1; }
  Area clippedBy(const Area& o) const;
};

// One channel of a surface, read through its first byte, row bytes and pixel increment.
template <typename T>
struct ChannelT {
  T* data = nullptr;  // the channel's byte in pixel (0, 0); null for a missing channel
  int width = 0;
  int height = 0;
  std::int32_t rowBytes = 0;
  std::uint8_t increment = 0;
  T getValue(int x, int y) const { return data[y * rowBytes / sizeof(T) + x * increment]; }
};

template <typename T>
class SurfaceT {
 public:
  SurfaceT() = default;  // null surface
  // A zero-filled surface; UNSPECIFIED picks RGBA or RGB by alpha.
  SurfaceT(int width, int height, bool alpha, SurfaceChannelOrder order = SurfaceChannelOrder::UNSPECIFIED);
  // Decodes nothing itself: copies the image's pixels into the channel order the constraints ask for.
  explicit SurfaceT(const ImageSourceRef& image, const SurfaceConstraints& constraints = SurfaceConstraintsDefault());

  explicit operator bool() const { return static_cast<bool>(data_); }
  int getWidth() const { return width_; }
  int getHeight() const { return height_; }
  Area getBounds() const { return {0, 0, width_, height_}; }
  std::int32_t getRowBytes() const { return rowBytes_; }
  const SurfaceChannelOrder& getChannelOrder() const { return order_; }
  std::uint8_t getPixelInc() const { return order_.getPixelInc(); }
  bool hasAlpha() const { return order_.hasAlpha(); }

  T* getData() { return data_.get(); }
  const T* getData() const { return data_.get(); }
  T* getData(int x, int y) { return data_.get() + y * rowBytes_ / sizeof(T) + x * getPixelInc(); }

  ChannelT<T> getChannelRed() const { return channel(order_.getRedOffset()); }
  ChannelT<T> getChannelGreen() const { return channel(order_.getGreenOffset()); }
  ChannelT<T> getChannelBlue() const { return channel(order_.getBlueOffset()); }
  ChannelT<T> getChannelAlpha() const { return channel(order_.getAlphaOffset()); }

  // Sets every channel of the pixels in area (clipped to the surface) to these values.
  void fill(const Area& area, T red, T green, T blue, T alpha);
  // Copies srcArea of src so its corner lands at (dx, dy); clipped to both surfaces.
  // Channels are matched by name, so the two channel orders may differ.
  void copyFrom(const SurfaceT& src, const Area& srcArea, int dx, int dy);

 private:
  ChannelT<T> channel(std::uint8_t offset) const;

  int width_ = 0;
  int height_ = 0;
  std::int32_t rowBytes_ = 0;
  SurfaceChannelOrder order_;
  std::shared_ptr<T[]> data_;
};

using Surface8u = SurfaceT<std::uint8_t>;
using Surface = Surface8u;
using Channel8u = ChannelT<std::uint8_t>;

}  // namespace loom
