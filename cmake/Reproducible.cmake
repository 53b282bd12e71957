# The same commit gives the same Windows binaries and archive, whatever folder it is built in
# and whenever.
#
# QC_SOURCE_DATE_EPOCH: SOURCE_DATE_EPOCH from the environment, else the time of the commit
# checked out, else 1980-01-01 (the earliest time a zip entry can hold). The linker stamps
# the PE headers with it; the packages take it for every file's time.

if(DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(QC_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  set(QC_SOURCE_DATE_EPOCH "")
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(
      COMMAND ${GIT_EXECUTABLE} -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
      OUTPUT_VARIABLE QC_SOURCE_DATE_EPOCH
      OUTPUT_STRIP_TRAILING_WHITESPACE
      ERROR_QUIET)
  endif()
  if(NOT QC_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    set(QC_SOURCE_DATE_EPOCH 315532800)
  endif()
endif()
if(NOT QC_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970, not '${QC_SOURCE_DATE_EPOCH}'")
endif()

if(WIN32)
  # GNU ld stamps PE files with SOURCE_DATE_EPOCH when the variable is set.
  foreach(lang C CXX)
    set(CMAKE_${lang}_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${QC_SOURCE_DATE_EPOCH})
  endforeach()
  # No folder of this machine in any object; the build folder first, as it may lie inside
  # the source folder (the later option is tried first).
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>"
                      "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>")
endif()
