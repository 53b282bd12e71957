# What is shipped, as install() rules and CPack settings. `cpack` in a build folder makes its
# package; scripts/package.sh makes both and their checksums.
#
# Windows build, a zip for integrators who ship the components beside qv.exe:
#   bin/HXTray.exe bin/HXReg.exe bin/Wendlow.dll
#   sdk/include/wendlow.h sdk/lib/libWendlow.dll.a sdk/lib/Wendlow.lib sdk/Wendlow.def
#   docs/hosting-wendlow.md docs/list_programs.c
#   SHA256SUMS (of every other file)
# Linux build, the host tool as a Debian package (under /usr):
#   bin/wendlow-host
#   lib/<multiarch>/wendlow-host/{libWendlow.so,libwinplatform.so} (private)
#   share/man/man1/wendlow-host.1.gz share/doc/wendlow-host/{copyright,changelog.gz}
#
# Every file's time in the packages is QC_SOURCE_DATE_EPOCH.

set(CPACK_PACKAGE_VENDOR "${QC_COMPANY_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(QC_PACKAGE_MAINTAINER "Taldrin <support@taldrin.example>")
# CPack reads the variable itself; set here, `cpack` alone gives the same package as
# scripts/package.sh.
file(WRITE ${CMAKE_BINARY_DIR}/CPackProjectConfig.cmake
  "set(ENV{SOURCE_DATE_EPOCH} \"${QC_SOURCE_DATE_EPOCH}\")\n")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackProjectConfig.cmake)

if(WIN32)
  install(TARGETS HXTray HXReg Wendlow RUNTIME DESTINATION bin)
  install(FILES ${CMAKE_SOURCE_DIR}/detector/exports/wendlow.h DESTINATION sdk/include)
  install(FILES ${WENDLOW_IMPORT_LIBRARIES} DESTINATION sdk/lib)
  install(FILES ${CMAKE_SOURCE_DIR}/detector/exports/Wendlow.def DESTINATION sdk)
  install(FILES ${CMAKE_SOURCE_DIR}/docs/sdk/hosting-wendlow.md ${CMAKE_SOURCE_DIR}/docs/sdk/list_programs.c
          DESTINATION docs)
  # Last: the checksums of everything installed above, in a fixed order.
  install(CODE [[
    set(qc_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    set(qc_files ${CMAKE_INSTALL_MANIFEST_FILES})
    list(SORT qc_files)
    set(qc_sums "")
    foreach(qc_file IN LISTS qc_files)
      file(SHA256 "${qc_file}" qc_hash)
      file(RELATIVE_PATH qc_name "${qc_root}" "${qc_file}")
      string(APPEND qc_sums "${qc_hash}  ${qc_name}\n")
    endforeach()
    message(STATUS "Writing: ${qc_root}/SHA256SUMS")
    file(WRITE "${qc_root}/SHA256SUMS" "${qc_sums}")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${qc_root}/SHA256SUMS")
  ]])

  # A zip, written by our script from CPack's staging folder (see zip_staged.cmake).
  set(CPACK_GENERATOR External)
  set(CPACK_EXTERNAL_ENABLE_STAGING ON)
  set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_SOURCE_DIR}/cmake/packaging/zip_staged.cmake)
  set(CPACK_PACKAGE_NAME quorvel-utilities-14-components)
  set(CPACK_PACKAGE_FILE_NAME quorvel-utilities-14-components-${PROJECT_VERSION}-win32)
else()
  # Private libraries, where Debian keeps a package's own: no ldconfig, nobody else links
  # them. The host finds them, and the platform library finds Wendlow, through paths
  # relative to where they lie.
  set(private_dir lib/wendlow-host)
  if(CMAKE_LIBRARY_ARCHITECTURE)
    set(private_dir lib/${CMAKE_LIBRARY_ARCHITECTURE}/wendlow-host)
  endif()
  install(TARGETS wendlow-host RUNTIME DESTINATION bin)
  install(TARGETS Wendlow winplatform LIBRARY DESTINATION ${private_dir}
          PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  set_target_properties(wendlow-host PROPERTIES INSTALL_RPATH "$ORIGIN/../${private_dir}")
  set_target_properties(Wendlow winplatform PROPERTIES INSTALL_RPATH "$ORIGIN")

  # Debian wants the manual page and the changelog compressed, reproducibly (gzip -n).
  find_program(QC_GZIP gzip REQUIRED)
  set(QC_PACKAGE_DATE_ENV $ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} ${QC_SOURCE_DATE_EPOCH})
  string(TIMESTAMP QC_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
  set(ENV{SOURCE_DATE_EPOCH} "${QC_PACKAGE_DATE_ENV}")
  set(doc_dir ${CMAKE_BINARY_DIR}/packaging)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/packaging/changelog.in ${doc_dir}/changelog @ONLY)
  set(manual ${CMAKE_SOURCE_DIR}/tools/wendlow-host/wendlow-host.1)
  add_custom_command(OUTPUT ${doc_dir}/wendlow-host.1.gz ${doc_dir}/changelog.gz
    COMMAND ${QC_GZIP} -9n -c ${manual} > ${doc_dir}/wendlow-host.1.gz
    COMMAND ${QC_GZIP} -9n -c ${doc_dir}/changelog > ${doc_dir}/changelog.gz
    DEPENDS ${manual} ${doc_dir}/changelog
    COMMENT "Compressing the manual page and the changelog")
  add_custom_target(wendlow_host_docs ALL DEPENDS ${doc_dir}/wendlow-host.1.gz ${doc_dir}/changelog.gz)
  install(FILES ${doc_dir}/wendlow-host.1.gz DESTINATION share/man/man1)
  install(FILES ${CMAKE_SOURCE_DIR}/cmake/packaging/copyright ${doc_dir}/changelog.gz
          DESTINATION share/doc/wendlow-host)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME wendlow-host)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QC_PACKAGE_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${private_dir})
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "list the programs installed on a Windows machine")
  set(CPACK_PACKAGE_DESCRIPTION
"wendlow-host reads a Windows machine's registry export or offline SOFTWARE
hive and lists the programs registered as installed there, in both registry
views, or answers whether given programs are installed. It drives the Wendlow
detector library of Quorvel Utilities 14 as a Windows host program would.")
endif()

include(CPack)
