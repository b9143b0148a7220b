# Warnings and sanitizers applied to every target of the project.

add_compile_options(-Wall -Wextra)

if(STROPHE_SANITIZE)
  string(REPLACE "," ";" _sanitizers "${STROPHE_SANITIZE}")
  foreach(s IN LISTS _sanitizers)
    if(NOT s MATCHES "^(address|undefined|thread|leak)$")
      message(FATAL_ERROR "STROPHE_SANITIZE: unknown sanitizer '${s}'")
    endif()
  endforeach()
  add_compile_options(-fsanitize=${STROPHE_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${STROPHE_SANITIZE})
  # The program's own invariant checks (STROPHE_ASSERT) run in these builds too.
  add_compile_definitions(STROPHE_ASSERTS)
  # The instrumentation makes GCC guess uninitialised reads inside Boost.Signals2's
  # connect (an optional<int> it never reads unset); the plain build keeps the warning.
  add_compile_options(-Wno-maybe-uninitialized)
endif()

if(STROPHE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "STROPHE_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang")
  endif()
  # Every library gets coverage and sanitizers, so the fuzzers see inside the parsers.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
