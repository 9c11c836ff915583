add_executable(bench_tracks ${CMAKE_CURRENT_LIST_DIR}/TrackSplitBench.cpp)
target_link_libraries(bench_tracks PRIVATE qr_tracks benchmark::benchmark)
