// Surface allocation, fills and copies between surfaces.
#include "framework/core/surface.h"

#include <algorithm>
#include <cstring>

#include "framework/core/exceptions.h"

namespace loom {

SurfaceChannelOrder SurfaceConstraintsDefault::getChannelOrder(bool alpha) const {
  return alpha ? SurfaceChannelOrder::RGBA : SurfaceChannelOrder::RGB;
}

std::int32_t SurfaceConstraintsDefault::getRowBytes(int width, const SurfaceChannelOrder& order,
                                                    int bytesPerComponent) const {
  return width * order.getPixelInc() * bytesPerComponent;
}

Area Area::clippedBy(const Area& o) const {
  Area a{std::max(x1, o.x1), std::max(y1, o.y1), std::min(x2, o.x2), std::min(y2, o.y2)};
  if (a.isEmpty()) return {};
  return a;
}

template <typename T>
SurfaceT<T>::SurfaceT(int width, int height, bool alpha, SurfaceChannelOrder order)
    : width_(width), height_(height) {
  order_ = order.getCode() == SurfaceChannelOrder::UNSPECIFIED
               ? SurfaceConstraintsDefault().getChannelOrder(alpha)
               : order;
  const std::int64_t rowBytes = std::int64_t{width} * order_.getPixelInc() * std::int64_t{sizeof(T)};
  if (width < 0 || height < 0 || rowBytes > INT32_MAX) throw Exception("surface size out of range");
  rowBytes_ = static_cast<std::int32_t>(rowBytes);
  data_ = std::shared_ptr<T[]>(new T[static_cast<std::size_t>(rowBytes_) * height / sizeof(T) + 1]());
}

template <typename T>
SurfaceT<T>::SurfaceT(const ImageSourceRef& image, const SurfaceConstraints& constraints) {
  if (!image) throw ImageIoExceptionFailedLoad("no image");
  width_ = image->getWidth();
  height_ = image->getHeight();
  order_ = constraints.getChannelOrder(image->hasAlpha());
  if (order_.getCode() == SurfaceChannelOrder::UNSPECIFIED) throw ImageIoExceptionIllegalColorModel("no channel order");
  rowBytes_ = constraints.getRowBytes(width_, order_, sizeof(T));
  if (rowBytes_ < width_ * order_.getPixelInc() * static_cast<std::int32_t>(sizeof(T)))
    throw ImageIoExceptionIllegalColorModel("row bytes too small for the width");
  data_ = std::shared_ptr<T[]>(new T[static_cast<std::size_t>(rowBytes_) * height_ / sizeof(T) + 1]());

  // The image's pixels come as RGB or RGBA; place each channel where this order wants it.
  const SurfaceChannelOrder src = image->getChannelOrder();
  const std::uint8_t srcInc = src.getPixelInc(), dstInc = order_.getPixelInc();
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* s = image->getRow(y);
    T* d = getData(0, y);
    for (int x = 0; x < width_; ++x, s += srcInc, d += dstInc) {
      d[order_.getRedOffset()] = s[src.getRedOffset()];
      d[order_.getGreenOffset()] = s[src.getGreenOffset()];
      d[order_.getBlueOffset()] = s[src.getBlueOffset()];
      if (order_.hasAlpha()) d[order_.getAlphaOffset()] = src.hasAlpha() ? s[src.getAlphaOffset()] : 255;
    }
  }
}

template <typename T>
ChannelT<T> SurfaceT<T>::channel(std::uint8_t offset) const {
  ChannelT<T> c;
  c.width = width_;
  c.height = height_;
  c.rowBytes = rowBytes_;
  c.increment = order_.getPixelInc();
  c.data = (offset == SurfaceChannelOrder::INVALID || !data_) ? nullptr : data_.get() + offset;
  return c;
}

template <typename T>
void SurfaceT<T>::fill(const Area& area, T red, T green, T blue, T alpha) {
  const Area a = area.clippedBy(getBounds());
  const std::uint8_t inc = getPixelInc();
  for (int y = a.y1; y < a.y2; ++y) {
    T* p = getData(a.x1, y);
    for (int x = a.x1; x < a.x2; ++x, p += inc) {
      p[order_.getRedOffset()] = red;
      p[order_.getGreenOffset()] = green;
      p[order_.getBlueOffset()] = blue;
      if (order_.hasAlpha()) p[order_.getAlphaOffset()] = alpha;
    }
  }
}

template <typename T>
void SurfaceT<T>::copyFrom(const SurfaceT& src, const Area& srcArea, int dx, int dy) {
  // Clip in source space first, then against this surface shifted back into source space.
  Area a = srcArea.clippedBy(src.getBounds());
  a = a.clippedBy({-dx + srcArea.x1, -dy + srcArea.y1, width_ - dx + srcArea.x1, height_ - dy + srcArea.y1});
  if (a.isEmpty()) return;
  const int offX = dx - srcArea.x1, offY = dy - srcArea.y1;
  const SurfaceChannelOrder& so = src.order_;
  const std::uint8_t sInc = so.getPixelInc(), dInc = getPixelInc();
  for (int y = a.y1; y < a.y2; ++y) {
    const T* s = src.data_.get() + y * src.rowBytes_ / sizeof(T) + a.x1 * sInc;
    T* d = getData(a.x1 + offX, y + offY);
    if (so == order_) {
      std::memmove(d, s, static_cast<std::size_t>(a.getWidth()) * sInc * sizeof(T));
      continue;
    }
    for (int x = a.x1; x < a.x2; ++x, s += sInc, d += dInc) {
      d[order_.getRedOffset()] = s[so.getRedOffset()];
      d[order_.getGreenOffset()] = s[so.getGreenOffset()];
      d[order_.getBlueOffset()] = s[so.getBlueOffset()];
      if (order_.hasAlpha()) d[order_.getAlphaOffset()] = so.hasAlpha() ? s[so.getAlphaOffset()] : T(~T(0));
    }
  }
}

template class SurfaceT<std::uint8_t>;

}  // namespace loom
