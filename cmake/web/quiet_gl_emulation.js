// Put before a program run under Node (--pre-js). The toolchain's GL emulation
// prints a notice on every start; such programs draw nothing, so the notice is
// dropped and everything else still reaches standard error.
Module['printErr'] = function (text) {
  if (!/^WARNING: using emscripten GL emulation/.test(text)) console.warn(text);
};
