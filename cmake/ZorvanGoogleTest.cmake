# GoogleTest is built from the sources of Debian's googletest package, with
# the project's compiler (MinGW for the Windows builds).
set(ZORVAN_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${ZORVAN_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${ZORVAN_GTEST_SOURCE}: run scripts/setup.sh")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${ZORVAN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

if(WIN32)
  # The test session: the Wine prefix, a private Xvfb display and one
  # persistent wineserver, started once before the Windows tests and stopped after.
  add_test(NAME wine_session_start COMMAND ${ZORVAN_WINE} start ${CMAKE_BINARY_DIR})
  add_test(NAME wine_session_stop COMMAND ${ZORVAN_WINE} stop ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)
endif()
