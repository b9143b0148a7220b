// Everything that sets the scene up, with the values the toy plays with: the
// canvas, the text and its size, the smoothing of drawn paths, the ribbon, the
// step's knobs and the embedded assets it is made of. The application reads
// them from here, and so do the benchmarks and tests that rebuild its scene.
#pragma once

#include "strings/step_parameters.h"

struct SceneSettings {
  int canvasSize = 512;  // pixels, the window's side at start
  const char16_t* text = u"Roudoudou\nn'a\npas\nde\nfemme";  // one string per line
  float fontSize = 16.0f;             // pixels
  float textStart = 0.0f;             // pixels along the path of the first string's start
  float endMargin = 0.0f;             // pixels the path-end stops lie beyond the path's ends
  float sketchStep = 48.0f;           // pixels between smoothing samples
  float smoothingTolerance = 3.0f;    // pixels
  float ribbonHalfWidth = 2.0f;       // pixels
  float ribbonTextureScale = 1.0f;    // 1: the sprite repeats once per strip width along the path
  inkvane::StepParameters step;       // forces, friction and gravity of every step

  // The embedded assets, by resource number (type "DATA").
  int fontResource = 127;   // the bitmap font
  int traceResource = 132;  // the path the first set lies on
  int lineResource = 128, line2xResource = 130;  // the ribbon's sprite, at 1x and 2x
  int dotResource = 129, dot2xResource = 131;    // the path ends' sprite
};
