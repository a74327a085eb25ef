# Shared settings for the project's own targets.

# Warnings for project code (never for third-party sources such as GoogleTest).
function(zorvan_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(ZORVAN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# float-cast-overflow is named as well: GCC's "undefined" leaves out the
# conversion of an out-of-range double to an integer.
if(ZORVAN_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()

# The libFuzzer build (tests/fuzz): everything instrumented for coverage and
# built with the sanitizers; only the fuzz targets link the fuzzer itself.
if(ZORVAN_FUZZ)
  if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "ZORVAN_FUZZ needs a native clang build (-DCMAKE_CXX_COMPILER=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined,float-cast-overflow -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()

if(WIN32)
  # The MinGW runtime DLLs are not in a Wine prefix (nor on a user's machine):
  # link everything statically.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)
  # Windows programs of the build run under Wine through this wrapper (CTest
  # uses it for every test of a Windows executable).
  set(ZORVAN_WINE ${CMAKE_CURRENT_LIST_DIR}/wine-session.sh)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZORVAN_WINE};run;${CMAKE_BINARY_DIR})
endif()

# The resource script every Windows executable of the project carries: the
# version resource, the manifest (common controls 6), the framework's string
# tables, icon, bitmap and cursor.
set(ZORVAN_RESOURCE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../resources/zorvan.rc)

# RESOURCE_SCRIPT replaces that script by one of the program's own, which
# includes it ("zorvan.rc", found on the resource include path): a program
# has one resource script, since the linker cannot join two.
function(zorvan_executable target)
  cmake_parse_arguments(ARG "GUI" "RESOURCE_SCRIPT" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  if(WIN32)
    if(ARG_RESOURCE_SCRIPT)
      target_sources(${target} PRIVATE ${ARG_RESOURCE_SCRIPT})
      get_filename_component(resdir ${ZORVAN_RESOURCE_SCRIPT} DIRECTORY)
      target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:RC>:-I${resdir}>)
    else()
      target_sources(${target} PRIVATE ${ZORVAN_RESOURCE_SCRIPT})
    endif()
    if(ARG_GUI)
      set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
    endif()
  endif()
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
  zorvan_warnings(${target})
endfunction()

# A test: a GoogleTest executable registered with CTest. Windows tests run
# under Wine inside the session fixture (one Xvfb and one wineserver for the run).
function(zorvan_test target)
  cmake_parse_arguments(ARG "" "RESOURCE_SCRIPT" "SOURCES;LIBS;FIXTURES" ${ARGN})
  zorvan_executable(${target} SOURCES ${ARG_SOURCES} LIBS ${ARG_LIBS} zorvan_gtest_main
    RESOURCE_SCRIPT ${ARG_RESOURCE_SCRIPT})
  set(workdir ${CMAKE_BINARY_DIR}/test-work/${target})
  file(MAKE_DIRECTORY ${workdir})
  add_test(NAME ${target} COMMAND ${target} WORKING_DIRECTORY ${workdir})
  set_tests_properties(${target} PROPERTIES TIMEOUT 600)
  if(WIN32)
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED "wine;${ARG_FIXTURES}" RESOURCE_LOCK wine-desktop)
  endif()
endfunction()
