// PNG decoding with libpng. libpng reports errors by longjmp, so every call
// that may fail runs inside a small function that holds only plain locals and
// owns nothing: the jump never skips a C++ destructor. Its caller turns the
// failure into ImageIoExceptionFailedLoad once the jump has landed.
#include "framework/core/image_io.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "framework/core/exceptions.h"

namespace loom {

namespace {

// Deflate cannot compress better than about 1032:1, so an image needing more
// raw bytes than this many times the file size cannot be complete.
constexpr std::uint64_t kMaxDeflateRatio = 1040;
constexpr std::uint64_t kMaxImageBytes = 256u << 20;  // decoded pixels, bytes
// A ceiling on what libpng may allocate for one chunk or inflate from one.
// The chunks still read (header, palette, transparency) are tiny and image
// data is streamed, so this only backs up the skipping below.
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;

struct PngInput {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos;
  char message[160];
};

struct PngLayout {
  png_uint_32 width;
  png_uint_32 height;
  std::uint64_t fileRowBits;  // bits per row as stored, before any transform
  int channels;               // after the transforms: 3 or 4
  std::size_t rowBytes;       // after the transforms
};

void readPngBytes(png_structp png, png_bytep out, png_size_t n) {
  auto* in = static_cast<PngInput*>(png_get_io_ptr(png));
  if (n > in->size - in->pos) png_error(png, "data ends early");
  std::memcpy(out, in->data + in->pos, n);
  in->pos += n;
}

void onPngError(png_structp png, png_const_charp message) {
  auto* in = static_cast<PngInput*>(png_get_error_ptr(png));
  std::snprintf(in->message, sizeof in->message, "%s", message);
  png_longjmp(png, 1);
}

// The program prints nothing but audio errors; libpng's warnings are dropped.
void onPngWarning(png_structp, png_const_charp) {}

// Reads the header and chooses the transforms that give 8-bit RGB or RGBA.
bool readPngHeader(png_structp png, png_infop info, PngLayout* layout) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_user_limits(png, kMaxImageDimension, kMaxImageDimension);
  // Only the pixels matter: text, profiles, palettes of suggestions, Exif and
  // every unknown chunk are passed over, never stored, so a chunk that declares a
  // huge length costs nothing. Its handler would allocate that length first.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_set_chunk_malloc_max(png, kMaxChunkBytes);
  png_read_info(png, info);

  png_uint_32 width = 0, height = 0;
  int depth = 0, colorType = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
  layout->width = width;
  layout->height = height;
  layout->fileRowBits = std::uint64_t{width} * depth * png_get_channels(png, info);

  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (!(colorType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
  if (depth == 16) png_set_scale_16(png);
  // Palette expansion would turn a tRNS chunk into alpha; only real alpha channels count.
  if (!(colorType & PNG_COLOR_MASK_ALPHA)) png_set_strip_alpha(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  layout->channels = png_get_channels(png, info);
  layout->rowBytes = png_get_rowbytes(png, info);
  return true;
}

bool readPngRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

// Frees libpng's structures however the decoding ends.
struct PngReadGuard {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngReadGuard() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

[[noreturn]] void failPng(const char* what) {
  throw ImageIoExceptionFailedLoad(std::string("PNG: ") + what);
}

}  // namespace

ImageSourceRef decodePng(const std::uint8_t* data, std::size_t size) {
  if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) failPng("not a PNG image");

  PngInput input{data, size, 0, {}};
  PngReadGuard guard;
  guard.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &input, onPngError, onPngWarning);
  if (!guard.png) failPng("out of memory");
  guard.info = png_create_info_struct(guard.png);
  if (!guard.info) failPng("out of memory");
  png_set_read_fn(guard.png, &input, readPngBytes);

  PngLayout layout{};
  if (!readPngHeader(guard.png, guard.info, &layout)) failPng(input.message);
  const std::uint64_t fileBytes = std::uint64_t{layout.height} * ((layout.fileRowBits + 7) / 8);
  const std::uint64_t pixelBytes = std::uint64_t{layout.height} * layout.rowBytes;
  if (layout.channels != 3 && layout.channels != 4) failPng("unexpected channel count");
  if (layout.rowBytes != std::size_t{layout.width} * layout.channels) failPng("unexpected row layout");
  if (fileBytes > kMaxDeflateRatio * size) failPng("image data too short for the image size");
  if (pixelBytes > kMaxImageBytes) failPng("image too large");

  std::vector<std::uint8_t> pixels(pixelBytes);
  std::vector<png_bytep> rows(layout.height);
  for (png_uint_32 y = 0; y < layout.height; ++y) rows[y] = pixels.data() + y * layout.rowBytes;
  if (!readPngRows(guard.png, rows.data())) failPng(input.message);

  return std::make_shared<ImageSource>(static_cast<int>(layout.width), static_cast<int>(layout.height),
                                       layout.channels == 4, std::move(pixels));
}

ImageSourceRef loadImage(const DataSourceRef& source, ImageSource::Options, const std::string&) {
  if (!source) throw ImageIoExceptionFailedLoad("no data source");
  Buffer bytes;
  try {
    bytes = source->getBuffer();
  } catch (const StreamExc& e) {
    throw ImageIoExceptionFailedLoad(e.what());
  }
  return decodePng(bytes.data(), bytes.size());
}

}  // namespace loom
