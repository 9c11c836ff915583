add_executable(bench_exchange ${CMAKE_CURRENT_LIST_DIR}/ExchangeBench.cpp)
target_link_libraries(bench_exchange PRIVATE qr_exchange benchmark::benchmark)
