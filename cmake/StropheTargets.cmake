# Small helpers so every folder declares its targets the same way.

# strophe_library(<name> SOURCES ... [DESKTOP_SOURCES ...] [WEB_SOURCES ...] [DEPS ...])
#   A static library strophe_<name> (an interface library when SOURCES holds
#   headers only); src/ is the include root ("paths/followable_path.h").
#   SOURCES lists its headers too: a header belongs to the library that lists
#   it, and DEPS are the only libraries whose headers it may include.
#   DESKTOP_SOURCES are built only by the desktop build, WEB_SOURCES only by the
#   browser build (EMSCRIPTEN); both belong to the library in either.
function(strophe_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DESKTOP_SOURCES;WEB_SOURCES;DEPS" ${ARGN})
  set(_all_sources ${A_SOURCES} ${A_DESKTOP_SOURCES} ${A_WEB_SOURCES})
  if(EMSCRIPTEN)
    list(APPEND A_SOURCES ${A_WEB_SOURCES})
  else()
    list(APPEND A_SOURCES ${A_DESKTOP_SOURCES})
  endif()
  set(_compiled ${A_SOURCES})
  list(FILTER _compiled EXCLUDE REGEX "[.]h$")
  if(NOT _compiled)
    add_library(strophe_${name} INTERFACE ${A_SOURCES})
    set(_scope INTERFACE)
  else()
    add_library(strophe_${name} STATIC ${A_SOURCES})
    set(_scope PUBLIC)
  endif()
  target_include_directories(strophe_${name} ${_scope} ${PROJECT_SOURCE_DIR}/src)
  if(A_DEPS)
    target_link_libraries(strophe_${name} ${_scope} ${A_DEPS})
  endif()
  strophe_record_layer(${name} SOURCES ${_all_sources} DEPS ${A_DEPS})
endfunction()

# strophe_record_layer(<name> SOURCES ... [DEPS ...])
#   Notes which files under src/ make up <name> and which of our libraries it
#   uses, for strophe_write_layers.
function(strophe_record_layer name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  set(_lines "library ${name}")
  foreach(dep IN LISTS A_DEPS)
    if(dep MATCHES "^strophe_(.+)$")
      string(APPEND _lines " ${CMAKE_MATCH_1}")
    endif()
  endforeach()
  foreach(source IN LISTS A_SOURCES)
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE OUTPUT_VARIABLE _path)
    cmake_path(RELATIVE_PATH _path BASE_DIRECTORY ${PROJECT_SOURCE_DIR}/src)
    string(APPEND _lines "\nfile ${name} ${_path}")
  endforeach()
  set_property(GLOBAL APPEND_STRING PROPERTY STROPHE_LAYERS "${_lines}\n")
endfunction()

# strophe_write_layers(<file>)
#   Writes every recorded library: "library <name> <dep>...", then a line
#   "file <name> <path under src/>" for each of its files.
function(strophe_write_layers file)
  get_property(_layers GLOBAL PROPERTY STROPHE_LAYERS)
  file(WRITE ${file}.new "${_layers}")
  file(COPY_FILE ${file}.new ${file} ONLY_IF_DIFFERENT)
  file(REMOVE ${file}.new)
endfunction()

# strophe_test(<name> SOURCES ... [DEPS ...] [LABELS ...] [ENVIRONMENT ...])
#   A GoogleTest executable whose cases are registered with CTest one by one.
#   LABELS "gl" marks tests that need the X display (run under Xvfb by the test command);
#   they run one at a time.
function(strophe_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;DEPS;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE STROPHE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  set(_props TIMEOUT ${A_TIMEOUT})
  if(A_LABELS)
    list(APPEND _props LABELS "${A_LABELS}")
  endif()
  # Windows on the shared X server would cover each other and trade focus.
  if("gl" IN_LIST A_LABELS)
    list(APPEND _props RESOURCE_LOCK x_display)
  endif()
  # The system's GL and sound modules keep memory of their own to the end:
  # leak checks stay on for the headless tests only.
  if(STROPHE_SANITIZE MATCHES "address" AND A_LABELS MATCHES "gl|audio|e2e")
    list(APPEND A_ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
  endif()
  if(A_ENVIRONMENT)
    # Test discovery splits a list here: give each test one variable at most.
    list(LENGTH A_ENVIRONMENT _count)
    if(_count GREATER 1)
      message(FATAL_ERROR "${name}: one ENVIRONMENT variable at most (set the others in the test)")
    endif()
    list(APPEND _props ENVIRONMENT "${A_ENVIRONMENT}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${_props})
endfunction()

# strophe_benchmark(<name> SOURCES ... [DEPS ...])
function(strophe_benchmark name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_DEPS} benchmark::benchmark benchmark::benchmark_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
endfunction()

# strophe_fuzzer(<name> SOURCES ... [DEPS ...] CORPUS <dir> [<dir> ...])
#   With STROPHE_FUZZ: a libFuzzer binary <name> (clang, address + undefined).
#   Always (when tests are on): <name>_replay, the same entry point driven by a small
#   main over every file of the corpus, registered with CTest. The replay holds every
#   input to STROPHE_FUZZ_MEMORY_LIMIT_MB, both for one allocation and for the peak
#   resident size, as the fuzzer run with -malloc_limit_mb and -rss_limit_mb does.
set(STROPHE_FUZZ_MEMORY_LIMIT_MB 256)
function(strophe_fuzzer name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;CORPUS" ${ARGN})
  if(STROPHE_FUZZ)
    add_executable(${name} ${A_SOURCES})
    target_link_libraries(${name} PRIVATE ${A_DEPS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  endif()
  if(STROPHE_BUILD_TESTS)
    add_executable(${name}_replay ${A_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_link_libraries(${name}_replay PRIVATE ${A_DEPS})
    target_include_directories(${name}_replay PRIVATE ${PROJECT_SOURCE_DIR}/src)
    add_test(NAME ${name}_replay COMMAND ${name}_replay --limit-mb=${STROPHE_FUZZ_MEMORY_LIMIT_MB} ${A_CORPUS})
    set(_props LABELS fuzz TIMEOUT 300)
    # A sanitizer owns malloc: its allocator refuses the large allocation instead.
    if(STROPHE_SANITIZE MATCHES "address" OR STROPHE_FUZZ)
      list(APPEND _props ENVIRONMENT "ASAN_OPTIONS=max_allocation_size_mb=${STROPHE_FUZZ_MEMORY_LIMIT_MB}")
    elseif(STROPHE_SANITIZE MATCHES "thread")
      list(APPEND _props ENVIRONMENT "TSAN_OPTIONS=max_allocation_size_mb=${STROPHE_FUZZ_MEMORY_LIMIT_MB}")
    else()
      target_compile_definitions(${name}_replay PRIVATE STROPHE_REPLAY_CHECKS_ALLOCATIONS)
    endif()
    set_tests_properties(${name}_replay PROPERTIES ${_props})
  endif()
endfunction()
