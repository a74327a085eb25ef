add_executable(bench_dispatch ${CMAKE_CURRENT_LIST_DIR}/dispatch_bench.cpp ${ZORVAN_RESOURCE_SCRIPT})
target_link_libraries(bench_dispatch PRIVATE zorvan_framework)
target_include_directories(bench_dispatch PRIVATE ${CMAKE_SOURCE_DIR})
zorvan_warnings(bench_dispatch)
