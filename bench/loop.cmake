add_executable(bench_loop ${CMAKE_CURRENT_LIST_DIR}/loop_bench.cpp ${ZORVAN_RESOURCE_SCRIPT})
target_link_libraries(bench_loop PRIVATE zorvan_framework)
target_include_directories(bench_loop PRIVATE ${CMAKE_SOURCE_DIR})
zorvan_warnings(bench_loop)
