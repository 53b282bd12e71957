# SQLite 3 as the target SQLite::SQLite3.
#
# Linux: Debian's libsqlite3.
# Windows: the upstream amalgamation of a pinned release, compiled with the cross toolchain and
# linked statically, so the DLL needs nothing beside the system libraries. The release tarball
# is taken from the npm package that ships it (the registry our build machines reach); `npm
# pack` only downloads, it builds nothing. The tarball is checked against a pinned SHA-256
# before anything in it is used, and cached in the build tree.
#
# QC_SQLITE_TARBALL: path of an already downloaded sqlite-autoconf-3440200.tar.gz; skips npm.

if(TARGET SQLite::SQLite3)
  return()
endif()

if(NOT WIN32)
  find_package(SQLite3 REQUIRED)
  # Visible to the tests as well, which inspect the cache files with SQLite itself.
  set_target_properties(SQLite::SQLite3 PROPERTIES IMPORTED_GLOBAL TRUE)
  return()
endif()

set(QC_SQLITE_RELEASE "3440200")  # 3.44.2
set(QC_SQLITE_TARBALL_NAME "sqlite-autoconf-${QC_SQLITE_RELEASE}.tar.gz")
set(QC_SQLITE_TARBALL_SHA256 "1c6719a148bc41cf0f2bbbe3926d7ce3f5ca09d878f1246fcc20767b175bb407")
set(QC_SQLITE_NPM_PACKAGE "sqlite3@5.1.7")
set(QC_SQLITE_NPM_ARCHIVE "sqlite3-5.1.7.tgz")

set(QC_SQLITE_TARBALL "" CACHE FILEPATH
    "Already downloaded ${QC_SQLITE_TARBALL_NAME}; empty to fetch it with npm")

set(_qc_sqlite_dir "${CMAKE_BINARY_DIR}/_deps/sqlite")
set(_qc_sqlite_src "${_qc_sqlite_dir}/sqlite-autoconf-${QC_SQLITE_RELEASE}")

