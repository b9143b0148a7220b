// Image decoding: PNG bytes become an ImageSource of 8-bit RGB or RGBA pixels,
// which surfaces and textures are made from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/data_source.h"
#include "framework/core/image_source.h"

namespace loom {

// Largest width or height accepted, in pixels; larger images are refused before any allocation.
constexpr int kMaxImageDimension = 16384;

// Decodes PNG bytes. Anything else, and any corrupt or truncated data, raises
// ImageIoExceptionFailedLoad; nothing is allocated beyond what the data can fill.
ImageSourceRef decodePng(const std::uint8_t* data, std::size_t size);

// Decodes the bytes of a data source (the extension hint is accepted for
// symmetry with other loaders; only PNG is understood).
ImageSourceRef loadImage(const DataSourceRef& source, ImageSource::Options options = {},
                         const std::string& extension = "");

}  // namespace loom
