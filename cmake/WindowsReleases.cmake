# The oldest Windows release each Windows binary serves.
#
# qc_windows_release(<target> 95|2000)
#   Compiles <target> with WINVER, _WIN32_WINNT and _WIN32_WINDOWS of that release, so the SDK
#   headers hide what it lacks, and (for executables and DLLs) stamps the matching PE OS and
#   subsystem versions; the release is kept as the target's QC_WINDOWS_RELEASE. 95 stands
#   for Windows 95 and NT 4.0 alike (version 4.0); 2000 is 5.0.
#   Does nothing outside the Windows build.
function(qc_windows_release target release)
  if(NOT WIN32)
    return()
  endif()
  if(release STREQUAL "95")
    set(version 0x0400)
    set(pe 4 0)
  elseif(release STREQUAL "2000")
    set(version 0x0500)
    set(pe 5 0)
  else()
    message(FATAL_ERROR "qc_windows_release(${target}): unknown release '${release}' (95 or 2000)")
  endif()
  set_target_properties(${target} PROPERTIES QC_WINDOWS_RELEASE ${release})
  target_compile_definitions(${target} PRIVATE WINVER=${version} _WIN32_WINNT=${version} _WIN32_WINDOWS=${version})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE" OR type STREQUAL "SHARED_LIBRARY")
    list(GET pe 0 major)
    list(GET pe 1 minor)
    target_link_options(${target} PRIVATE
      -Wl,--major-os-version,${major},--minor-os-version,${minor}
      -Wl,--major-subsystem-version,${major},--minor-subsystem-version,${minor})
  endif()
endfunction()
