# The IGC file writer (and the signer) on the largest flight of a full track memory.
add_executable(bench_igc_writer ${CMAKE_CURRENT_LIST_DIR}/IgcWriterBench.cpp)
target_link_libraries(bench_igc_writer PRIVATE qr_igc_writer qr_igc_signer benchmark::benchmark)
