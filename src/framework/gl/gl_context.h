// Whether this thread has an OpenGL context current: the condition under which
// GL objects may be created or deleted.
#pragma once

namespace loom::gl {

bool hasCurrentContext();

}  // namespace loom::gl
