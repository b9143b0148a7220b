#include "framework/app/window_icons.h"

#include <iostream>

#include "framework/core/exceptions.h"
#include "framework/core/image_io.h"

namespace loom::app {

namespace {

platform::WindowIcon toRgba(const ImageSource& image) {
  platform::WindowIcon icon;
  icon.width = image.getWidth();
  icon.height = image.getHeight();
  icon.rgba.reserve(static_cast<std::size_t>(icon.width) * icon.height * 4);
  const SurfaceChannelOrder order = image.getChannelOrder();
  for (int y = 0; y < icon.height; ++y) {
    const std::uint8_t* p = image.getRow(y);
    for (int x = 0; x < icon.width; ++x, p += order.getPixelInc()) {
      icon.rgba.push_back(p[order.getRedOffset()]);
      icon.rgba.push_back(p[order.getGreenOffset()]);
      icon.rgba.push_back(p[order.getBlueOffset()]);
      icon.rgba.push_back(order.hasAlpha() ? p[order.getAlphaOffset()] : 255);
    }
  }
  return icon;
}

}  // namespace

std::vector<platform::WindowIcon> loadWindowIcons(const ResourceTable& table) {
  std::vector<platform::WindowIcon> icons;
  for (int side : kWindowIconSides) {
    const EmbeddedResource* r = findResource(table, side, "ICON");
    if (!r) continue;
    try {
      ImageSourceRef image = decodePng(r->data, r->size);
      if (image->getWidth() != side || image->getHeight() != side)
        throw Exception("is " + std::to_string(image->getWidth()) + " x " + std::to_string(image->getHeight()) +
                        " px, not " + std::to_string(side) + " x " + std::to_string(side));
      icons.push_back(toRgba(*image));
    } catch (const Exception& e) {
      std::cerr << "window icon #" << side << " ICON left out: " << e.what() << std::endl;
    }
  }
  return icons;
}

}  // namespace loom::app