function(_qc_sqlite_fetch_with_npm destination)
  find_program(QC_NPM_EXECUTABLE npm)
  if(NOT QC_NPM_EXECUTABLE)
    message(FATAL_ERROR
      "SQLite for the Windows build: npm was not found. Install npm (Debian: apt-get install npm) "
      "or set QC_SQLITE_TARBALL to a downloaded ${QC_SQLITE_TARBALL_NAME}.")
  endif()
  set(scratch "${_qc_sqlite_dir}/npm")
  file(REMOVE_RECURSE "${scratch}")
  file(MAKE_DIRECTORY "${scratch}")
  message(STATUS "Fetching ${QC_SQLITE_TARBALL_NAME} from npm (${QC_SQLITE_NPM_PACKAGE})")
  execute_process(
    COMMAND "${QC_NPM_EXECUTABLE}" pack "${QC_SQLITE_NPM_PACKAGE}" --silent
    WORKING_DIRECTORY "${scratch}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  if(NOT result EQUAL 0 OR NOT EXISTS "${scratch}/${QC_SQLITE_NPM_ARCHIVE}")
    message(FATAL_ERROR
      "SQLite for the Windows build: `npm pack ${QC_SQLITE_NPM_PACKAGE}` failed (${result}):\n${output}\n"
      "Set QC_SQLITE_TARBALL to a downloaded ${QC_SQLITE_TARBALL_NAME} to build without npm.")
  endif()
  file(ARCHIVE_EXTRACT
    INPUT "${scratch}/${QC_SQLITE_NPM_ARCHIVE}"
    DESTINATION "${scratch}"
    PATTERNS "package/deps/${QC_SQLITE_TARBALL_NAME}")
  if(NOT EXISTS "${scratch}/package/deps/${QC_SQLITE_TARBALL_NAME}")
    message(FATAL_ERROR
      "SQLite for the Windows build: ${QC_SQLITE_NPM_ARCHIVE} holds no deps/${QC_SQLITE_TARBALL_NAME}.")
  endif()
  file(COPY_FILE "${scratch}/package/deps/${QC_SQLITE_TARBALL_NAME}" "${destination}")
  file(REMOVE_RECURSE "${scratch}")
endfunction()

if(QC_SQLITE_TARBALL)
  set(_qc_sqlite_tarball "${QC_SQLITE_TARBALL}")
  if(NOT EXISTS "${_qc_sqlite_tarball}")
    message(FATAL_ERROR "QC_SQLITE_TARBALL names a file that does not exist: ${_qc_sqlite_tarball}")
  endif()
else()
  set(_qc_sqlite_tarball "${_qc_sqlite_dir}/${QC_SQLITE_TARBALL_NAME}")
  if(NOT EXISTS "${_qc_sqlite_tarball}")
    file(MAKE_DIRECTORY "${_qc_sqlite_dir}")
    _qc_sqlite_fetch_with_npm("${_qc_sqlite_tarball}")
  endif()
endif()

file(SHA256 "${_qc_sqlite_tarball}" _qc_sqlite_actual_sha256)
if(NOT _qc_sqlite_actual_sha256 STREQUAL QC_SQLITE_TARBALL_SHA256)
  if(NOT QC_SQLITE_TARBALL)
    # A damaged cached download must not block the next configure: fetch afresh then.
    file(REMOVE "${_qc_sqlite_tarball}")
  endif()
  message(FATAL_ERROR
    "SQLite for the Windows build: ${_qc_sqlite_tarball} has the wrong SHA-256.\n"
    "  expected ${QC_SQLITE_TARBALL_SHA256}\n"
    "  actual   ${_qc_sqlite_actual_sha256}\n"
    "Refusing to build from it.")
endif()

# Unpack only the amalgamation; a stamp holding the checksum tells whether it is current.
set(_qc_sqlite_stamp "${_qc_sqlite_src}/.sha256")
set(_qc_sqlite_unpacked "")
if(EXISTS "${_qc_sqlite_stamp}")
  file(READ "${_qc_sqlite_stamp}" _qc_sqlite_unpacked)
endif()
if(NOT _qc_sqlite_unpacked STREQUAL QC_SQLITE_TARBALL_SHA256
   OR NOT EXISTS "${_qc_sqlite_src}/sqlite3.c" OR NOT EXISTS "${_qc_sqlite_src}/sqlite3.h")
  file(REMOVE_RECURSE "${_qc_sqlite_src}")
  file(ARCHIVE_EXTRACT
    INPUT "${_qc_sqlite_tarball}"
    DESTINATION "${_qc_sqlite_dir}"
    PATTERNS
      "sqlite-autoconf-${QC_SQLITE_RELEASE}/sqlite3.c"
      "sqlite-autoconf-${QC_SQLITE_RELEASE}/sqlite3.h")
  file(WRITE "${_qc_sqlite_stamp}" "${QC_SQLITE_TARBALL_SHA256}")
endif()

add_library(qc_sqlite3 STATIC "${_qc_sqlite_src}/sqlite3.c")
target_include_directories(qc_sqlite3 SYSTEM PUBLIC "${_qc_sqlite_src}")
target_compile_definitions(qc_sqlite3 PRIVATE
  SQLITE_THREADSAFE=1            # a host may drive two detectors from two threads
  SQLITE_OMIT_LOAD_EXTENSION
  SQLITE_DEFAULT_MEMSTATUS=0)
# Upstream code: keep our warning flags away from it, and build it optimised in every configuration.
target_compile_options(qc_sqlite3 PRIVATE -w -O2)
set_target_properties(qc_sqlite3 PROPERTIES POSITION_INDEPENDENT_CODE ON)
# Part of Wendlow.dll, which serves Windows 2000 and later.
qc_windows_release(qc_sqlite3 2000)
add_library(SQLite::SQLite3 ALIAS qc_sqlite3)
