# SQLite, the real library, made from Debian's `sqlite3` source package that tools/bootstrap fetched
# into build/sources/sqlite3. The package holds SQLite's whole source tree (with Debian's patches,
# security fixes among them), not the one-file amalgamation, so the amalgamation is made here with
# SQLite's own generator (its configure, a few build tools for this machine, tclsh), once for both
# presets, into build/sqlite3/<package version>. Then each preset compiles it as a static library.
set(KELTORA_SQLITE_PACKAGE ${CMAKE_SOURCE_DIR}/build/sources/sqlite3)
file(GLOB KELTORA_SQLITE_DSC ${KELTORA_SQLITE_PACKAGE}/sqlite3_*.dsc)
list(LENGTH KELTORA_SQLITE_DSC KELTORA_SQLITE_DSC_COUNT)
if(NOT KELTORA_SQLITE_DSC_COUNT EQUAL 1)
  message(FATAL_ERROR "No single SQLite source package in ${KELTORA_SQLITE_PACKAGE}: run tools/bootstrap")
endif()
get_filename_component(KELTORA_SQLITE_VERSION ${KELTORA_SQLITE_DSC} NAME_WLE)
set(KELTORA_SQLITE_DIR ${CMAKE_SOURCE_DIR}/build/sqlite3/${KELTORA_SQLITE_VERSION})
set(KELTORA_SQLITE_C ${KELTORA_SQLITE_DIR}/make/sqlite3.c)

function(keltora_sqlite_step what)
  execute_process(${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "SQLite: ${what} failed (${result}):\n${output}")
  endif()
endfunction()

# Both presets may configure at once: one makes the amalgamation, the other waits for it.
file(MAKE_DIRECTORY ${CMAKE_SOURCE_DIR}/build/sqlite3)
file(LOCK ${CMAKE_SOURCE_DIR}/build/sqlite3/lock GUARD FILE TIMEOUT 600)
if(NOT EXISTS ${KELTORA_SQLITE_DIR}/done)
  message(STATUS "SQLite: making the amalgamation of ${KELTORA_SQLITE_VERSION}")
  file(REMOVE_RECURSE ${KELTORA_SQLITE_DIR})
  file(MAKE_DIRECTORY ${KELTORA_SQLITE_DIR}/make)
  # dpkg-source checks the tarballs against the .dsc and applies Debian's patches.
  keltora_sqlite_step("unpacking" COMMAND dpkg-source -x ${KELTORA_SQLITE_DSC} ${KELTORA_SQLITE_DIR}/src
    WORKING_DIRECTORY ${KELTORA_SQLITE_DIR})
  # The generator's tools run on this machine: this machine's compiler, whatever the preset.
  keltora_sqlite_step("configure" COMMAND ${CMAKE_COMMAND} -E env --unset=CFLAGS --unset=CPPFLAGS --unset=LDFLAGS
    CC=cc ${KELTORA_SQLITE_DIR}/src/configure --disable-tcl --disable-readline
    WORKING_DIRECTORY ${KELTORA_SQLITE_DIR}/make)
  keltora_sqlite_step("making sqlite3.c" COMMAND make sqlite3.c WORKING_DIRECTORY ${KELTORA_SQLITE_DIR}/make)
  file(TOUCH ${KELTORA_SQLITE_DIR}/done)
endif()
file(LOCK ${CMAKE_SOURCE_DIR}/build/sqlite3/lock RELEASE)

add_library(keltora_sqlite STATIC ${KELTORA_SQLITE_C})
# SYSTEM: sqlite3.h is not held to our own warnings; the library is compiled with the compiler's
# defaults, and our warning flags stay on our own targets only.
target_include_directories(keltora_sqlite SYSTEM PUBLIC ${KELTORA_SQLITE_DIR}/make)
# What a desktop program that opens other programs' databases wants of SQLite:
target_compile_definitions(keltora_sqlite PRIVATE
  # A database never makes this program load code (load_extension), and no dlopen is linked.
  SQLITE_OMIT_LOAD_EXTENSION
  # Nothing read from a database runs functions or virtual tables its schema names on our behalf.
  SQLITE_TRUSTED_SCHEMA=0
  # "x" in our SQL is always a name, never a string, so a misspelt column cannot pass silently.
  SQLITE_DQS=0
  # No memory-mapped reads: a file another program shortens under a mapping ends the reader.
  SQLITE_MAX_MMAP_SIZE=0
  # Temporary tables and VACUUM's copy stay in memory: privacy data is never copied into a
  # temporary file, and no temporary file is needed of the file system a database is on.
  SQLITE_TEMP_STORE=3
  # No shared cache, no deprecated interfaces, no allocation statistics: less to go wrong.
  SQLITE_OMIT_SHARED_CACHE
  SQLITE_OMIT_DEPRECATED
  SQLITE_DEFAULT_MEMSTATUS=0
  # Windows: the wide file calls only, as every other name the program acts on.
  $<$<BOOL:${WIN32}>:SQLITE_WIN32_NO_ANSI>)
if(NOT WIN32)
  find_package(Threads REQUIRED)
  target_link_libraries(keltora_sqlite PUBLIC Threads::Threads m)
endif()
