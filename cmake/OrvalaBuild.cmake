# Common compile settings and helpers for every target of the project.

# Warnings are errors on both toolchains.
add_compile_options(-Wall -Wextra -Wshadow -Wnon-virtual-dtor -Werror)

# Reproducible objects: no build paths in the binaries.
add_compile_options("-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=" "-ffile-prefix-map=${CMAKE_BINARY_DIR}/=build/")

if(WIN32)
  # Windows XP-era API names with Unicode-capable declarations; one wrapper header sets the rest.
  add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601)
  # -static: the programs import only system DLLs (no libwinpthread or libstdc++ beside them).
  # --no-insert-timestamp: two builds of the same sources are bit-identical.
  add_link_options(-static -Wl,--no-insert-timestamp)
endif()

if(ORVALA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# orvala_add_gtest(<target> SOURCES ... LIBS ...): one GoogleTest executable.
# Natively each test case is its own ctest entry; under Wine the whole executable is one entry,
# which saves a Wine start per test case.
function(orvala_add_gtest target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
  else()
    include(GoogleTest)
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

if(ORVALA_FUZZ)
  # Coverage instrumentation for every library the fuzzers link. UBSan's object-size check is
  # left out: AddressSanitizer finds every access it would, and with it clang 14 does not inline
  # element access (each operator[] stayed a call in the decoder's table loops).
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize=object-size
                      -fno-omit-frame-pointer
                      "-fsanitize-coverage-ignorelist=${PROJECT_SOURCE_DIR}/fuzz/pokrycie-pominiete.txt")
endif()

# Adds every sub-folder of the current source folder that has a CMakeLists.txt, in name order:
# test, fuzz and benchmark areas each keep their own list.
function(orvala_add_area_subdirectories)
  file(GLOB areas LIST_DIRECTORIES true CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*")
  list(SORT areas)
  foreach(area ${areas})
    if(IS_DIRECTORY "${area}" AND EXISTS "${area}/CMakeLists.txt")
      add_subdirectory("${area}")
    endif()
  endforeach()
endfunction()
