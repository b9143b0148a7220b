// Alpha masks (the font's atlas, the line and dot sprites) are GL_ALPHA
// textures tinted by the current colour. WebGL samples an ALPHA texture as
// black with that alpha, and the legacy-GL emulation multiplies the sampled
// colour in, so every tinted mask drew black. Uploaded as LUMINANCE_ALPHA with
// full luminance, a mask gives what fixed-function OpenGL gives: the colour of
// glColor, the alpha of the mask. Only this page's contexts are touched.
(function () {
  if (typeof WebGLRenderingContext === "undefined") return;
  var ALPHA = 0x1906, LUMINANCE_ALPHA = 0x190a, UNSIGNED_BYTE = 0x1401;
  var proto = WebGLRenderingContext.prototype;
  var texImage2D = proto.texImage2D;

  function rowBytes(bytes, alignment) {
    return Math.ceil(bytes / alignment) * alignment;
  }

  proto.texImage2D = function (target, level, internalFormat, width, height, border, format, type, pixels) {
    if (arguments.length !== 9 || format !== ALPHA || type !== UNSIGNED_BYTE || !pixels) {
      return texImage2D.apply(this, arguments);
    }
    var alignment = this.getParameter(this.UNPACK_ALIGNMENT);
    var from = rowBytes(width, alignment), to = rowBytes(width * 2, alignment);
    var mask = new Uint8Array(pixels.buffer, pixels.byteOffset, Math.min(pixels.byteLength, from * height));
    var expanded = new Uint8Array(to * height);
    for (var y = 0; y < height; y++) {
      for (var x = 0; x < width; x++) {
        expanded[y * to + 2 * x] = 255;
        expanded[y * to + 2 * x + 1] = mask[y * from + x];
      }
    }
    return texImage2D.call(this, target, level, LUMINANCE_ALPHA, width, height, border, LUMINANCE_ALPHA, type, expanded);
  };
})();
