# The serial port component over a pseudo-terminal and the simulated logger's pacing.
add_executable(bench_serial ${CMAKE_CURRENT_LIST_DIR}/SerialBench.cpp)
target_link_libraries(bench_serial PRIVATE qr_serial qr_qvdsim benchmark::benchmark)
