# What a download costs. Both measurements use track memories written by the simulator's
# generator at build time: one of the logger's size and one thirty times larger.
set(QR_BENCH_MEMORY_33000 ${CMAKE_CURRENT_BINARY_DIR}/memory-33000.txt)
set(QR_BENCH_MEMORY_1000000 ${CMAKE_CURRENT_BINARY_DIR}/memory-1000000.txt)
qr_qvdsim_memory(${QR_BENCH_MEMORY_33000} 33000)
qr_qvdsim_memory(${QR_BENCH_MEMORY_1000000} 1000000)
add_custom_target(bench_memories DEPENDS ${QR_BENCH_MEMORY_33000} ${QR_BENCH_MEMORY_1000000})

# A full-size download through the real main window, offscreen, from the paced logger
# simulator: wall time against the line time, event-loop stalls and peak memory.
add_executable(bench_download ${CMAKE_CURRENT_LIST_DIR}/DownloadRun.cpp)
target_link_libraries(bench_download PRIVATE qr_logger_ui qr_qvdsim)
target_compile_definitions(bench_download PRIVATE
    QR_BENCH_DOWNLOAD_MEMORY="${QR_BENCH_MEMORY_33000}")
add_dependencies(bench_download bench_memories)

# The evaluation of the received memory plus its split into flights.
add_executable(bench_evaluation_split ${CMAKE_CURRENT_LIST_DIR}/EvaluationSplitBench.cpp)
target_link_libraries(bench_evaluation_split PRIVATE qr_exchange qr_tracks benchmark::benchmark)
target_compile_definitions(bench_evaluation_split PRIVATE
    QR_BENCH_MEMORY_33000="${QR_BENCH_MEMORY_33000}"
    QR_BENCH_MEMORY_1000000="${QR_BENCH_MEMORY_1000000}")
add_dependencies(bench_evaluation_split bench_memories)
