# Version resources of the Windows binaries, from the one version number of project().
#
# qc_version_resource(<target> DESCRIPTION <text>)
#   Adds a VS_VERSIONINFO resource to an executable or DLL of the Windows build: company and
#   product name, the project's version as text and as numbers, the file description, and
#   the target's name as internal and original file name. The file OS follows the oldest
#   release set by qc_windows_release (called first): Windows 95 and NT for 95, NT for 2000.
#   The description is kept as the target's QC_FILE_DESCRIPTION.
#   Does nothing outside the Windows build.

set(QC_COMPANY_NAME "Taldrin")
set(QC_PRODUCT_NAME "Quorvel Utilities 14")

function(qc_version_resource target)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "DESCRIPTION" "" ${ARGN})
  if(NOT ARG_DESCRIPTION)
    message(FATAL_ERROR "qc_version_resource(${target}): DESCRIPTION is required")
  endif()
  get_target_property(type ${target} TYPE)
  get_target_property(release ${target} QC_WINDOWS_RELEASE)
  if(type STREQUAL "EXECUTABLE")
    set(QC_RC_FILE_TYPE VFT_APP)
    set(suffix ${CMAKE_EXECUTABLE_SUFFIX})
  elseif(type STREQUAL "SHARED_LIBRARY")
    set(QC_RC_FILE_TYPE VFT_DLL)
    set(suffix ${CMAKE_SHARED_LIBRARY_SUFFIX})
  else()
    message(FATAL_ERROR "qc_version_resource(${target}): not an executable or a DLL")
  endif()
  if(release STREQUAL "95")
    set(QC_RC_FILE_OS VOS__WINDOWS32)
  elseif(release STREQUAL "2000")
    set(QC_RC_FILE_OS VOS_NT_WINDOWS32)
  else()
    message(FATAL_ERROR "qc_version_resource(${target}): call qc_windows_release first")
  endif()
  # The four numbers, missing ones as 0: 14.0.1 is 14,0,1,0.
  set(numbers "")
  foreach(part MAJOR MINOR PATCH TWEAK)
    if("${PROJECT_VERSION_${part}}" STREQUAL "")
      list(APPEND numbers 0)
    else()
      list(APPEND numbers ${PROJECT_VERSION_${part}})
    endif()
  endforeach()
  list(JOIN numbers ", " QC_RC_VERSION_NUMBERS)
  set(QC_RC_DESCRIPTION "${ARG_DESCRIPTION}")
  set_target_properties(${target} PROPERTIES QC_FILE_DESCRIPTION "${ARG_DESCRIPTION}")
  set(QC_RC_INTERNAL_NAME ${target})
  set(QC_RC_FILE_NAME ${target}${suffix})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version_resource.rc.in ${rc} @ONLY)
  enable_language(RC)
  target_sources(${target} PRIVATE ${rc})
endfunction()
