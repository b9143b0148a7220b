// The program's window icons, embedded as resources of type "ICON" whose
// number is the picture's side in pixels.
#pragma once

#include <vector>

#include "framework/core/resource_table.h"
#include "framework/platform/platform.h"

namespace loom::app {

// Sides looked for, smallest first; the task bar picks among them.
inline constexpr int kWindowIconSides[] = {16, 24, 32, 48, 64, 128, 256};

// Every icon the table holds, decoded to RGBA. An icon that does not decode,
// or is not square with the side its number says, is left out and named on
// standard error; the window then simply offers fewer sizes.
std::vector<platform::WindowIcon> loadWindowIcons(const ResourceTable& table = embeddedResources());

}  // namespace loom::app
