# What the browser build (Emscripten's em++, scripts/web) uses in place of the
# desktop's system libraries. Included by the top-level CMakeLists.txt when
# EMSCRIPTEN is set, before any target is declared.
#
# Libraries with the names the desktop build finds, so the folders under src/
# link them unchanged:
#   Boost::boost, Boost::system  Boost's headers only (io_context and signals2
#                                need nothing compiled)
#   PkgConfig::EPOXY             the toolchain's GL headers (cmake/web/include)
#   PkgConfig::GLFW3             the toolchain's GLFW 3 (headers in its sysroot)
#   PNG::PNG, ZLIB::ZLIB         built from Debian's sources by scripts/web-deps,
#                                found through CMAKE_FIND_ROOT_PATH
# For the page:
#   strophe_web_site(<target> FILES <file>...)  fills STROPHE_WEB_SITE_DIR
# For programs and tests run under Node:
#   strophe_node_program(<target>), strophe_node_test(<name> SCRIPT ...)
#   strophe_web_googletest()    GoogleTest for strophe_test(... WASM ...)

set(STROPHE_WEB_SITE_DIR ${PROJECT_BINARY_DIR}/site CACHE INTERNAL "The folder the page is served from")

# The loaders report bad input by throwing; without these flags em++ turns every
# throw into an abort.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# Programs run under Node (tests, the benchmark) read the wasm file from disk:
# Node's own fetch cannot load a file path, so it is switched off where the
# option exists.
find_program(STROPHE_NODE NAMES node nodejs REQUIRED)
execute_process(COMMAND ${STROPHE_NODE} --no-experimental-fetch -e 0 RESULT_VARIABLE _fetch_flag_rejected
                OUTPUT_QUIET ERROR_QUIET)
if(_fetch_flag_rejected)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${STROPHE_NODE})
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${STROPHE_NODE} --no-experimental-fetch)
endif()

# em++ links through JavaScript tools that need modules from Debian's Node
# folder, which a Node other than Debian's does not search by itself.
if(IS_DIRECTORY /usr/share/nodejs)
  set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env --modify NODE_PATH=path_list_prepend:/usr/share/nodejs)
endif()

# em++ must not see /usr/include (the host's C library headers would win over
# its own), so Boost comes through a folder that holds only a link to it.
set(STROPHE_BOOST_HEADERS /usr/include/boost CACHE PATH "Boost's header folder, for the browser build")
if(NOT EXISTS ${STROPHE_BOOST_HEADERS}/version.hpp)
  message(FATAL_ERROR "Boost's headers are not in ${STROPHE_BOOST_HEADERS} (Debian's libboost-dev)")
endif()
set(_boost_include ${PROJECT_BINARY_DIR}/boost-include)
file(MAKE_DIRECTORY ${_boost_include})
file(CREATE_LINK ${STROPHE_BOOST_HEADERS} ${_boost_include}/boost SYMBOLIC)
add_library(Boost::boost INTERFACE IMPORTED GLOBAL)
target_include_directories(Boost::boost SYSTEM INTERFACE ${_boost_include})
add_library(Boost::system ALIAS Boost::boost)
set(Boost_FOUND TRUE)

add_library(PkgConfig::EPOXY INTERFACE IMPORTED GLOBAL)
target_include_directories(PkgConfig::EPOXY INTERFACE ${CMAKE_CURRENT_LIST_DIR}/web/include)
# The text and the textures draw with client arrays and the matrix stack.
target_link_options(PkgConfig::EPOXY INTERFACE -sLEGACY_GL_EMULATION=1)
add_library(PkgConfig::GLFW3 INTERFACE IMPORTED GLOBAL)
target_link_options(PkgConfig::GLFW3 INTERFACE -sUSE_GLFW=3)

find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)

# strophe_web_site(<target> FILES <file>...)
#   After <target> links, copies its .js and .wasm and the given files (the
#   page, its scripts and styles) into STROPHE_WEB_SITE_DIR, which scripts/web
#   serves. Files given by relative path are taken from the calling folder.
function(strophe_web_site target)
  cmake_parse_arguments(A "" "" "FILES" ${ARGN})
  set(_files "")
  foreach(f IN LISTS A_FILES)
    get_filename_component(_path "${f}" ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND _files "${_path}")
  endforeach()
  # The page is our own: an .html output would also run the toolchain's HTML
  # minifier, which fails at -O1 and above.
  set_target_properties(${target} PROPERTIES SUFFIX .js)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${STROPHE_WEB_SITE_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}>
            $<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>.wasm ${_files} ${STROPHE_WEB_SITE_DIR}
    VERBATIM)
  # A page file edited alone must reach the site too.
  if(_files)
    add_custom_target(${target}_site_files ALL
      COMMAND ${CMAKE_COMMAND} -E make_directory ${STROPHE_WEB_SITE_DIR}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_files} ${STROPHE_WEB_SITE_DIR}
      DEPENDS ${_files}
      VERBATIM)
  endif()
endfunction()

# strophe_web_googletest()
#   GoogleTest for the tests run under Node, built from the source Debian's
#   libgtest-dev installs (Debian ships no WebAssembly libraries), as the
#   targets GTest::gtest and GTest::gtest_main that strophe_test links.
function(strophe_web_googletest)
  set(_source /usr/src/googletest/googletest)
  if(NOT EXISTS ${_source}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest's source is not in ${_source} (Debian's libgtest-dev)")
  endif()
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${_source} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Newer GoogleTest names its targets so itself.
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endfunction()

# strophe_node_program(<target>)
#   Links <target> to run under Node as a command-line program: files by their
#   real paths (the suites read the source tree's test data and write temporary
#   files), a heap that grows as on the desktop, and an exit that flushes its
#   output and returns main's status.
function(strophe_node_program target)
  set(_pre_js ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/web/quiet_gl_emulation.js)
  target_link_options(${target} PRIVATE -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1
                      "SHELL:--pre-js ${_pre_js}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${_pre_js})
endfunction()

# strophe_node_test(<name> SCRIPT <file.js> [ARGS ...] [LABELS ...] [TIMEOUT <s>])
#   A test of the browser build run as `node <file.js> <args>...`, for tests
#   of the page driven from a Node script. A relative SCRIPT is taken from the
#   calling folder.
function(strophe_node_test name)
  cmake_parse_arguments(A "" "SCRIPT;TIMEOUT" "ARGS;LABELS" ${ARGN})
  if(NOT A_SCRIPT)
    message(FATAL_ERROR "strophe_node_test(${name}): SCRIPT is missing")
  endif()
  get_filename_component(_script "${A_SCRIPT}" ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  add_test(NAME ${name} COMMAND ${STROPHE_NODE} ${_script} ${A_ARGS})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT})
  if(A_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${A_LABELS}")
  endif()
endfunction()
