# One interface target that carries the warnings and checks of every target of ours.
add_library(sscplan_flags INTERFACE)
target_compile_options(sscplan_flags INTERFACE -Wall -Wextra -Werror)
target_compile_definitions(sscplan_flags INTERFACE _GLIBCXX_ASSERTIONS)
target_include_directories(sscplan_flags INTERFACE ${PROJECT_SOURCE_DIR})

if(SSCPLAN_SANITIZE OR SSCPLAN_FUZZ)
  target_compile_options(sscplan_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(sscplan_flags INTERFACE -fsanitize=address,undefined)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 reports a false maybe-uninitialized inside <regex> under the sanitizers.
    target_compile_options(sscplan_flags INTERFACE -Wno-maybe-uninitialized)
  endif()
endif()
if(SSCPLAN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "SSCPLAN_FUZZ needs clang (CXX=clang++)")
  endif()
  # Coverage feedback from every library, not only from the fuzz targets themselves.
  target_compile_options(sscplan_flags INTERFACE -fsanitize=fuzzer-no-link)
endif()

# sscplan_library(NAME SOURCES... [DEPENDS targets...]) makes the library target
# sscplan_NAME for one folder.
function(sscplan_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(sscplan_${name} STATIC ${ARG_SOURCES})
  target_link_libraries(sscplan_${name} PUBLIC sscplan_flags ${ARG_DEPENDS})
endfunction()
