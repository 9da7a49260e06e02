orvix_add_bench(bench_app ${CMAKE_CURRENT_LIST_DIR}/app_bench.cpp)
