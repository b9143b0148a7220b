// The page's stand-in for the desktop's GL loader header: the browser build
// calls OpenGL through Emscripten's legacy-GL emulation, whose entry points
// and enums its own headers declare.
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
