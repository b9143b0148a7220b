// Reads the scene off a picture of the canvas, with the thresholds the
// desktop's end-to-end tests use (tests/e2e/scene_pixels.cpp): white canvas,
// the red ribbon and dots (translucent red over white), dark letters; glyph
// edges and the ribbon's faint border are "other".
'use strict';

const Ink = Object.freeze({ Canvas: 'canvas', Red: 'red', Letter: 'letter', Other: 'other' });

function classify(rgb, at) {
  const r = rgb[at], g = rgb[at + 1], b = rgb[at + 2];
  if (r >= 245 && g >= 245 && b >= 245) return Ink.Canvas;
  if (Math.max(r, g, b) < 100) return Ink.Letter;
  if (r >= 230 && r - g >= 20 && Math.abs(g - b) <= 12) return Ink.Red;
  return Ink.Other;
}

function countInk(image) {
  const counts = { canvas: 0, red: 0, letter: 0, other: 0 };
  for (let at = 0; at < image.rgb.length; at += 3) ++counts[classify(image.rgb, at)];
  return counts;
}

function showsScene(image) {
  const counts = countInk(image);
  return counts.red > 500 && counts.letter > 100;
}

function showsBlankCanvas(image) {
  return countInk(image).canvas === image.width * image.height;
}

// [x, y] of every pixel of `ink`.
function pixelsOf(image, ink) {
  const pixels = [];
  for (let y = 0; y < image.height; ++y)
    for (let x = 0; x < image.width; ++x) if (classify(image.rgb, (y * image.width + x) * 3) === ink) pixels.push([x, y]);
  return pixels;
}

// Share of `pixels` ([x, y]) with a pixel of `ink` within `radius`.
function shareNear(image, pixels, ink, radius) {
  const marked = new Uint8Array(image.width * image.height);
  for (const [x, y] of pixelsOf(image, ink)) marked[y * image.width + x] = 1;
  let near = 0;
  for (const [x, y] of pixels) {
    search: for (let dy = -radius; dy <= radius; ++dy) {
      for (let dx = -radius; dx <= radius; ++dx) {
        const px = x + dx, py = y + dy;
        if (px >= 0 && py >= 0 && px < image.width && py < image.height && marked[py * image.width + px]) {
          ++near;
          break search;
        }
      }
    }
  }
  return pixels.length ? near / pixels.length : 0;
}

function sameSize(a, b) {
  if (a.width !== b.width || a.height !== b.height) {
    throw new Error(`pictures of ${a.width} x ${a.height} and ${b.width} x ${b.height} pixels`);
  }
}

// Share of pixels whose channels differ by more than `tolerance`.
function differingShare(a, b, tolerance = 24) {
  sameSize(a, b);
  let differing = 0;
  for (let at = 0; at < a.rgb.length; at += 3) {
    for (let c = 0; c < 3; ++c) {
      if (Math.abs(a.rgb[at + c] - b.rgb[at + c]) > tolerance) {
        ++differing;
        break;
      }
    }
  }
  return differing / (a.width * a.height);
}

// The largest difference of one channel of one pixel, and where it is.
function largestDifference(a, b) {
  sameSize(a, b);
  let largest = 0, where = null;
  for (let at = 0; at < a.rgb.length; ++at) {
    const d = Math.abs(a.rgb[at] - b.rgb[at]);
    if (d > largest) {
      largest = d;
      const pixel = Math.floor(at / 3);
      where = [pixel % a.width, Math.floor(pixel / a.width)];
    }
  }
  return { largest, where };
}

module.exports = { Ink, classify, countInk, showsScene, showsBlankCanvas, pixelsOf, shareNear, differingShare, largestDifference };
