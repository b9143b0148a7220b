// The knobs of one simulation step. The defaults are the values the toy plays with.
#pragma once

namespace inkvane {

struct StepParameters {
  float forceScale = 1.0f;       // force to displacement per step (dimensionless)
  float friction = 0.0175f;      // share of the velocity lost per step
  float gravityStrength = 1.0f;  // pixels per step squared, per unit of gravity
};

}  // namespace inkvane
