// The browser build's stand-in for <epoxy/gl.h>: the WebAssembly toolchain's own
// GL headers, whose calls its linker maps onto WebGL (with the fixed-function
// emulation for the matrix and client-array calls). Only the web build puts
// this folder on the include path; the desktop build uses the real libepoxy.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
