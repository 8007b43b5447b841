# One library target per folder; tests beside the code they test.
#
#   kv_library(<folder> [LIBS ...])   kv_<folder> from <folder>/*.cpp
#   kv_tests(<folder> [LIBS ...])     one test program per subfolder of <folder>/tests:
#                                     <folder>_<label>_tests from its *_test.cpp
#
# The test label comes from the subfolder: tests/ is "unit", tests/gui/ is
# "gui" (needs a display), tests/device/ is "device" (pseudo-terminals, gpsd).
# The files of a program share one process image, so each keeps its helpers
# in an anonymous namespace; ctest still runs every test in a process of its
# own (gtest_discover_tests), in parallel.

# GCC is asked for the unused constants clang reports under -Wall, so the
# two compilers agree on what fails the build.
set(KV_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                -Wold-style-cast -Wcast-align -Woverloaded-virtual
                $<$<CXX_COMPILER_ID:GNU>:-Wunused-const-variable=1> -Werror)

# The wx headers most of our windows and their tests include, precompiled
# for the wx-heavy libraries and the test programs that use wx.
set(KV_WX_PRECOMPILED <wx/app.h> <wx/button.h> <wx/checkbox.h> <wx/combobox.h>
                      <wx/dialog.h> <wx/frame.h> <wx/stattext.h> <wx/textctrl.h>
                      <wx/window.h> <wx/xrc/xmlres.h>)

# The test programs' own sources (never the code they test) build at -O1
# with line tables only: a third of the compile time of -O2 -g, the same
# checks and sanitizers, and stack traces still name file and line.
set(KV_TEST_OPTIONS $<$<CONFIG:RelWithDebInfo>:-O1;-g1>)
# At -O3 GCC 12 inlines the standard library's string code into the test
# cases and then warns of copies out of bounds that cannot happen (as in
# the thread-sanitizer build); with -Werror those false alarms would stop a
# release build of the tests.
list(APPEND KV_TEST_OPTIONS
     $<$<AND:$<CONFIG:Release>,$<CXX_COMPILER_ID:GNU>>:-Wno-restrict;-Wno-array-bounds;-Wno-stringop-overflow;-Wno-maybe-uninitialized>)

function(kv_warnings target)
  target_compile_options(${target} PRIVATE ${KV_WARNINGS})
endfunction()

# A library's sources compile KV_UNITY_LIBS_BATCH to a batch (KV_UNITY_LIBS,
# on by default and in every build type, so the program tested is the program
# shipped): each batch parses the standard library, wx and our headers once
# instead of once per file. A file's own names must therefore not repeat in
# its library; scripts/check_unity_names.py keeps that, over the listing
# kv_list_unity_sources writes.
function(kv_unity_library target)
  if(KV_UNITY_LIBS)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON
                          UNITY_BUILD_BATCH_SIZE ${KV_UNITY_LIBS_BATCH})
  endif()
endfunction()

# Sources of the current folder that compile alone, outside any batch: each
# includes a header that cannot share a translation unit with what the
# other files of its library include (the kernel's termios2 beside
# <termios.h>).
function(kv_compile_alone)
  set_source_files_properties(${ARGN} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
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
    kv_unity_library(${target})
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
  set(labels)
  foreach(test ${tests})
    file(RELATIVE_PATH rel ${CMAKE_CURRENT_SOURCE_DIR}/tests ${test})
    get_filename_component(subdir ${rel} DIRECTORY)
    if(subdir STREQUAL "")
      set(label unit)
    else()
      set(label ${subdir})
    endif()
    list(APPEND labels ${label})
    list(APPEND sources_${label} ${test})
  endforeach()
  list(REMOVE_DUPLICATES labels)
  # A GUI test takes seconds, a unit test a fraction of one: ctest starts
  # the slow ones first so that none is left running alone at the end.
  set(cost_unit 1)
  set(cost_device 5)
  set(cost_gui 20)
  foreach(label ${labels})
    set(target ${folder}_${label}_tests)
    add_executable(${target} ${sources_${label}})
    target_link_libraries(${target} PRIVATE kv_${folder} ${ARG_LIBS} kv_testing
                          kv_test_suppressions GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${target} PRIVATE
        KV_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        KV_BINARY_DIR="${PROJECT_BINARY_DIR}")
    kv_warnings(${target})
    target_compile_options(${target} PRIVATE ${KV_TEST_OPTIONS})
    # Test files share most of what they instantiate (gtest, the standard
    # library, our headers): compiled eight to a batch, each is generated
    # once per batch instead of once per file, about a third of the time.
    # Each file's helpers stay in its anonymous namespace, so names must
    # not repeat within a program.
    if(KV_UNITY_TESTS)
      set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    endif()
    set_property(GLOBAL APPEND PROPERTY KV_TEST_PROGRAMS ${target})
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        PROPERTIES LABELS ${label} COST ${cost_${label}} TIMEOUT 300)
  endforeach()
