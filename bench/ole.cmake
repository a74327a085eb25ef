# bench_ole: a late-bound call through TOleAuto against the same call made
# directly with GetIDsOfNames + Invoke, on the in-process test server
# (tests/ole/server). Register the server in the prefix first:
#   cmake/wine-session.sh register build/h-ole build/h-ole/tests/ole/zorvan_test_server.dll
#   cmake/wine-session.sh run build/h-ole build/h-ole/bench/bench_ole.exe
add_executable(bench_ole ${CMAKE_CURRENT_LIST_DIR}/ole_bench.cpp)
target_link_libraries(bench_ole PRIVATE zorvan_framework)
target_include_directories(bench_ole PRIVATE ${CMAKE_SOURCE_DIR})
zorvan_warnings(bench_ole)
if(TARGET zorvan_test_server)
  add_dependencies(bench_ole zorvan_test_server)
endif()
