orvix_add_bench(bench_recording ${CMAKE_CURRENT_LIST_DIR}/recording_bench.cpp)
