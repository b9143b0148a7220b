# cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DSYMBOL=<name> -P StropheEmbedBytes.cmake
#   Writes <file>'s bytes as a C++ array <SYMBOL>_begin, followed by one zero
#   byte that is not counted, and its size <SYMBOL>_size. The browser build's
#   embedded resources use it where the assembler cannot include a file.
foreach(var INPUT OUTPUT SYMBOL)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "StropheEmbedBytes.cmake: -D${var}=... is missing")
  endif()
endforeach()
file(READ "${INPUT}" _hex HEX)
string(LENGTH "${_hex}" _digits)
math(EXPR _size "${_digits} / 2")
# Sixteen bytes a line, so an editor can open the file.
string(REPEAT "[0-9a-f]" 32 _line)
string(REGEX REPLACE "(${_line})" "\\1\n  " _bytes "${_hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _bytes "${_bytes}")
file(WRITE "${OUTPUT}.new" "// Generated from ${INPUT} by StropheEmbedBytes.cmake: do not edit.
#include <cstddef>

extern \"C\" {
alignas(16) extern const unsigned char ${SYMBOL}_begin[] = {
  ${_bytes}0};
extern const std::size_t ${SYMBOL}_size = ${_size};
}
")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