endfunction()

# The headers every test file parses, gtest and gmock, and with wx the wx
# headers most windows include: precompiled once for all test programs, by
# two small programs of their own (a program's precompiled header is only
# valid for sources compiled with the same flags and macros, and wx brings
# macros of its own). kv_share_test_headers, called once all targets are
# made, gives each test program the one that matches what it links.
function(kv_test_headers)
  if(NOT KV_TESTS)
    return()
  endif()
  set(source ${PROJECT_SOURCE_DIR}/testing/precompiled.cpp)
  add_executable(kv_test_headers ${source})
  add_executable(kv_test_headers_wx ${source})
  target_link_libraries(kv_test_headers PRIVATE GTest::gtest GTest::gmock GTest::gtest_main)
  target_link_libraries(kv_test_headers_wx PRIVATE GTest::gtest GTest::gmock GTest::gtest_main
                        kv_wx)
  foreach(target kv_test_headers kv_test_headers_wx)
    kv_warnings(${target})
    target_compile_options(${target} PRIVATE ${KV_TEST_OPTIONS})
    target_compile_definitions(${target} PRIVATE
        KV_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        KV_BINARY_DIR="${PROJECT_BINARY_DIR}")
  endforeach()
  kv_precompile_headers(kv_test_headers <gtest/gtest.h> <gmock/gmock.h>)
  kv_precompile_headers(kv_test_headers_wx <gtest/gtest.h> <gmock/gmock.h> ${KV_WX_PRECOMPILED})
endfunction()

function(kv_share_test_headers)
  get_property(programs GLOBAL PROPERTY KV_TEST_PROGRAMS)
  foreach(program ${programs})
    kv_links_wx(wx ${program} LINK_LIBRARIES)
    if(wx)
      target_precompile_headers(${program} REUSE_FROM kv_test_headers_wx)
    else()
      target_precompile_headers(${program} REUSE_FROM kv_test_headers)
    endif()
    if(KV_CCACHE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${program} PRIVATE -fpch-preprocess)
    endif()
  endforeach()
endfunction()

# Whether the target's sources see wx's compile flags: kv_wx among the
# libraries whose usage requirements reach them (not those only linked).
function(kv_links_wx out target property)
  set(found FALSE)
  if(target STREQUAL "kv_wx")
    set(found TRUE)
  elseif(TARGET ${target})
    get_target_property(libraries ${target} ${property})
    foreach(library ${libraries})
      if(NOT TARGET ${library})  # a file, a flag or $<LINK_ONLY:...>
        continue()
      endif()
      kv_links_wx(found ${library} INTERFACE_LINK_LIBRARIES)
      if(found)
        break()
      endif()
    endforeach()
  endif()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Precompiles headers for a target's sources. With ccache, gcc keeps the
# #include of the precompiled header in its preprocessed output, so that
# ccache hashes the header itself and caches what uses it.
function(kv_precompile_headers target)
  target_precompile_headers(${target} PRIVATE ${ARGN})
  if(KV_CCACHE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -fpch-preprocess)
  endif()
endfunction()

# Writes unity_sources.txt in the build folder: one line per target whose
# sources compile in batches, "<target>: <file> <file> ...", the files a
# batch may join (not those a property of their own keeps apart). Called
# once all targets are made; scripts/check_unity_names.py reads it.
function(kv_list_unity_sources)
  set(lines)
  kv_unity_targets(targets ${PROJECT_SOURCE_DIR})
  foreach(target ${targets})
    get_target_property(unity ${target} UNITY_BUILD)
    if(NOT unity)
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    get_target_property(folder ${target} SOURCE_DIR)
    set(files)
    foreach(source ${sources})
      if(NOT source MATCHES "\\.(cpp|cc|cxx)$")
        continue()
      endif()
      get_filename_component(source ${source} ABSOLUTE BASE_DIR ${folder})
      set(apart FALSE)
      foreach(property SKIP_UNITY_BUILD_INCLUSION COMPILE_OPTIONS COMPILE_DEFINITIONS
                       COMPILE_FLAGS INCLUDE_DIRECTORIES)
        get_source_file_property(value ${source} TARGET_DIRECTORY ${target} ${property})
        if(value)
          set(apart TRUE)
        endif()
      endforeach()
      if(NOT apart)
        list(APPEND files ${source})
      endif()
    endforeach()
    list(JOIN files " " files)
    string(APPEND lines "${target}: ${files}\n")
  endforeach()
  file(WRITE ${PROJECT_BINARY_DIR}/unity_sources.txt "${lines}")
endfunction()

# Every target made in a folder and the folders below it.
function(kv_unity_targets out folder)
  get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(folders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
  foreach(sub ${folders})
    kv_unity_targets(more ${sub})
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()
