# keltora.exe (the window), autostart.exe (the starter the Run entry names), the window's tests
# under Wine and the screenshots of its pages.
# The pictures are drawn at build time (tools/make-pictures, ImageMagick) and built in.
set(KELTORA_PICTURES_DIR ${CMAKE_BINARY_DIR}/pictures)
set(KELTORA_PICTURES banner.bmp strip.bmp splash.bmp about.bmp keltora.ico)
list(TRANSFORM KELTORA_PICTURES PREPEND ${KELTORA_PICTURES_DIR}/ OUTPUT_VARIABLE KELTORA_PICTURE_FILES)
add_custom_command(OUTPUT ${KELTORA_PICTURE_FILES}
  COMMAND bash ${CMAKE_SOURCE_DIR}/tools/make-pictures ${KELTORA_PICTURES_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make-pictures
  COMMENT "Drawing the pictures of keltora.exe"
  VERBATIM)
add_custom_target(keltora_pictures DEPENDS ${KELTORA_PICTURE_FILES})

set(KELTORA_RESOURCES ${CMAKE_SOURCE_DIR}/src/app/win32/keltora.rc)
set_source_files_properties(${KELTORA_RESOURCES} PROPERTIES
  OBJECT_DEPENDS "${KELTORA_PICTURE_FILES};${CMAKE_SOURCE_DIR}/src/app/win32/keltora.manifest;${CMAKE_SOURCE_DIR}/src/app/win32/resource.h")

# The window itself, as a library: keltora.exe and the Wine tests link the same code.
file(GLOB KELTORA_WINDOW_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/win32/*.cpp)
list(FILTER KELTORA_WINDOW_SOURCES EXCLUDE REGEX "/(main|autostart)\\.cpp$")
add_library(keltora_window STATIC ${KELTORA_WINDOW_SOURCES})
# comctl32 and uxtheme are reached at run time from the system folder (ControlLibraries.h), never
# imported: neither is a KnownDLL.
target_link_libraries(keltora_window PUBLIC keltora_win32 gdi32 user32 shell32)
target_compile_options(keltora_window PRIVATE ${KELTORA_WARNINGS})

function(keltora_with_resources target)
  target_sources(${target} PRIVATE ${KELTORA_RESOURCES})
  target_include_directories(${target} PRIVATE ${KELTORA_PICTURES_DIR} ${CMAKE_SOURCE_DIR}/src/app/win32)
  add_dependencies(${target} keltora_pictures)
endfunction()

add_executable(keltora WIN32 src/app/win32/main.cpp)
target_link_libraries(keltora PRIVATE keltora_window)
target_compile_options(keltora PRIVATE ${KELTORA_WARNINGS})
keltora_with_resources(keltora)

add_executable(autostart WIN32 src/app/win32/autostart.cpp src/app/win32/autostart.rc)
target_include_directories(autostart PRIVATE ${CMAKE_SOURCE_DIR}/src/app/win32)
target_link_libraries(autostart PRIVATE keltora_win32 ole32 oleaut32 shell32 taskschd)
target_compile_options(autostart PRIVATE ${KELTORA_WARNINGS})
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/app/win32/autostart.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/win32/autostart.manifest)

# The real window driven by messages, in-process; and keltora.exe started as a process.
keltora_wine_test(keltora_wine_window
  tests/wine/MainWindowTest.cpp
  tests/wine/WindowFixture.cpp
  tests/wine/TextRoom.cpp
  tests/wine/ProgramTest.cpp)
target_link_libraries(keltora_wine_window PRIVATE keltora_window)
keltora_with_resources(keltora_wine_window)
add_dependencies(keltora_wine_window keltora autostart)
# No window manager runs on the test display. Wine then keeps the windows itself (unmanaged):
# it draws their frames and does not wait seconds for a manager at every hide.
add_test(NAME wine_window_setup
  COMMAND ${KELTORA_WINE_RUN} reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f)
set_tests_properties(wine_window_setup PROPERTIES FIXTURES_SETUP wine_window FIXTURES_REQUIRED wine LABELS wine)
set_tests_properties(keltora_wine_window PROPERTIES FIXTURES_REQUIRED "wine;wine_window")
target_compile_definitions(keltora_wine_window PRIVATE KELTORA_BIN="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")

# The summary, backup and optimizer buttons in a process of their own: after a whole-registry
# export in a window test's process, later windows of that process crawl under Wine.
keltora_wine_test(keltora_wine_summary_window tests/wine/SummaryWindowTest.cpp tests/wine/WindowFixture.cpp)
target_link_libraries(keltora_wine_summary_window PRIVATE keltora_window)
keltora_with_resources(keltora_wine_summary_window)
set_tests_properties(keltora_wine_summary_window PROPERTIES FIXTURES_REQUIRED "wine;wine_window")
target_compile_definitions(keltora_wine_summary_window PRIVATE KELTORA_BIN="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")

# Screenshots of every page for review, at 96 and 144 DPI: build/screenshots/96/*.png and
# build/screenshots/144/*.png (not part of the test run).
add_executable(keltora_pages WIN32 tests/wine/PageTour.cpp tests/wine/WindowFixture.cpp)
target_include_directories(keltora_pages PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(keltora_pages PRIVATE keltora_window)
target_compile_options(keltora_pages PRIVATE ${KELTORA_WARNINGS})
keltora_with_resources(keltora_pages)
add_custom_target(screenshots
  COMMAND bash ${CMAKE_SOURCE_DIR}/tools/screenshots $<TARGET_FILE:keltora_pages> ${CMAKE_SOURCE_DIR}/build/screenshots
  DEPENDS keltora_pages keltora_browser_data
  USES_TERMINAL
  VERBATIM)
