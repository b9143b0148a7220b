#include "framework/gl/gl_texture_upload.h"

#include "framework/core/debug_assert.h"
#include "framework/gl/gl_context.h"

namespace loom::gl {

TextureName uploadTexture(const TextureUpload& upload, const void* pixels, const MoreTextureLevels& moreLevels) {
  STROPHE_ASSERT(hasCurrentContext());
  using DriverMipmaps = TextureUpload::DriverMipmaps;
  const GLenum target = upload.target;
  TextureName name = TextureName::generate();
  glBindTexture(target, name.get());
  glTexParameteri(target, GL_TEXTURE_WRAP_S, upload.wrapS);
  glTexParameteri(target, GL_TEXTURE_WRAP_T, upload.wrapT);
  glTexParameteri(target, GL_TEXTURE_MIN_FILTER, upload.minFilter);
  glTexParameteri(target, GL_TEXTURE_MAG_FILTER, upload.magFilter);
  if (upload.driverMipmaps != DriverMipmaps::Off) {
    glTexParameteri(target, GL_GENERATE_MIPMAP, GL_TRUE);
    if (upload.niceMipmaps) glHint(GL_GENERATE_MIPMAP_HINT, GL_NICEST);
  }
  GLint alignment = 4;
  if (upload.restoreUnpackAlignment) glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (upload.rowLength >= 0) glPixelStorei(GL_UNPACK_ROW_LENGTH, upload.rowLength);
  glTexImage2D(target, 0, upload.internalFormat, upload.width, upload.height, 0, upload.dataFormat, upload.dataType,
               pixels);
  if (upload.rowLength >= 0) glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  if (moreLevels) moreLevels();
  if (upload.restoreUnpackAlignment) glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  if (upload.driverMipmaps == DriverMipmaps::WhileUploading) glTexParameteri(target, GL_GENERATE_MIPMAP, GL_FALSE);
  return name;
}

}  // namespace loom::gl
