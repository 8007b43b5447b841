# One library target per folder; tests beside the code they test.
#
#   kv_library(<folder> [LIBS ...])   kv_<folder> from <folder>/*.cpp
#   kv_tests(<folder> [LIBS ...])     one test program per <folder>/tests/**/*_test.cpp
#
# The test label comes from the subfolder: tests/ is "unit", tests/gui/ is
# "gui" (needs a display), tests/device/ is "device" (pseudo-terminals, gpsd).

# GCC is asked for the unused constants clang reports under -Wall, so the
# two compilers agree on what fails the build.
set(KV_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                -Wold-style-cast -Wcast-align -Woverloaded-virtual
                $<$<CXX_COMPILER_ID:GNU>:-Wunused-const-variable=1> -Werror)

function(kv_warnings target)
  target_compile_options(${target} PRIVATE ${KV_WARNINGS})
endfunction()

function(kv_library folder)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(target kv_${folder})
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_LIBS})
    kv_warnings(${target})
  else()
    # A folder with headers only so far.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_LIBS})
  endif()
endfunction()

function(kv_tests folder)
  if(NOT KV_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB_RECURSE tests CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/tests/*_test.cpp)
  foreach(test ${tests})
    get_filename_component(name ${test} NAME_WE)
    file(RELATIVE_PATH rel ${CMAKE_CURRENT_SOURCE_DIR}/tests ${test})
    get_filename_component(subdir ${rel} DIRECTORY)
    if(subdir STREQUAL "")
      set(label unit)
    else()
      set(label ${subdir})
    endif()
    set(target ${folder}_${name})
    add_executable(${target} ${test} ${PROJECT_SOURCE_DIR}/testing/sanitizers/system_suppressions.cpp)
    target_link_libraries(${target} PRIVATE kv_${folder} ${ARG_LIBS} kv_testing
                          GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${target} PRIVATE
        KV_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        KV_BINARY_DIR="${PROJECT_BINARY_DIR}")
    kv_warnings(${target})
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        PROPERTIES LABELS ${label} TIMEOUT 300)
  endforeach()
endfunction()
