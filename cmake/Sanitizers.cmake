option(QC_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(QC_FUZZ "Build the libFuzzer targets of tests/fuzz (clang; needs QC_SANITIZE)" OFF)
if(QC_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(QC_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang" OR NOT QC_SANITIZE)
    message(FATAL_ERROR "QC_FUZZ needs clang and QC_SANITIZE (the `fuzz` preset sets both)")
  endif()
  # Coverage for the fuzzer everywhere; only the fuzz programs link libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Shared libraries are linked with every symbol resolved, so a missing one fails the build
# and not the host that loads the library. Clang leaves its sanitizer runtimes out of shared
# libraries (the executable brings them, and they must be loaded only once), so with clang's
# sanitizers the runtime's symbols stay open and the check cannot be made.
function(qc_resolve_all_symbols target)
  if(WIN32)
    return()  # a DLL is always linked with every import resolved
  endif()
  if(QC_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  target_link_options(${target} PRIVATE -Wl,--no-undefined)
endfunction()
