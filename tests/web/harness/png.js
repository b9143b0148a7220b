// Reads the PNG files the tests meet (the browser's screenshots and the
// committed desktop capture): 8 bits a channel, RGB or RGBA, not interlaced.
// Anything else is refused with an error naming what it is.
'use strict';

const zlib = require('node:zlib');

const signature = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);

function paeth(a, b, c) {
  const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Returns { width, height, rgb } with 3 bytes a pixel, row by row (alpha dropped).
function decodePng(bytes) {
  if (bytes.length < 8 || !bytes.subarray(0, 8).equals(signature)) throw new Error('not a PNG file');
  let header = null;
  const data = [];
  for (let at = 8; at + 8 <= bytes.length;) {
    const length = bytes.readUInt32BE(at), type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (body.length !== length) throw new Error(`PNG chunk ${type} cut short`);
    if (type === 'IHDR') {
      header = { width: body.readUInt32BE(0), height: body.readUInt32BE(4), depth: body[8], colour: body[9], interlace: body[12] };
    } else if (type === 'IDAT') {
      data.push(body);
    } else if (type === 'IEND') {
      break;
    }
    at += 12 + length;
  }
  if (!header) throw new Error('PNG without a header');
  const { width, height, depth, colour, interlace } = header;
  const channels = { 2: 3, 6: 4 }[colour];
  if (depth !== 8 || !channels || interlace !== 0) {
    throw new Error(`unsupported PNG: depth ${depth}, colour type ${colour}, interlace ${interlace}`);
  }
  if (width === 0 || height === 0 || width * height > 16384 * 16384) throw new Error(`PNG of ${width} x ${height}`);
  const stride = width * channels;
  const raw = zlib.inflateSync(Buffer.concat(data), { maxOutputLength: (stride + 1) * height });
  if (raw.length !== (stride + 1) * height) throw new Error('PNG data does not match its size');

  const rgb = new Uint8Array(width * height * 3);
  let previous = new Uint8Array(stride), row = new Uint8Array(stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)], line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let i = 0; i < stride; ++i) {
      const left = i >= channels ? row[i - channels] : 0, up = previous[i], upLeft = i >= channels ? previous[i - channels] : 0;
      const predictor = [0, left, up, (left + up) >> 1, paeth(left, up, upLeft)][filter];
      if (predictor === undefined) throw new Error(`PNG row filter ${filter}`);
      row[i] = (line[i] + predictor) & 0xff;
    }
    for (let x = 0; x < width; ++x) rgb.set(row.subarray(x * channels, x * channels + 3), (y * width + x) * 3);
    [previous, row] = [row, previous];
  }
  return { width, height, rgb };
}

module.exports = { decodePng };
