# The track list's tooltips: facts of every flight and the tooltip of the largest one.
add_executable(bench_flight ${CMAKE_CURRENT_LIST_DIR}/FlightFactsBench.cpp)
target_link_libraries(bench_flight PRIVATE qr_track_tooltips qr_exchange benchmark::benchmark)
target_compile_definitions(bench_flight PRIVATE QR_BENCH_MEMORY_33000="${QR_BENCH_MEMORY_33000}")
add_dependencies(bench_flight bench_memories)
