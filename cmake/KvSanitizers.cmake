# Sanitizer and fuzzing flags apply to everything built here, our code and
# the tests alike, so that the instrumented code sees every call.
if(KV_SANITIZE AND KV_TSAN)
  message(FATAL_ERROR "KV_SANITIZE and KV_TSAN cannot be combined")
endif()

# A sanitizer build checks, it never ships: the code under test builds at
# -O1 with line tables only, half the compile time of -O2 -g. The checks are
# the same, and stack traces still name file and line.
if(KV_SANITIZE OR KV_TSAN)
  foreach(lang C CXX)
    set(CMAKE_${lang}_FLAGS_RELWITHDEBINFO "-O1 -g1 -DNDEBUG")
  endforeach()
endif()

if(KV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(KV_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  # GCC 12 inlines std::string's move under the thread sanitizer's flags and
  # then warns of copies out of bounds that cannot happen (a temporary moved
  # into a new string); with -Werror those false alarms stop the build.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-restrict -Wno-array-bounds -Wno-stringop-overflow)
  endif()
  add_link_options(-fsanitize=thread)
endif()

if(KV_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KV_FUZZ needs clang: configure with CC=clang CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address)
endif()
