# CPack's External generator calls this with the components installed in its staging folder.
# It writes them into the zip in a fixed order (sorted paths, no folder entries) with the
# commit's time: CPack's own ZIP generator takes the order in which the file system happens
# to list them, which differs between file systems.
file(GLOB_RECURSE qc_files LIST_DIRECTORIES false RELATIVE "${CPACK_TEMPORARY_DIRECTORY}"
     "${CPACK_TEMPORARY_DIRECTORY}/*")
list(SORT qc_files)
set(qc_zip "${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip")
file(REMOVE "${qc_zip}")
# The times come from SOURCE_DATE_EPOCH, which the project's CPack settings put in the
# environment.
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E tar cf "${qc_zip}" --format=zip -- ${qc_files}
  WORKING_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}"
  RESULT_VARIABLE qc_result)
if(NOT qc_result EQUAL 0)
  message(FATAL_ERROR "Could not write ${qc_zip}")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES "${qc_zip}")
