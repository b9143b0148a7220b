// Fuzzes PNG decoding: any bytes either decode or raise ImageIoExceptionFailedLoad.
#include <cstddef>
#include <cstdint>

#include "framework/core/exceptions.h"
#include "framework/core/image_io.h"
#include "framework/core/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    loom::Surface8u surface(loom::decodePng(data, size));
    volatile std::uint8_t sink = surface.getWidth() > 0 && surface.getHeight() > 0 ? surface.getData()[0] : 0;
    (void)sink;
  } catch (const loom::ImageIoExceptionFailedLoad&) {
  }
  return 0;
}
