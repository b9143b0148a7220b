// What WebGL 1 lacks of the desktop's texture uploads, made up for before the
// data reaches it. Only this page's contexts are touched.
//
// Alpha masks (the font's atlas, the line and dot sprites) are GL_ALPHA
// textures tinted by the current colour. WebGL samples an ALPHA texture as
// black with that alpha, and the legacy-GL emulation multiplies the sampled
// colour in, so every tinted mask drew black. Uploaded as LUMINANCE_ALPHA with
// full luminance, a mask gives what fixed-function OpenGL gives: the colour of
// glColor, the alpha of the mask.
//
// GL_UNPACK_ROW_LENGTH (rows of an image inside a wider one) is not a WebGL 1
// setting: it is kept here, and the rows are packed before the upload.
(function () {
  if (typeof WebGLRenderingContext === "undefined") return;
  var ALPHA = 0x1906, LUMINANCE_ALPHA = 0x190a, RGB = 0x1907, RGBA = 0x1908, LUMINANCE = 0x1909;
  var UNSIGNED_BYTE = 0x1401, UNPACK_ROW_LENGTH = 0x0cf2;
  var bytesPerTexel = {};
  bytesPerTexel[ALPHA] = 1;
  bytesPerTexel[LUMINANCE] = 1;
  bytesPerTexel[LUMINANCE_ALPHA] = 2;
  bytesPerTexel[RGB] = 3;
  bytesPerTexel[RGBA] = 4;
  var proto = WebGLRenderingContext.prototype;
  var texImage2D = proto.texImage2D, pixelStorei = proto.pixelStorei;

  function padded(bytes, alignment) {
    return Math.ceil(bytes / alignment) * alignment;
  }

  proto.pixelStorei = function (name, value) {
    if (name === UNPACK_ROW_LENGTH) {
      this.stropheRowLength = value;
      return;
    }
    return pixelStorei.call(this, name, value);
  };

  proto.texImage2D = function (target, level, internalFormat, width, height, border, format, type, pixels) {
    var texel = bytesPerTexel[format];
    if (arguments.length !== 9 || type !== UNSIGNED_BYTE || !pixels || !texel) {
      return texImage2D.apply(this, arguments);
    }
    var rowLength = this.stropheRowLength > 0 ? this.stropheRowLength : width;
    if (format !== ALPHA && rowLength === width) return texImage2D.apply(this, arguments);
    var alignment = this.getParameter(this.UNPACK_ALIGNMENT);
    var mask = format === ALPHA;
    var outTexel = mask ? 2 : texel;
    var from = padded(rowLength * texel, alignment), to = padded(width * outTexel, alignment);
    var source = new Uint8Array(pixels.buffer, pixels.byteOffset, Math.min(pixels.byteLength, from * height));
    var packed = new Uint8Array(to * height);
    for (var y = 0; y < height; y++) {
      var s = y * from, d = y * to;
      if (!mask) {
        packed.set(source.subarray(s, s + width * texel), d);
        continue;
      }
      for (var x = 0; x < width; x++) {
        packed[d + 2 * x] = 255;
        packed[d + 2 * x + 1] = source[s + x];
      }
    }
    var uploaded = mask ? LUMINANCE_ALPHA : format;
    return texImage2D.call(this, target, level, mask ? LUMINANCE_ALPHA : internalFormat, width, height, border,
                           uploaded, type, packed);
  };
})();
