orvix_add_bench(bench_library ${CMAKE_CURRENT_SOURCE_DIR}/library_bench.cpp)
