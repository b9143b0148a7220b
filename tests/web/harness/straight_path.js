// A straight stroke the tests draw and the text lies on: where a distance
// along it falls, how far along and off it a pixel is, and the pointer
// positions a hand sends along it.
'use strict';

class StraightPath {
  constructor(from, to) {
    this.from = from;
    this.length = Math.hypot(to[0] - from[0], to[1] - from[1]);
    this.unit = [(to[0] - from[0]) / this.length, (to[1] - from[1]) / this.length];
  }

  at(distance) {
    return [this.from[0] + this.unit[0] * distance, this.from[1] + this.unit[1] * distance];
  }

  // { along, off } of pixel [x, y] (its centre).
  place([x, y]) {
    const dx = x + 0.5 - this.from[0], dy = y + 0.5 - this.from[1];
    return { along: dx * this.unit[0] + dy * this.unit[1], off: Math.abs(dx * this.unit[1] - dy * this.unit[0]) };
  }

  // Distances along the path of the pixels within `maxOff` of it, sorted.
  distancesOf(pixels, maxOff) {
    return pixels.map((p) => this.place(p)).filter((p) => p.off <= maxOff).map((p) => p.along).sort((a, b) => a - b);
  }

  // Points every `step` pixels from distance `from` to `to` (either way).
  pointsBetween(from, to, step = 4) {
    const points = [], sign = to >= from ? 1 : -1;
    for (let d = from; sign * (to - d) > 0; d += sign * step) points.push(this.at(d));
    points.push(this.at(to));
    return points;
  }
}

module.exports = { StraightPath };
