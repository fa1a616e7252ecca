# Warnings as errors for the project's own code, and the sanitizer switch.
add_library(vs_options INTERFACE)
target_compile_options(vs_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
  -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough
  -Werror)

# GCC 12 warns of overlapping copies inside std::string's operator+ that cannot happen (GCC's
# bug 105329), at -O3, so a Release build failed on plain string concatenations everywhere.
# The warning stays on for every other compiler.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(vs_options INTERFACE -Wno-restrict)
endif()

if(VS_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  # GCC 12 reports false "maybe uninitialized" warnings inside the standard library (std::regex,
  # std::function) when the sanitizers are on; the normal build keeps the warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(vs_options INTERFACE -Wno-maybe-uninitialized)
  endif()
  add_link_options(-fsanitize=address,undefined)
endif()

# vs_add_library(name SOURCES ... [DEPS ...]): one static library per folder.
function(vs_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE vs_options ${ARG_PRIVATE_DEPS})
endfunction()
