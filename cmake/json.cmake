# JSON through Debian's nlohmann-json3-dev (header-only). The MinGW build looks for headers only
# below the MinGW root, where no /usr/include may be added whole (its glibc headers would shadow
# MinGW's), so both presets see the library through a folder that holds only a link to it.
find_path(KELTORA_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT KELTORA_JSON_INCLUDE)
  message(FATAL_ERROR "nlohmann/json.hpp not found: run tools/bootstrap")
endif()
set(KELTORA_JSON_DIR ${CMAKE_BINARY_DIR}/json)
file(MAKE_DIRECTORY ${KELTORA_JSON_DIR})
file(CREATE_LINK ${KELTORA_JSON_INCLUDE}/nlohmann ${KELTORA_JSON_DIR}/nlohmann SYMBOLIC)
add_library(keltora_json INTERFACE)
target_include_directories(keltora_json SYSTEM INTERFACE ${KELTORA_JSON_DIR})
# Exceptions stay on: a parse error is caught where the file is read.
target_compile_definitions(keltora_json INTERFACE JSON_USE_IMPLICIT_CONVERSIONS=0)
