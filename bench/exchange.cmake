add_executable(bench_exchange ${CMAKE_CURRENT_LIST_DIR}/ExchangeBench.cpp)
target_link_libraries(bench_exchange PRIVATE qr_exchange benchmark::benchmark)
# The benchmark counts the heap with its own operator new and delete; once inlined into the
# standard allocators, GCC takes the pairing for a mismatch.
