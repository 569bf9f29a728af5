# Windows (MinGW-w64): the Win32 backends, the programs, and the tests that run under Wine.
#
# Every program lands in bin/ and runs through tools/wine-run, which CMake uses as the emulator:
# a Wine test binary is one ctest test, and all of them share one prefix and one wineserver,
# started by the fixture "wine" and stopped after the last of them.

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(KELTORA_WINE_RUN ${CMAKE_SOURCE_DIR}/tools/wine-run)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KELTORA_WINE_RUN})

# GCC 12 at -O2 reports a false -Wrestrict inside std::string when it inlines an operator+
# (GCC bug 105329); the Release build would fail on correct code.
if(CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12 AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND KELTORA_WARNINGS -Wno-restrict)
  target_compile_options(keltora_core PRIVATE -Wno-restrict)
  target_compile_options(keltora_memory PRIVATE -Wno-restrict)
endif()

# --- The Win32 backends ---------------------------------------------------------------------

keltora_sources(WIN32_SOURCES src/platform/win32)
add_library(keltora_win32 STATIC ${WIN32_SOURCES})
# Only KnownDLLs are imported; every other system DLL is loaded at run time from the system folder
# (src/platform/win32/SystemLibrary.h), and the test program_imports holds the programs to it.
target_link_libraries(keltora_win32 PUBLIC keltora_core advapi32 shell32 user32 gdi32 ole32 ntdll)
target_compile_definitions(keltora_win32 PUBLIC NOMINMAX)
target_compile_options(keltora_win32 PRIVATE ${KELTORA_WARNINGS})
# Its databases go through SQLite's own Windows file layer.
target_link_libraries(keltora_win32 PRIVATE keltora_sqlite)

# --- GoogleTest, built from the sources Debian ships -----------------------------------------

set(BUILD_GMOCK OFF CACHE BOOL "GoogleTest: no gMock" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "GoogleTest: nothing to install" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# --- Wine tests -----------------------------------------------------------------------------

# The fixtures folder as the Windows programs see it: Wine's drive Z: is the Linux root.
string(REPLACE "/" "\\\\" KELTORA_FIXTURES_WINDOWS "Z:${CMAKE_SOURCE_DIR}/fixtures")

# Every Wine test shares one prefix: its registry, its drive C:, its clipboard and its Recycle Bin.
# They take the lock "wine_prefix" and so run one at a time even under ctest -j.
add_test(NAME wine_start COMMAND ${KELTORA_WINE_RUN} --start)
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine LABELS wine TIMEOUT 300)
add_test(NAME wine_stop COMMAND ${KELTORA_WINE_RUN} --stop)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine TIMEOUT 60)

# keltora_wine_test(NAME SOURCES...): a GoogleTest binary NAME.exe run under Wine as one test.
# It sees the headers below tests/ and KELTORA_FIXTURES, the fixtures folder as a Windows path.
function(keltora_wine_test name)
  add_executable(${name} ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE keltora_win32 gtest_main)
  target_compile_options(${name} PRIVATE ${KELTORA_WARNINGS})
  target_compile_definitions(${name} PRIVATE KELTORA_FIXTURES="${KELTORA_FIXTURES_WINDOWS}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine_prefix LABELS wine)
endfunction()

# keltora_wine_script_test(NAME SCRIPT): a bash script (path from the repository root) that
# drives the Windows programs, regedit and reg through $KELTORA_WINE_RUN. It is told where the
# programs are (KELTORA_BIN), the fixtures (KELTORA_FIXTURES) and a scratch folder of its own
# (KELTORA_SCRATCH), and runs after every binary it may drive is built.
function(keltora_wine_script_test name script)
  set(scratch ${CMAKE_BINARY_DIR}/scripts/${name})
  add_test(NAME ${name} COMMAND bash ${CMAKE_SOURCE_DIR}/${script})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine
    RESOURCE_LOCK wine_prefix
    LABELS wine
    ENVIRONMENT "KELTORA_BIN=${CMAKE_RUNTIME_OUTPUT_DIRECTORY};KELTORA_WINE_RUN=${KELTORA_WINE_RUN};KELTORA_FIXTURES=${CMAKE_SOURCE_DIR}/fixtures;KELTORA_SCRATCH=${scratch}")
endfunction()

# The conformance suite against the Win32 backends: the shared cases and the Wine environment.
file(GLOB CONFORMANCE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/platform/conformance/*.cpp)
keltora_wine_test(keltora_wine_conformance ${CONFORMANCE_SOURCES}
  tests/wine/WineConformanceEnv.cpp tests/wine/WineConformanceEnvTest.cpp)

# The Win32 backends one by one, and what they show of Wine.
keltora_wine_test(keltora_wine_backends
  tests/wine/WineConformanceEnv.cpp
  tests/wine/Win32RegistryApiTest.cpp
  tests/wine/Win32FileSystemTest.cpp
  tests/wine/Win32ShellTest.cpp
  tests/wine/Win32ClipboardTest.cpp
  tests/wine/Win32ClockTest.cpp)

# The privacy scanners on the prefix's own folders, its Recycle Bin and the clipboard of the test
# display. The binary doubles as "another program" for tests/wine/cli_privacy.sh.
keltora_wine_test(keltora_wine_privacy tests/wine/PrivacyScannersTest.cpp)

# The registry categories' removals where a real registry differs from a plain tree: links,
# names the ANSI code page cannot carry, findings whose reason changed after the scan.
keltora_wine_test(keltora_wine_registry tests/wine/RegistryScannersTest.cpp)

keltora_wine_script_test(wine_regedit tests/wine/regedit.sh)
keltora_wine_script_test(wine_runner tests/wine/wine-run.sh)
# The programs' resources: manifests, icons, pictures, version records.
if(NOT CMAKE_RC_COMPILER_LOADED)
  enable_language(RC)
endif()
include(${CMAKE_SOURCE_DIR}/cmake/cli.cmake)
include(${CMAKE_SOURCE_DIR}/cmake/app.cmake)
# The benchmarks' own Windows programs (floor walkers, page timers), built beside the others in bin/.
add_subdirectory(${CMAKE_SOURCE_DIR}/tools/bench ${CMAKE_BINARY_DIR}/bench)
include(${CMAKE_SOURCE_DIR}/cmake/package.cmake)
