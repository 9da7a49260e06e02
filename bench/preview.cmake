orvix_add_bench(bench_preview ${CMAKE_CURRENT_LIST_DIR}/preview_bench.cpp)
